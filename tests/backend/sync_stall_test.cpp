// The main thread never waits on the network: with every request stalled by
// the gateway, the world keeps ticking at its 30 Hz while a sync runs.
// The backend client names a member "emit": its header goes before Qt's.
#include "sync_app.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>

#include "platform/qt/qt_main_queue.h"
#include "platform/qt/qt_timers.h"

namespace pawlane::synctest {
namespace {

using Steady = std::chrono::steady_clock;

// Runs the Qt event loop until `done` holds or `seconds` have passed.
bool runLoopUntil(const std::function<bool()>& done, double seconds) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    if (!done()) loop.exec();
    return done();
}

TEST(SyncStall, TheWorldKeepsItsThirtyHertzWhileEveryRequestStalls) {
    Http http;
    if (http.base().empty()) GTEST_SKIP() << "no backend in PAWLANE_BACKEND_ENV";
    int argc = 1;
    char name[] = "test_backend";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    test::TempDir home;
    auto env = servertest::backendEnv();
    BackendClient::Options options;
    options.autoRefresh = false;
    auto client = std::make_shared<BackendClient>(
        SocialConfig{env["PAWLANE_SUPABASE_URL"], env["PAWLANE_SUPABASE_KEY"]},
        std::make_shared<FileAuthStorage>(home.path() / "Pawlane"), std::make_shared<CurlTransport>(), systemClock(),
        options);
    MemoryPreferencesStore store;
    Settings settings{store};
    QtMainQueue queue;
    QtTimers timers;
    FakeBrowser browser;
    ManualClock clock{100000.0};
    ScriptedRandom random;
    FakeDesktop desktop;
    RecordingLog log;
    RecordingTrace trace;
    auto social = std::make_unique<Social>(SocialDeps{makeSocialBackend(client), settings, queue, browser});
    World world(WorldDeps{settings, clock, random, queue, desktop, desktop, log, trace, *social});
    world.rebuildPets();
    social->start(nullptr);

    const std::string email = servertest::uniqueEmail("stall");
    ASSERT_TRUE(social->sendEmailCode(email).ok());
    ASSERT_TRUE(social->verifyEmailCode(email, http.mailbox(email)["code"]).ok());
    auto first = social->enqueueSync();
    ASSERT_TRUE(runLoopUntil([&] { return first.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20));

    std::vector<Steady::time_point> ticks;
    timers.every(World::kFrame, 0.005, [&] {
        ticks.push_back(Steady::now());
        clock.advance(World::kFrame);
        world.tick();
    });
    http.config({{"stall_seconds", 10}});
    auto stalled = social->enqueueSync();
    const auto windowStart = Steady::now();
    runLoopUntil([] { return false; }, 3);
    const bool finishedEarly = stalled.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    http.config({{"stall_seconds", 0}});
    const auto windowTicks = ticks;
    EXPECT_TRUE(runLoopUntil([&] { return stalled.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30));

    EXPECT_FALSE(finishedEarly) << "the sync should still have been waiting for the server";
    double longest = 0;
    std::size_t inWindow = 0;
    for (std::size_t i = 1; i < windowTicks.size(); ++i) {
        if (windowTicks[i] < windowStart) continue;
        ++inWindow;
        longest = std::max(longest, std::chrono::duration<double>(windowTicks[i] - windowTicks[i - 1]).count());
    }
    // Ninety frames in three seconds; a blocked main thread would show one gap of seconds.
    // The bounds leave room for a busy test machine.
    EXPECT_GE(inWindow, 60u);
    RecordProperty("framesInWindow", int(inWindow));
    RecordProperty("longestGapMs", int(longest * 1000));
    EXPECT_LT(longest, 0.25);
    queue.post([] {});  // nothing of the service may be left waiting on the loop
    social.reset();
}

}  // namespace
}  // namespace pawlane::synctest
