#pragma once
// "Add Pet from Code…": paste a shared pet code, adopt the pet into the pack.
#include <optional>
#include <string>

namespace pawlane {

class Settings;
class Clipboard;
class DesignerHost;

struct CodePrompt {
    std::string title = "Add Pet from Code";
    std::string explanation = "Paste a pet code someone shared with you.";
    std::string placeholder = "PAWLANE-\u2026";
    std::string acceptButton = "Add Pet";
    std::string cancelButton = "Cancel";
    std::string prefill;
};

// Modal dialogs of the flow; each returns when the user has closed it.
class ImportDialogs {
public:
    virtual ~ImportDialogs() = default;
    // The field's text when the user chose the accept button; nothing otherwise.
    virtual std::optional<std::string> askForCode(const CodePrompt& prompt) = 0;
    virtual void showMessage(const std::string& title, const std::string& explanation) = 0;
};

ImportDialogs& systemImportDialogs();

struct ImportDeps {
    Settings& settings;
    Clipboard& clipboard;
    ImportDialogs& dialogs;
};

// Runs the whole flow; returns the id of the added pet, if one was added.
std::optional<std::string> importFromCode(DesignerHost* host, const ImportDeps& deps);

}  // namespace pawlane
