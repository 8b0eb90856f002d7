#pragma once
// An in-memory backend that keeps the server's promises (own rows only, pets
// of friends by id, at most 60) and records every call as one line, e.g.
// "deletePet <id>", "upsertPets 2", "friendPets". Calls can be made to fail,
// and one call can be held until the test lets it go. Thread-safe.
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "social/social_backend.h"

namespace pawlane::test {

inline SocialError fakeError(const std::string& what) {
    return {SocialError::Kind::server, what + " failed", 500, {}};
}

class FakeBackend final : public SocialBackend {
    template <class F>
    auto with(F f) {
        std::lock_guard lock(mutex_);
        return f();
    }

public:
    std::string uid;  // the caller, as the session names it

    // --- scripting (any thread)
    void announce(AuthEvent event, std::optional<std::string> userId) {
        std::lock_guard lock(mutex_);
        std::optional<Session> s;
        if (userId) {
            s = Session{};
            s->userId = *userId;
            uid = *userId;
        }
        events_.push_back({event, s});
        changed_.notify_all();
    }
    // Fails every call whose log line begins with `prefix` ("deletePet", "deletePet <id>").
    void fail(const std::string& prefix) { with([&] { failing_.insert(prefix); }); }
    void heal(const std::string& prefix) { with([&] { failing_.erase(prefix); }); }
    // The next call whose line begins with `prefix` waits until release().
    void hold(const std::string& prefix) { with([&] { hold_ = prefix; held_ = false; }); }
    bool isHeld() { return with([&] { return held_; }); }
    void release() {
        std::lock_guard lock(mutex_);
        hold_.clear();
        changed_.notify_all();
    }
    std::vector<std::string> calls() { return with([&] { return calls_; }); }
    void clearCalls() { with([&] { calls_.clear(); }); }
    std::size_t count(const std::string& prefix) {
        return with([&] {
            return std::count_if(calls_.begin(), calls_.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
        });
    }

    // --- server data (set up before the calls start, or under the held call)
    std::map<std::string, Profile> profiles;
    std::vector<FriendshipRow> friendships;
    std::map<std::string, CloudPet> pets;  // by id: the order of the friends' pets query
    std::optional<std::vector<RedeemRow>> redeemAnswer;

    // --- SocialBackend
    std::optional<AuthChange> nextAuthChange(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::min(timeout, std::chrono::milliseconds(20)), [this] { return !events_.empty(); }))
            return std::nullopt;
        auto e = events_.front();
        events_.pop_front();
        return e;
    }
    Status signInWithGoogle(const std::function<bool(const std::string&)>& openUrl) override {
        if (auto s = call("google"); !s) return s;
        if (!openUrl("https://auth.example.com/authorize?provider=google")) return fakeError("browser");
        announce(AuthEvent::signedIn, uid.empty() ? "AAAAAAAA-0000-4000-8000-000000000001" : uid);
        return {};
    }
    Status sendEmailCode(const std::string& email) override { return call("sendEmailCode " + email); }
    Status verifyEmailCode(const std::string& email, const std::string& code) override {
        return call("verifyEmailCode " + email + " " + code);
    }
    Status sessionFromUrl(const std::string& url) override { return call("sessionFromUrl " + url); }
    Status signOut() override {
        auto s = call("signOut");
        if (s) announce(AuthEvent::signedOut, std::nullopt);
        return s;
    }
    Result<Profile> fetchOwnProfile(const std::string& id) override {
        if (auto s = call("profile " + id); !s) return s.error();
        std::lock_guard lock(mutex_);
        auto it = profiles.find(id);
        if (it == profiles.end()) return fakeError("single row");
        return it->second;
    }
    Result<std::vector<Profile>> fetchVisibleProfiles() override {
        if (auto s = call("profiles"); !s) return s.error();
        std::lock_guard lock(mutex_);
        std::vector<Profile> out;
        for (const auto& [id, p] : profiles) out.push_back(p);
        return out;
    }
    Result<std::vector<FriendshipRow>> fetchFriendships() override {
        if (auto s = call("friendships"); !s) return s.error();
        std::lock_guard lock(mutex_);
        return friendships;
    }
    Result<std::vector<CloudPet>> fetchFriendPets(const std::string& id) override {
        if (auto s = call("friendPets " + id); !s) return s.error();
        std::lock_guard lock(mutex_);
        std::vector<CloudPet> out;
        auto isFriend = [&](const std::string& owner) {
            return std::any_of(friendships.begin(), friendships.end(), [&](const FriendshipRow& r) {
                return (r.userA == id && r.userB == owner) || (r.userB == id && r.userA == owner);
            });
        };
        for (const auto& [petId, p] : pets)
            if (p.ownerId != id && isFriend(p.ownerId) && out.size() < 60) out.push_back(p);
        return out;
    }
    Status upsertPets(const std::vector<CloudPet>& rows) override {
        if (auto s = call("upsertPets " + std::to_string(rows.size())); !s) return s;
        std::lock_guard lock(mutex_);
        for (const auto& p : rows) pets[p.id] = p;
        return {};
    }
    Status upsertPet(const CloudPet& p) override {
        if (auto s = call("upsertPet " + p.id); !s) return s;
        std::lock_guard lock(mutex_);
        pets[p.id] = p;
        return {};
    }
    Status deletePet(const std::string& id) override {
        if (auto s = call("deletePet " + id); !s) return s;
        std::lock_guard lock(mutex_);
        if (auto it = pets.find(id); it != pets.end() && it->second.ownerId == uid) pets.erase(it);
        return {};
    }
    Status deleteOwnPet(const std::string& id, const std::string& owner) override {
        if (auto s = call("deleteOwnPet " + id + " " + owner); !s) return s;
        std::lock_guard lock(mutex_);
        if (auto it = pets.find(id); it != pets.end() && it->second.ownerId == owner && owner == uid) pets.erase(it);
        return {};
    }
    Status removeFriendship(const std::string& me, const std::string& friendId) override {
        if (auto s = call("removeFriendship " + me + " " + friendId); !s) return s;
        std::lock_guard lock(mutex_);
        std::erase_if(friendships, [&](const FriendshipRow& r) {
            return (r.userA == me && r.userB == friendId) || (r.userA == friendId && r.userB == me);
        });
        return {};
    }
    Result<std::vector<RedeemRow>> redeemFriendCode(const std::string& code) override {
        if (auto s = call("redeem " + code); !s) return s.error();
        std::lock_guard lock(mutex_);
        if (redeemAnswer) return *redeemAnswer;
        for (const auto& [id, p] : profiles) {
            if (p.friendCode != code || id == uid) continue;
            friendships.push_back({uid, id});
            return std::vector<RedeemRow>{{id, p.displayName}};
        }
        return fakeError("redeem");
    }
    Status deleteAccount() override { return call("deleteAccount"); }

private:
    Status call(const std::string& line) {
        std::unique_lock lock(mutex_);
        calls_.push_back(line);
        if (!hold_.empty() && line.rfind(hold_, 0) == 0) {
            held_ = true;
            const std::string waitingFor = hold_;
            changed_.wait_for(lock, std::chrono::seconds(10), [&] { return hold_ != waitingFor; });
        }
        for (const auto& prefix : failing_)
            if (line.rfind(prefix, 0) == 0) return fakeError(line);
        return {};
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<AuthChange> events_;
    std::vector<std::string> calls_;
    std::set<std::string> failing_;
    std::string hold_;
    bool held_ = false;
};

}  // namespace pawlane::test
