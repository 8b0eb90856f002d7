#pragma once
// What the social service needs of the backend: the auth changes, the sign-in
// calls and the cloud queries, each blocking (background threads only). The
// production one wraps BackendClient; tests script an in-memory one.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "social/cloud_rows.h"
#include "social/result.h"
#include "social/session.h"
#include "social/social_config.h"

namespace pawlane {

class BackendClient;

class SocialBackend {
public:
    virtual ~SocialBackend() = default;

    // The next auth change, or nothing when none arrived within `timeout`.
    virtual std::optional<AuthChange> nextAuthChange(std::chrono::milliseconds timeout) = 0;
    // Opens the provider's page with `openUrl` and returns once a session exists.
    virtual Status signInWithGoogle(const std::function<bool(const std::string& url)>& openUrl) = 0;
    virtual Status sendEmailCode(const std::string& email) = 0;
    virtual Status verifyEmailCode(const std::string& email, const std::string& code) = 0;
    // Completes a sign-in from the callback address the desktop handed over.
    virtual Status sessionFromUrl(const std::string& url) = 0;
    virtual Status signOut() = 0;

    virtual Result<Profile> fetchOwnProfile(const std::string& uid) = 0;
    virtual Result<std::vector<Profile>> fetchVisibleProfiles() = 0;
    virtual Result<std::vector<FriendshipRow>> fetchFriendships() = 0;
    virtual Result<std::vector<CloudPet>> fetchFriendPets(const std::string& uid) = 0;
    virtual Status upsertPets(const std::vector<CloudPet>& pets) = 0;
    virtual Status upsertPet(const CloudPet& pet) = 0;
    virtual Status deletePet(const std::string& petId) = 0;
    virtual Status deleteOwnPet(const std::string& petId, const std::string& uid) = 0;
    virtual Status removeFriendship(const std::string& me, const std::string& friendId) = 0;
    virtual Result<std::vector<RedeemRow>> redeemFriendCode(const std::string& code) = 0;
    virtual Status deleteAccount() = 0;
};

// Where sign-in links and the provider's page send the browser back to.
inline constexpr const char* AUTH_REDIRECT_URL = "pawlane://auth-callback";
// How long a browser sign-in may take before it counts as failed.
inline constexpr std::chrono::minutes GOOGLE_SIGN_IN_TIMEOUT{5};

// The backend of a configured build: libcurl, session files in FileAuthStorage::defaultDir().
std::shared_ptr<SocialBackend> makeSocialBackend(const SocialConfig& config);
// Over a client built elsewhere (tests choose its storage and transport).
std::shared_ptr<SocialBackend> makeSocialBackend(std::shared_ptr<BackendClient> client);

}  // namespace pawlane
