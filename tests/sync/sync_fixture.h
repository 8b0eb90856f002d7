#pragma once
// A Social over the fake backend, in-memory preferences and a pumped main
// queue, with a host that counts menu and pack rebuild requests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fake_backend.h"
#include "platform/browser.h"
#include "platform/headless/memory_preferences_store.h"
#include "pumped_queue.h"
#include "settings/settings.h"
#include "social/social.h"

namespace pawlane::test {

inline constexpr const char* ME = "AAAAAAAA-0000-4000-8000-000000000001";
inline constexpr const char* ANN = "BBBBBBBB-0000-4000-8000-000000000002";
inline constexpr const char* BOB = "CCCCCCCC-0000-4000-8000-000000000003";

struct CountingHost final : SocialHost {
    int menuBuilds = 0;
    int friendRebuilds = 0;
    void rebuildMenu() override { ++menuBuilds; }
    void requestFriendRebuild() override { ++friendRebuilds; }
};

struct FakeBrowser final : Browser {
    std::vector<std::string> opened;
    bool works = true;
    bool open(const std::string& url) override {
        opened.push_back(url);
        return works;
    }
};

// Runs background tasks at once on the calling thread.
struct InlineTasks final : BackgroundTasks {
    void run(std::function<void()> task) override { task(); }
};

inline CustomPetDef petDef(const std::string& id, const std::string& name) {
    CustomPetDef d;
    d.id = id;
    d.name = name;
    return d;
}

inline CloudPet cloudPet(const std::string& id, const std::string& owner, const std::string& name) {
    return {id, owner, name, 1, petDef("design-" + id, name)};
}

class SyncTest : public ::testing::Test {
protected:
    MemoryPreferencesStore store;
    Settings settings{store};
    PumpedQueue queue;
    FakeBrowser browser;
    CountingHost host;
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    std::unique_ptr<Social> social;

    void SetUp() override {
        backend->profiles[ME] = {ME, "Me", "MECODE22"};
        social = std::make_unique<Social>(SocialDeps{backend, settings, queue, browser, std::make_shared<ThreadTasks>()});
    }
    void TearDown() override {
        queue.close();
        social.reset();
    }

    // Starts the service with the user signed in (the restored session) and
    // waits for the first sync the listener runs; the call log starts empty.
    void startSignedIn(const char* uid = ME) {
        backend->announce(AuthEvent::initialSession, std::string(uid));
        social->start(&host);
        // The listener's own sync ends with the friends' pets query.
        ASSERT_TRUE(queue.pumpUntil([&] { return backend->count("friendPets") >= 1; }));
        sync();
        backend->clearCalls();
        host = CountingHost{};
    }
    void startSignedOut() {
        backend->announce(AuthEvent::initialSession, std::nullopt);
        social->start(&host);
        queue.pumpUntil([&] { return host.menuBuilds == 1; });
    }
    // One complete sync, queued behind any other.
    void sync() { queue.pumpUntilReady(social->enqueueSync()); }
    std::vector<std::string> deletedIds() { return store.stringArray(keys::deletedPetIds); }
};

}  // namespace pawlane::test
