// SocialBackend over BackendClient and the fixed cloud queries.
#include "social/backend_client.h"
#include "social/cloud_queries.h"
#include "social/curl_transport.h"
#include "social/file_auth_storage.h"
#include "social/social_backend.h"

namespace pawlane {

namespace {

Status statusOf(const Result<Session>& r) {
    if (!r) return r.error();
    return {};
}

class ClientBackend final : public SocialBackend {
public:
    explicit ClientBackend(std::shared_ptr<BackendClient> client) : c_(std::move(client)) {}

    std::optional<AuthChange> nextAuthChange(std::chrono::milliseconds timeout) override {
        return c_->nextAuthChange(timeout);
    }
    Status signInWithGoogle(const std::function<bool(const std::string&)>& openUrl) override {
        return statusOf(c_->signInWithOAuth("google", AUTH_REDIRECT_URL, openUrl, GOOGLE_SIGN_IN_TIMEOUT));
    }
    Status sendEmailCode(const std::string& email) override { return c_->sendEmailCode(email, AUTH_REDIRECT_URL); }
    Status verifyEmailCode(const std::string& email, const std::string& code) override {
        return statusOf(c_->verifyEmailCode(email, code));
    }
    Status sessionFromUrl(const std::string& url) override { return statusOf(c_->sessionFromUrl(url)); }
    Status signOut() override { return c_->signOut(); }

    Result<Profile> fetchOwnProfile(const std::string& uid) override { return pawlane::fetchOwnProfile(*c_, uid); }
    Result<std::vector<Profile>> fetchVisibleProfiles() override { return pawlane::fetchVisibleProfiles(*c_); }
    Result<std::vector<FriendshipRow>> fetchFriendships() override { return pawlane::fetchFriendships(*c_); }
    Result<std::vector<CloudPet>> fetchFriendPets(const std::string& uid) override {
        return pawlane::fetchFriendPets(*c_, uid);
    }
    Status upsertPets(const std::vector<CloudPet>& pets) override { return pawlane::upsertPets(*c_, pets); }
    Status upsertPet(const CloudPet& pet) override { return pawlane::upsertPet(*c_, pet); }
    Status deletePet(const std::string& petId) override { return pawlane::deletePet(*c_, petId); }
    Status deleteOwnPet(const std::string& petId, const std::string& uid) override {
        return pawlane::deleteOwnPet(*c_, petId, uid);
    }
    Status removeFriendship(const std::string& me, const std::string& friendId) override {
        return pawlane::removeFriendship(*c_, me, friendId);
    }
    Result<std::vector<RedeemRow>> redeemFriendCode(const std::string& code) override {
        return pawlane::redeemFriendCode(*c_, code);
    }
    Status deleteAccount() override { return pawlane::deleteAccount(*c_); }

private:
    std::shared_ptr<BackendClient> c_;
};

}  // namespace

std::shared_ptr<SocialBackend> makeSocialBackend(std::shared_ptr<BackendClient> client) {
    return std::make_shared<ClientBackend>(std::move(client));
}

std::shared_ptr<SocialBackend> makeSocialBackend(const SocialConfig& config) {
    auto client = std::make_shared<BackendClient>(config, std::make_shared<FileAuthStorage>(FileAuthStorage::defaultDir()),
                                                  std::make_shared<CurlTransport>());
    return makeSocialBackend(std::move(client));
}

}  // namespace pawlane
