// The modal dialogs of "Add Pet from Code…".
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "custom/import_from_code.h"

namespace pawlane {

namespace {

class QtImportDialogs final : public ImportDialogs {
public:
    std::optional<std::string> askForCode(const CodePrompt& p) override {
        QDialog dialog;
        dialog.setWindowTitle(QString::fromStdString(p.title));
        auto* layout = new QVBoxLayout(&dialog);
        auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromStdString(p.title).toHtmlEscaped()));
        layout->addWidget(title);
        layout->addWidget(new QLabel(QString::fromStdString(p.explanation)));
        auto* field = new QLineEdit(QString::fromStdString(p.prefill));
        field->setPlaceholderText(QString::fromStdString(p.placeholder));
        field->setFixedSize(300, 24);
        layout->addWidget(field);
        auto* buttons = new QDialogButtonBox;
        QPushButton* add = buttons->addButton(QString::fromStdString(p.acceptButton), QDialogButtonBox::AcceptRole);
        buttons->addButton(QString::fromStdString(p.cancelButton), QDialogButtonBox::RejectRole);
        add->setDefault(true);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        field->setFocus();
        dialog.activateWindow();
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return field->text().toStdString();
    }

    void showMessage(const std::string& title, const std::string& explanation) override {
        QMessageBox box;
        box.setWindowTitle(QString::fromStdString(title));
        box.setText(QString::fromStdString(title));
        box.setInformativeText(QString::fromStdString(explanation));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

}  // namespace

ImportDialogs& systemImportDialogs() {
    static QtImportDialogs dialogs;
    return dialogs;
}

}  // namespace pawlane
