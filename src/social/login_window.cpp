#include "social/login_window.h"

#include "custom/text_cleaning.h"
#include "platform/main_queue.h"
#include "social/account_service.h"
#include "social/background_tasks.h"

namespace pawlane {

namespace {

LoginWindow* sharedLogin = nullptr;

std::size_t characterCount(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

LoginWindow::LoginWindow(const LoginWindowDeps& deps) : d_(deps) {}
LoginWindow::~LoginWindow() = default;

LoginWindow& LoginWindow::createShared(const LoginWindowDeps& deps) {
    if (!sharedLogin) sharedLogin = new LoginWindow(deps);  // lives as long as the app
    return *sharedLogin;
}

LoginWindow& LoginWindow::shared() { return *sharedLogin; }

std::function<void(std::function<void()>)> LoginWindow::onMainLater(double seconds) {
    std::weak_ptr<int> alive = alive_;
    MainQueue& queue = d_.queue;
    // Called from background tasks, where only post() may be used: the timer
    // is set up once on the main thread.
    return [alive, &queue, seconds](std::function<void()> fn) {
        queue.post([alive, &queue, seconds, fn = std::move(fn)] {
            if (!alive.lock()) return;
            if (seconds <= 0) return fn();
            queue.postAfter(seconds, [alive, fn] {
                if (alive.lock()) fn();
            });
        });
    };
}

void LoginWindow::show() {
    if (!view_) buildWindow();
    resetState();
    view_->present();
}

void LoginWindow::buildWindow() { view_ = d_.makeView(*this); }

void LoginWindow::resetState() {
    // The e-mail field keeps its text: a reopened window remembers the address.
    view_->setStatus("", StatusTone::secondary);
    view_->setCodeText("");
    view_->setCodeRowVisible(false);
    view_->setVerifyEnabled(true);
    sendTitle_ = "Send Code";
    view_->setSendButton(sendTitle_, true);
}

void LoginWindow::googleTapped() {
    view_->setStatus("Opening Google sign-in…", StatusTone::secondary);
    auto now = onMainLater();
    auto later = onMainLater(GOOGLE_SUCCESS_PAUSE);
    d_.tasks.run([this, now, later] {
        auto outcome = d_.account.signInWithGoogle();
        if (outcome) {
            later([this] {
                view_->setStatus("Signed in!", StatusTone::secondary);
                view_->hide();
            });
        } else {
            now([this, text = outcome.error().description] { view_->setStatus(text, StatusTone::error); });
        }
    });
}

void LoginWindow::sendTapped() {
    const std::string email = trimmed(view_->emailText());
    if (email.find('@') == std::string::npos || email.find('.') == std::string::npos) {
        view_->setStatus("That doesn't look like an email address.", StatusTone::error);
        return;
    }
    view_->setSendButton(sendTitle_, false);
    view_->setStatus("Sending code…", StatusTone::secondary);
    auto now = onMainLater();
    d_.tasks.run([this, now, email] {
        auto outcome = d_.account.sendEmailCode(email);
        now([this, outcome] {
            if (outcome) {
                view_->setStatus("Check your inbox — click the sign-in link,\nor enter the code if your email shows one.",
                                 StatusTone::secondary);
                view_->setCodeRowVisible(true);
                view_->focusCodeField();
                sendTitle_ = "Resend";
            } else {
                // The title stays as it was: "Resend" once a code went out.
                view_->setStatus(outcome.error().description, StatusTone::error);
            }
            view_->setSendButton(sendTitle_, true);
        });
    });
}

void LoginWindow::verifyTapped() {
    const std::string email = trimmed(view_->emailText());
    const std::string code = trimmed(view_->codeText());
    if (characterCount(code) < CODE_MIN_LENGTH) {
        view_->setStatus("Enter the code from the email.", StatusTone::error);
        return;
    }
    view_->setVerifyEnabled(false);
    view_->setStatus("Verifying…", StatusTone::secondary);
    auto now = onMainLater();
    d_.tasks.run([this, now, email, code] {
        const bool ok = d_.account.verifyEmailCode(email, code).ok();
        now([this, ok] {
            if (ok) {
                view_->setStatus("Signed in!", StatusTone::secondary);
                view_->hide();
            } else {
                view_->setStatus("That code didn't work — try again or resend.", StatusTone::error);
                view_->setVerifyEnabled(true);
            }
        });
    });
}

void LoginWindow::hideIfBuilt() {
    if (view_) view_->hide();
}

}  // namespace pawlane
