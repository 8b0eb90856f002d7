#pragma once
// A modal alert with one text field: a bold message, an explanation, the
// field (focused) and the accept (default) and cancel buttons.
#include <optional>
#include <string>

namespace pawlane {

struct TextPromptLook {
    std::string windowTitle;
    std::string message;
    std::string explanation;
    std::string placeholder;
    std::string prefill;
    std::string acceptButton;
    std::string cancelButton;
    int fieldWidth = 220;
    int fieldHeight = 24;
};

// The field's text when the user accepted; nothing otherwise.
std::optional<std::string> runTextPrompt(const TextPromptLook& look);

}  // namespace pawlane
