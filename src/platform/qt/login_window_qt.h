#pragma once
// The sign-in window: widgets only; every decision is the presenter's.
#include <QWidget>

#include "social/login_view.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pawlane {

class LoginWindowQt final : public QWidget, public LoginView {
    Q_OBJECT
public:
    explicit LoginWindowQt(LoginWindow& presenter);

    std::string emailText() const override;
    std::string codeText() const override;
    void setCodeText(const std::string& text) override;
    void setStatus(const std::string& text, StatusTone tone) override;
    void setCodeRowVisible(bool visible) override;
    void setSendButton(const std::string& title, bool enabled) override;
    void setVerifyEnabled(bool enabled) override;
    void focusCodeField() override;
    void present() override;
    void hide() override;

private:
    LoginWindow& presenter_;
    QLineEdit* emailField_;
    QLineEdit* codeField_;
    QWidget* codeRow_;
    QPushButton* sendButton_;
    QPushButton* verifyButton_;
    QLabel* statusLabel_;
};

}  // namespace pawlane
