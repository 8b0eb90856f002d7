#include "platform/qt/text_prompt_qt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pawlane {

std::optional<std::string> runTextPrompt(const TextPromptLook& look) {
    QDialog dialog;
    dialog.setWindowTitle(QString::fromStdString(look.windowTitle));
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(QString::fromStdString(look.message));
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    layout->addWidget(message);
    auto* info = new QLabel(QString::fromStdString(look.explanation));
    info->setWordWrap(true);
    layout->addWidget(info);
    auto* field = new QLineEdit(QString::fromStdString(look.prefill));
    field->setPlaceholderText(QString::fromStdString(look.placeholder));
    field->setFixedSize(look.fieldWidth, look.fieldHeight);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox;
    QPushButton* accept = buttons->addButton(QString::fromStdString(look.acceptButton), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromStdString(look.cancelButton), QDialogButtonBox::RejectRole);
    accept->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    field->setFocus();
    dialog.activateWindow();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return field->text().toStdString();
}

}  // namespace pawlane
