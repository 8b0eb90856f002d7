#pragma once
// The account and cloud-sync service. It follows the backend's auth changes on
// a listener thread of its own, keeps the signed-in user and profile, uploads
// the custom pets, deletes the cloud copies of deleted ones, and caches the
// friends and their pets for the pack. Syncs run one at a time on a worker
// thread; every read or write of main-thread state (the user, the profile,
// the settings, the application) goes through MainQueue::runAndWait.
//
// Without a backend (build not configured) it stays signed out, sends nothing,
// and the calls a user can still reach fail with SocialError::notConfigured.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "behaviour/social_link.h"
#include "settings/friend_entries.h"
#include "social/account_service.h"
#include "social/background_tasks.h"
#include "social/serial_executor.h"
#include "social/social_backend.h"

namespace pawlane {

class Settings;
class MainQueue;
class Browser;

// The application object as the service sees it. Main thread only.
class SocialHost {
public:
    virtual ~SocialHost() = default;
    virtual void rebuildMenu() = 0;
    // Friends' pets changed: rebuild the pack at the world's next quiet tick
    // (the world's friendRebuildPending).
    virtual void requestFriendRebuild() = 0;
};

struct SocialDeps {
    std::shared_ptr<SocialBackend> backend;  // empty: the build is not configured
    Settings& settings;
    MainQueue& queue;
    Browser& browser;
    std::shared_ptr<BackgroundTasks> tasks = std::make_shared<ThreadTasks>();
};

// The friends and their pets as one sync found them.
struct FriendData {
    std::vector<FriendPetEntry> pets;
    std::vector<FriendEntry> friends;
};

class Social final : public SocialLink, public AccountService {
public:
    static constexpr double PROFILE_RETRY_SECONDS = 0.8;
    static constexpr int FRIEND_PETS_PER_OWNER = 3;
    static constexpr std::size_t FRIEND_PETS_TOTAL = 30;
    static constexpr std::size_t PET_NAME_LENGTH = 24;
    static constexpr const char* DEFAULT_FRIEND_NAME = "Friend";

    explicit Social(SocialDeps deps);
    // Stops the threads; a running network call is waited for.
    ~Social() override;
    Social(const Social&) = delete;
    Social& operator=(const Social&) = delete;

    // The app's one service: createShared once at launch (main thread), then shared().
    static Social& createShared(SocialDeps deps);
    // The same with the backend of SocialConfig::load(), if the build has one.
    static Social& createShared(Settings& settings, MainQueue& queue, Browser& browser);
    static Social& shared();

    // Main thread, once at launch: remembers the application (nullptr forgets it)
    // and, with a backend, starts following the auth changes.
    void start(SocialHost* host);
    // The sign-in window to hide when a sign-in link completes. Main thread.
    void setOnLinkSignIn(std::function<void()> fn) { onLinkSignIn_ = std::move(fn); }

    // Main thread.
    bool isConfigured() const override { return backend_ != nullptr; }
    bool isSignedIn() const override { return currentUserId_.has_value(); }
    std::optional<Profile> profile() const override { return profile_; }
    const std::optional<std::string>& currentUserId() const { return currentUserId_; }

    // Starts a sync behind the ones already queued; returns at once.
    void syncNow() override { (void)enqueueSync(); }
    // From any thread: queues one complete sync; the future is ready when it has
    // run. Only background threads may wait on it.
    std::shared_future<void> enqueueSync();
    // Main thread: remembers the deletion until a sync confirms it, starts a sync.
    void markPetDeleted(const std::string& localId) override;
    // Main thread, returns at once: completes a sign-in link in the background.
    void handleCallback(const std::string& url);

    // Background threads.
    Status signInWithGoogle() override;
    Status sendEmailCode(const std::string& email) override;
    Status verifyEmailCode(const std::string& email, const std::string& code) override;
    Result<std::string> redeemFriendCode(const std::string& code) override;
    void removeFriend(const std::string& friendId) override;
    void signOut() override;
    Status deleteAccount() override;

    // The profile, asked twice PROFILE_RETRY_SECONDS apart; nothing if both fail.
    std::optional<Profile> fetchProfile(const std::string& uid);
    // One whole sync; only the sync worker calls it.
    void performSync();
    // The friends and at most 3 pets per owner, 30 in all; nothing if any query failed.
    static std::optional<FriendData> fetchFriendData(SocialBackend& backend, const std::string& uid);

    BackgroundTasks& tasks() { return *tasks_; }
    MainQueue& queue() { return queue_; }

private:
    void listen();
    void onMain(const std::function<void()>& fn);
    // Waits `seconds` on the main queue's clock, or until the service stops.
    void pause(double seconds);
    void deletePending(SocialBackend& backend, const std::string& uid);
    void uploadPets(SocialBackend& backend, const std::string& uid);
    void storeFriendData(FriendData data);

    std::shared_ptr<SocialBackend> backend_;
    Settings& settings_;
    MainQueue& queue_;
    Browser& browser_;
    std::shared_ptr<BackgroundTasks> tasks_;

    // Main thread only.
    SocialHost* host_ = nullptr;
    std::optional<std::string> currentUserId_;
    std::optional<Profile> profile_;
    std::function<void()> onLinkSignIn_;

    std::atomic<bool> stopping_{false};
    std::mutex pauseMutex_;
    std::condition_variable pauseChanged_;
    std::thread listener_;
    // Declared last: destroyed first, so no sync outlives the members it uses.
    SerialExecutor syncs_;
};

}  // namespace pawlane
