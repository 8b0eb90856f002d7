#pragma once
// The modal alerts of the account menu. Each returns when the user closed it.
#include <optional>
#include <string>

namespace pawlane {

struct AlertText {
    std::string message;
    std::string info;
    bool warning = false;
};

struct TextPrompt {
    AlertText text;
    std::string acceptButton;
    std::string cancelButton;
    std::string placeholder;
    int fieldWidth = 220;  // points
    int fieldHeight = 24;
};

struct Confirmation {
    AlertText text;
    std::string confirmButton;  // first, the default
    std::string cancelButton;
};

class AccountDialogs {
public:
    virtual ~AccountDialogs() = default;
    // The field's text when the accept button was chosen; nothing otherwise.
    virtual std::optional<std::string> askForText(const TextPrompt& prompt) = 0;
    // True when the confirm button was chosen.
    virtual bool confirm(const Confirmation& confirmation) = 0;
    // One default button.
    virtual void showAlert(const AlertText& text) = 0;
};

AccountDialogs& systemAccountDialogs();

}  // namespace pawlane
