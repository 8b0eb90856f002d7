// The modal alerts of the account menu.
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/text_prompt_qt.h"
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
        return runTextPrompt({"Pawlane", p.text.message, p.text.info, p.placeholder, "", p.acceptButton,
                              p.cancelButton, p.fieldWidth, p.fieldHeight});
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
