// The modal alerts of the account menu.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "social/account_dialogs.h"

namespace pawlane {

namespace {

void describe(QMessageBox& box, const AlertText& text) {
    box.setWindowTitle(QStringLiteral("Pawlane"));
    box.setIcon(text.warning ? QMessageBox::Warning : QMessageBox::Information);
    box.setText(QString::fromStdString(text.message));
    box.setInformativeText(QString::fromStdString(text.info));
}

class QtAccountDialogs final : public AccountDialogs {
public:
    std::optional<std::string> askForText(const TextPrompt& p) override {
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("Pawlane"));
        auto* layout = new QVBoxLayout(&dialog);
        auto* message = new QLabel(QString::fromStdString(p.text.message));
        QFont bold = message->font();
        bold.setBold(true);
        message->setFont(bold);
        layout->addWidget(message);
        auto* info = new QLabel(QString::fromStdString(p.text.info));
        info->setWordWrap(true);
        layout->addWidget(info);
        auto* field = new QLineEdit;
        field->setPlaceholderText(QString::fromStdString(p.placeholder));
        field->setFixedSize(p.fieldWidth, p.fieldHeight);
        layout->addWidget(field);
        auto* buttons = new QDialogButtonBox;
        QPushButton* accept = buttons->addButton(QString::fromStdString(p.acceptButton), QDialogButtonBox::AcceptRole);
        buttons->addButton(QString::fromStdString(p.cancelButton), QDialogButtonBox::RejectRole);
        accept->setDefault(true);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        field->setFocus();
        dialog.activateWindow();
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return field->text().toStdString();
    }

    bool confirm(const Confirmation& c) override {
        QMessageBox box;
        describe(box, c.text);
        QPushButton* yes = box.addButton(QString::fromStdString(c.confirmButton), QMessageBox::AcceptRole);
        box.addButton(QString::fromStdString(c.cancelButton), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.activateWindow();
        box.exec();
        return box.clickedButton() == yes;
    }

    void showAlert(const AlertText& text) override {
        QMessageBox box;
        describe(box, text);
        box.setStandardButtons(QMessageBox::Ok);
        box.activateWindow();
        box.exec();
    }
};

}  // namespace

AccountDialogs& systemAccountDialogs() {
    static QtAccountDialogs dialogs;
    return dialogs;
}

}  // namespace pawlane
