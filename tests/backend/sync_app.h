// One running copy of the app for the end-to-end tests: its own home folder
// (session files), preferences, main queue, world and social service, talking
// to the local backend through libcurl. A switch takes it offline.
#pragma once

#include <atomic>
#include <filesystem>
#include <future>

#include "../social/temp_dir.h"
#include "../sync/presenter_fakes.h"
#include "../sync/sync_fixture.h"
#include "behaviour/world.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/recording_log.h"
#include "platform/headless/scripted_random.h"
#include "server_support.h"
#include "social/account_menu.h"
#include "social/backend_client.h"
#include "social/curl_transport.h"
#include "social/file_auth_storage.h"

namespace pawlane::synctest {

using namespace pawlane::test;
using servertest::Http;

// libcurl, unless the test has pulled the plug.
class SwitchableTransport final : public HttpTransport {
public:
    std::atomic<bool> offline{false};
    Result<HttpResponse> perform(const HttpRequest& request) override {
        if (offline) return SocialError{SocialError::Kind::network, "The Internet connection appears to be offline.", 0, {}};
        return curl_.perform(request);
    }

private:
    CurlTransport curl_;
};

class App final : private SocialHost {
public:
    explicit App(const std::filesystem::path& home) {
        auto env = servertest::backendEnv();
        BackendClient::Options options;
        options.autoRefresh = false;
        client_ = std::make_shared<BackendClient>(
            SocialConfig{env["PAWLANE_SUPABASE_URL"], env["PAWLANE_SUPABASE_KEY"]},
            std::make_shared<FileAuthStorage>(home / "Pawlane"), transport, systemClock(), options);
        social = std::make_unique<Social>(SocialDeps{makeSocialBackend(client_), settings, queue, browser});
        world = std::make_unique<World>(
            WorldDeps{settings, clock, random, queue, desktop, desktop, log, trace, *social});
        menu = std::make_unique<AccountMenu>(AccountMenuDeps{*social, settings, dialogs, clipboard, queue,
                                                             social->tasks(), [] {}, [this] { world->rebuildPets(); },
                                                             [this] { ++menuBuilds; }});
        world->rebuildPets();
        social->start(this);
    }
    ~App() override {
        queue.close();
        menu.reset();
        world.reset();
        social.reset();
    }

    // Signs in by the code the backend mailed, and waits for the first sync.
    void signIn(const Http& http, const std::string& email) {
        ASSERT_TRUE(social->sendEmailCode(email).ok());
        const std::string code = http.mailbox(email)["code"];
        auto verified = social->verifyEmailCode(email, code);
        ASSERT_TRUE(verified.ok()) << verified.error().description;
        ASSERT_TRUE(queue.pumpUntil([&] { return social->profile().has_value(); }));
        sync();
    }
    void sync() { ASSERT_TRUE(queue.pumpUntilReady(social->enqueueSync())); }
    // The world's next frame: a requested pack rebuild happens here.
    void tick() {
        clock.advance(World::kFrame);
        world->tick();
    }
    std::vector<std::string> friendTags() {
        std::vector<std::string> tags;
        for (const auto& pet : world->pets)
            if (pet->tagText.find(" \u00B7 ") != std::string::npos) tags.push_back(pet->tagText);
        return tags;
    }
    std::string uid() { return social->currentUserId().value_or(""); }
    std::string displayName() { return social->profile() ? social->profile()->displayName : ""; }

    std::shared_ptr<SwitchableTransport> transport = std::make_shared<SwitchableTransport>();
    MemoryPreferencesStore store;
    Settings settings{store};
    PumpedQueue queue;
    FakeBrowser browser;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    ManualClock clock{100000.0};
    ScriptedRandom random;
    FakeDesktop desktop;
    RecordingLog log;
    RecordingTrace trace;
    std::unique_ptr<Social> social;
    std::unique_ptr<World> world;
    std::unique_ptr<AccountMenu> menu;
    int menuBuilds = 0;

private:
    void rebuildMenu() override { ++menuBuilds; }
    void requestFriendRebuild() override { world->friendRebuildPending = true; }

    std::shared_ptr<BackendClient> client_;
};

}  // namespace pawlane::synctest
