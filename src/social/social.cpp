#include "social/social.h"

#include <mutex>

#include "platform/browser.h"
#include "platform/main_queue.h"
#include "settings/settings.h"

namespace pawlane {

namespace {

Social* sharedSocial = nullptr;
std::once_flag sharedOnce;

bool isHandled(AuthEvent e) {
    return e == AuthEvent::initialSession || e == AuthEvent::signedIn || e == AuthEvent::signedOut ||
           e == AuthEvent::userDeleted;
}

}  // namespace

Social::Social(SocialDeps deps)
    : backend_(std::move(deps.backend)),
      settings_(deps.settings),
      queue_(deps.queue),
      browser_(deps.browser),
      tasks_(deps.tasks ? std::move(deps.tasks) : std::make_shared<ThreadTasks>()) {}

Social::~Social() {
    stopping_ = true;
    pauseChanged_.notify_all();
    syncs_.stop();
    if (listener_.joinable()) listener_.join();
    tasks_.reset();
}

Social& Social::createShared(SocialDeps deps) {
    // Lives until the process ends: its threads may still be inside a request then.
    std::call_once(sharedOnce, [&] { sharedSocial = new Social(std::move(deps)); });
    return *sharedSocial;
}

Social& Social::createShared(Settings& settings, MainQueue& queue, Browser& browser) {
    auto config = SocialConfig::load();
    return createShared(SocialDeps{config ? makeSocialBackend(*config) : nullptr, settings, queue, browser});
}

Social& Social::shared() { return *sharedSocial; }

void Social::start(SocialHost* host) {
    host_ = host;
    if (backend_ && !listener_.joinable()) listener_ = std::thread([this] { listen(); });
}

void Social::onMain(const std::function<void()>& fn) { queue_.runAndWait(fn); }

void Social::pause(double seconds) {
    auto fired = std::make_shared<bool>(false);
    // Timers belong to the main thread: only post() may be called from here.
    queue_.post([this, fired, seconds] {
        queue_.postAfter(seconds, [this, fired] {
            std::lock_guard lock(pauseMutex_);
            *fired = true;
            pauseChanged_.notify_all();
        });
    });
    std::unique_lock lock(pauseMutex_);
    pauseChanged_.wait(lock, [&] { return *fired || stopping_; });
}

// ---- auth changes

void Social::listen() {
    while (!stopping_) {
        auto change = backend_->nextAuthChange(std::chrono::milliseconds(200));
        if (!change || !isHandled(change->event)) continue;
        std::optional<std::string> uid;
        if (change->session) uid = change->session->userId;
        std::optional<Profile> fresh;
        if (uid) fresh = fetchProfile(*uid);
        if (stopping_) return;
        onMain([&] {
            currentUserId_ = uid;
            profile_ = fresh;
            if (host_) host_->rebuildMenu();
        });
        if (uid) enqueueSync().wait();
    }
}

std::optional<Profile> Social::fetchProfile(const std::string& uid) {
    if (!backend_) return std::nullopt;
    if (auto p = backend_->fetchOwnProfile(uid)) return p.value();
    // The server creates the profile with the account; it may lag a moment behind.
    pause(PROFILE_RETRY_SECONDS);
    if (auto p = backend_->fetchOwnProfile(uid)) return p.value();
    return std::nullopt;
}

// ---- syncs

std::shared_future<void> Social::enqueueSync() {
    return syncs_.enqueue([this] {
        if (!stopping_) performSync();
    });
}

void Social::markPetDeleted(const std::string& localId) {
    auto ids = settings_.d.stringArray(keys::deletedPetIds);
    ids.push_back(localId);
    settings_.d.setStringArray(keys::deletedPetIds, std::move(ids));
    syncNow();
}

// ---- sign-in and account

Status Social::signInWithGoogle() {
    if (!backend_) return SocialError::notConfigured();
    return backend_->signInWithGoogle([this](const std::string& url) {
        bool opened = false;
        onMain([&] { opened = browser_.open(url); });
        return opened;
    });
}

Status Social::sendEmailCode(const std::string& email) {
    if (!backend_) return SocialError::notConfigured();
    return backend_->sendEmailCode(email);
}

Status Social::verifyEmailCode(const std::string& email, const std::string& code) {
    if (!backend_) return SocialError::notConfigured();
    return backend_->verifyEmailCode(email, code);
}

void Social::handleCallback(const std::string& url) {
    if (!backend_) return;
    tasks_->run([this, url] {
        if (!backend_->sessionFromUrl(url)) return;
        queue_.post([this] {
            if (onLinkSignIn_) onLinkSignIn_();
        });
    });
}

void Social::signOut() {
    if (backend_) (void)backend_->signOut();
}

Status Social::deleteAccount() {
    if (!backend_) return SocialError::notConfigured();
    if (auto deleted = backend_->deleteAccount(); !deleted) return deleted.error();
    (void)backend_->signOut();
    return {};
}

// ---- friends

Result<std::string> Social::redeemFriendCode(const std::string& code) {
    if (!backend_) return SocialError::notConfigured();
    auto rows = backend_->redeemFriendCode(code);
    if (!rows) return rows.error();
    enqueueSync().wait();
    if (rows->empty()) return std::string("your friend");
    return rows->front().friendName;
}

void Social::removeFriend(const std::string& friendId) {
    if (!backend_) return;
    std::optional<std::string> me;
    onMain([&] { me = currentUserId_; });
    if (!me) return;
    (void)backend_->removeFriendship(*me, friendId);
    enqueueSync().wait();
}

}  // namespace pawlane
