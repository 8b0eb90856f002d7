#pragma once
// The sign-in window as its presenter sees it. The platform builds the widgets
// (title, subtitle, Google button, e-mail row, code row, status line); every
// control reports back through the presenter's actions.
#include <memory>
#include <string>

namespace pawlane {

class LoginWindow;

enum class StatusTone {
    secondary,  // progress and success
    error,      // the system's red
};

class LoginView {
public:
    virtual ~LoginView() = default;
    virtual std::string emailText() const = 0;
    virtual std::string codeText() const = 0;
    virtual void setCodeText(const std::string& text) = 0;
    virtual void setStatus(const std::string& text, StatusTone tone) = 0;
    virtual void setCodeRowVisible(bool visible) = 0;
    virtual void setSendButton(const std::string& title, bool enabled) = 0;
    virtual void setVerifyEnabled(bool enabled) = 0;
    virtual void focusCodeField() = 0;
    // Activates the app, centres the window on the screen, makes it key and front.
    virtual void present() = 0;
    // Orders the window out; it keeps its content.
    virtual void hide() = 0;
};

// The platform's window for `presenter`.
std::unique_ptr<LoginView> makeLoginView(LoginWindow& presenter);

}  // namespace pawlane
