#pragma once
// The account as the sign-in window and the account menu use it. The state
// getters are for the main thread; the calls block and belong on background
// threads (never the main thread: they wait for the main thread themselves).
#include <optional>
#include <string>

#include "social/cloud_rows.h"
#include "social/result.h"

namespace pawlane {

class AccountService {
public:
    virtual ~AccountService() = default;

    // Main thread.
    virtual bool isConfigured() const = 0;
    virtual bool isSignedIn() const = 0;
    virtual std::optional<Profile> profile() const = 0;

    // Background threads. The sign-in calls only establish a session; the
    // signed-in state follows from the auth change it announces.
    virtual Status signInWithGoogle() = 0;
    virtual Status sendEmailCode(const std::string& email) = 0;
    virtual Status verifyEmailCode(const std::string& email, const std::string& code) = 0;
    // The new friend's name, once a sync has brought in their data.
    virtual Result<std::string> redeemFriendCode(const std::string& code) = 0;
    // Never fails: a friendship that could not be removed stays until a later sync.
    virtual void removeFriend(const std::string& friendId) = 0;
    // Never fails: errors are ignored.
    virtual void signOut() = 0;
    virtual Status deleteAccount() = 0;
};

}  // namespace pawlane
