#pragma once
// The sign-in window's logic: Google sign-in in the browser, or a code or link
// sent by e-mail. It only asks the account service for a session; the
// signed-in state follows from the auth change that the service announces.
#include <functional>
#include <memory>
#include <string>

#include "social/login_view.h"

namespace pawlane {

class AccountService;
class BackgroundTasks;
class MainQueue;

struct LoginWindowDeps {
    AccountService& account;
    MainQueue& queue;
    BackgroundTasks& tasks;
    std::function<std::unique_ptr<LoginView>(LoginWindow&)> makeView = makeLoginView;
};

class LoginWindow {
public:
    // How long "Signed in!" waits after a Google sign-in before the window goes.
    static constexpr double GOOGLE_SUCCESS_PAUSE = 0.4;
    static constexpr std::size_t CODE_MIN_LENGTH = 6;

    explicit LoginWindow(const LoginWindowDeps& deps);
    ~LoginWindow();
    LoginWindow(const LoginWindow&) = delete;
    LoginWindow& operator=(const LoginWindow&) = delete;

    // The app's one window: createShared once at launch (main thread), then shared().
    static LoginWindow& createShared(const LoginWindowDeps& deps);
    static LoginWindow& shared();

    // Main thread. Builds the window on first use, resets it, brings it forward.
    void show();
    void buildWindow();
    void resetState();
    void googleTapped();
    void sendTapped();
    void verifyTapped();
    // After a sign-in link completed: hides the window if it was ever built.
    void hideIfBuilt();

    LoginView* view() const { return view_.get(); }

private:
    // Runs `fn` on the main thread later, unless the presenter is gone by then.
    std::function<void(std::function<void()>)> onMainLater(double seconds = 0);

    LoginWindowDeps d_;
    std::unique_ptr<LoginView> view_;
    std::string sendTitle_ = "Send Code";
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace pawlane
