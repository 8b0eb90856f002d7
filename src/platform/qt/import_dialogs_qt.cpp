// The modal dialogs of "Add Pet from Code…".
#include <QMessageBox>

#include "custom/import_from_code.h"
#include "platform/qt/text_prompt_qt.h"

namespace pawlane {

namespace {

class QtImportDialogs final : public ImportDialogs {
public:
    std::optional<std::string> askForCode(const CodePrompt& p) override {
        return runTextPrompt({p.title, p.title, p.explanation, p.placeholder, p.prefill, p.acceptButton,
                              p.cancelButton, 300, 24});
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
