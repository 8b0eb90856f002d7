#pragma once
// Doubles for the presenters: an account service that answers from fields and
// records calls, a sign-in view and alerts that record what they show.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "social/account_dialogs.h"
#include "social/account_service.h"
#include "social/login_view.h"

namespace pawlane::test {

struct FakeAccount final : AccountService {
    bool configured = true;
    bool signedIn = false;
    std::optional<Profile> currentProfile;
    Status nextOutcome;  // what the next call answers
    Result<std::string> redeemed = std::string("Ann");
    std::vector<std::string> calls;

    bool isConfigured() const override { return configured; }
    bool isSignedIn() const override { return signedIn; }
    std::optional<Profile> profile() const override { return currentProfile; }
    Status signInWithGoogle() override { return answer("google"); }
    Status sendEmailCode(const std::string& email) override { return answer("send " + email); }
    Status verifyEmailCode(const std::string& email, const std::string& code) override {
        return answer("verify " + email + " " + code);
    }
    Result<std::string> redeemFriendCode(const std::string& code) override {
        calls.push_back("redeem " + code);
        return redeemed;
    }
    void removeFriend(const std::string& id) override { calls.push_back("remove " + id); }
    void signOut() override { calls.push_back("signOut"); }
    Status deleteAccount() override { return answer("deleteAccount"); }

private:
    Status answer(std::string call) {
        calls.push_back(std::move(call));
        return nextOutcome;
    }
};

struct FakeLoginView final : LoginView {
    std::string email, code, status, sendTitle;
    StatusTone tone = StatusTone::secondary;
    bool codeRowVisible = true, sendEnabled = false, verifyEnabled = false, visible = false, codeFocused = false;

    std::string emailText() const override { return email; }
    std::string codeText() const override { return code; }
    void setCodeText(const std::string& t) override { code = t; }
    void setStatus(const std::string& t, StatusTone s) override {
        status = t;
        tone = s;
    }
    void setCodeRowVisible(bool v) override { codeRowVisible = v; }
    void setSendButton(const std::string& title, bool enabled) override {
        sendTitle = title;
        sendEnabled = enabled;
    }
    void setVerifyEnabled(bool e) override { verifyEnabled = e; }
    void focusCodeField() override { codeFocused = true; }
    void present() override { visible = true; }
    void hide() override { visible = false; }
};

struct FakeDialogs final : AccountDialogs {
    std::optional<std::string> typed;  // the answer of the next prompt; nothing = Cancel
    bool confirms = false;
    std::vector<TextPrompt> prompts;
    std::vector<AlertText> alerts;
    int confirmations = 0;

    std::optional<std::string> askForText(const TextPrompt& p) override {
        prompts.push_back(p);
        return typed;
    }
    bool confirm(const Confirmation&) override {
        ++confirmations;
        return confirms;
    }
    void showAlert(const AlertText& t) override { alerts.push_back(t); }
};

struct FakeClipboard final : Clipboard {
    std::string value = "old";
    std::string text() const override { return value; }
    void setText(const std::string& t) override { value = t; }
};

}  // namespace pawlane::test
