// The sign-in window's presenter: its checks, states and messages.
#include "platform/headless/manual_main_queue.h"
#include "presenter_fakes.h"
#include "social/login_window.h"
#include "sync_fixture.h"

namespace pawlane::test {
namespace {

class LoginWindowTest : public ::testing::Test {
protected:
    ManualClock clock;
    ManualMainQueue queue{clock};
    InlineTasks tasks;
    FakeAccount account;
    FakeLoginView* view = nullptr;
    LoginWindow window{LoginWindowDeps{account, queue, tasks, [this](LoginWindow&) {
                                           auto v = std::make_unique<FakeLoginView>();
                                           view = v.get();
                                           return v;
                                       }}};

    void SetUp() override { window.show(); }
};

TEST_F(LoginWindowTest, OpensFreshAndReopeningResetsTheCodeRowButKeepsTheAddress) {
    EXPECT_TRUE(view->visible);
    EXPECT_FALSE(view->codeRowVisible);
    EXPECT_EQ(view->sendTitle, "Send Code");
    EXPECT_TRUE(view->sendEnabled);
    EXPECT_TRUE(view->verifyEnabled);

    view->email = "ann@example.org";
    window.sendTapped();
    queue.runDue();
    view->code = "12";
    window.verifyTapped();
    ASSERT_TRUE(view->codeRowVisible);
    ASSERT_EQ(view->sendTitle, "Resend");
    view->hide();

    FakeLoginView* first = view;
    window.show();
    EXPECT_EQ(view, first) << "built once";
    EXPECT_TRUE(view->visible);
    EXPECT_FALSE(view->codeRowVisible);
    EXPECT_EQ(view->sendTitle, "Send Code");
    EXPECT_EQ(view->code, "");
    EXPECT_EQ(view->status, "");
    EXPECT_EQ(view->email, "ann@example.org");
}

TEST_F(LoginWindowTest, SendChecksOnlyForAnAtAndADotAndSendsTheTrimmedAddress) {
    struct Case {
        std::string typed;
        std::string sent;  // empty: refused
    };
    const Case cases[] = {
        {"  ann@example.org \n", "ann@example.org"},
        {"a.b@", "a.b@"},
        {"ann@example", ""},
        {"ann.example.org", ""},
        {"   ", ""},
    };
    for (const auto& c : cases) {
        account.calls.clear();
        view->email = c.typed;
        window.sendTapped();
        queue.runDue();
        if (c.sent.empty()) {
            EXPECT_TRUE(account.calls.empty()) << c.typed;
            EXPECT_EQ(view->status, "That doesn't look like an email address.");
            EXPECT_EQ(view->tone, StatusTone::error);
        } else {
            EXPECT_EQ(account.calls, std::vector<std::string>{"send " + c.sent}) << c.typed;
            EXPECT_EQ(view->status,
                      "Check your inbox — click the sign-in link,\nor enter the code if your email shows one.");
            EXPECT_TRUE(view->codeRowVisible);
            EXPECT_TRUE(view->codeFocused);
        }
    }
}

TEST_F(LoginWindowTest, SendDisablesItsButtonWhileRunningAndShowsTheServiceErrorInRed) {
    view->email = "ann@example.org";
    account.nextOutcome = SocialError{SocialError::Kind::server, "Email rate limit exceeded", 429, {}};
    window.sendTapped();
    EXPECT_FALSE(view->sendEnabled);
    EXPECT_EQ(view->status, "Sending code…");
    queue.runDue();
    EXPECT_EQ(view->status, "Email rate limit exceeded");
    EXPECT_EQ(view->tone, StatusTone::error);
    EXPECT_TRUE(view->sendEnabled);
    EXPECT_EQ(view->sendTitle, "Send Code");
    EXPECT_FALSE(view->codeRowVisible);
}

TEST_F(LoginWindowTest, VerifyNeedsSixCharactersAndShowsOneMessageForEveryFailure) {
    view->email = " ann@example.org ";
    struct Case {
        std::string typed;
        std::string sent;  // empty: refused without a call
    };
    const Case cases[] = {{" 12345 ", ""}, {"1234567", "1234567"}, {" abcdef\n", "abcdef"}, {"ééééé", ""}};
    for (const auto& c : cases) {
        account.calls.clear();
        view->code = c.typed;
        window.verifyTapped();
        if (c.sent.empty()) {
            EXPECT_TRUE(account.calls.empty()) << c.typed;
            EXPECT_EQ(view->status, "Enter the code from the email.");
            EXPECT_EQ(view->tone, StatusTone::error);
            continue;
        }
        EXPECT_FALSE(view->verifyEnabled);
        EXPECT_EQ(view->status, "Verifying…");
        queue.runDue();
        EXPECT_EQ(account.calls, std::vector<std::string>{"verify ann@example.org " + c.sent});
        EXPECT_EQ(view->status, "Signed in!");
        EXPECT_FALSE(view->visible);
        view->present();
    }

    view->code = "999999";
    account.nextOutcome = SocialError{SocialError::Kind::server, "Token has expired or is invalid", 403, {}};
    window.verifyTapped();
    queue.runDue();
    EXPECT_EQ(view->status, "That code didn't work — try again or resend.");
    EXPECT_EQ(view->tone, StatusTone::error);
    EXPECT_TRUE(view->verifyEnabled);
    EXPECT_TRUE(view->visible);
}

TEST_F(LoginWindowTest, GoogleSignInHidesTheWindowFourTenthsOfASecondAfterSuccess) {
    window.googleTapped();
    EXPECT_EQ(view->status, "Opening Google sign-in…");
    queue.advance(0.39);
    EXPECT_TRUE(view->visible);
    queue.advance(0.01);
    EXPECT_EQ(view->status, "Signed in!");
    EXPECT_FALSE(view->visible);

    window.show();
    account.nextOutcome = SocialError::notConfigured();
    window.googleTapped();
    queue.runDue();
    EXPECT_EQ(view->status, "Social features aren't set up in this build.");
    EXPECT_EQ(view->tone, StatusTone::error);
    EXPECT_TRUE(view->visible);
}

}  // namespace
}  // namespace pawlane::test
