// The application object over headless platform doubles: strip geometry, the
// launch sequence's outcome, URLs, and the system signals reaching the world.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_delegate.h"
#include "app/opened_urls.h"
#include "app/strip_geometry.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/manual_main_queue.h"
#include "platform/headless/memory_preferences_store.h"
#include "platform/headless/recording_log.h"
#include "platform/headless/scripted_random.h"
#include "settings/settings.h"

namespace pawlane {
namespace {

bool sameRect(const RectF& a, const RectF& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

TEST(StripGeometry, SitsOnTheLowerEdgeOfTheVisibleArea) {
    const RectF screen{0, 0, 1440, 900};
    struct Case {
        const char* what;
        RectF visible;
        double scale;
        RectF strip;
    } cases[] = {
        {"panel at the bottom, medium", {0, 70, 1440, 830}, 3, {0, 70, 1440, 90}},
        {"panel at the bottom, large", {0, 70, 1440, 830}, 4, {0, 70, 1440, 120}},
        {"no panel, small", screen, 2, {0, 0, 1440, 60}},
        {"panel on the left", {70, 0, 1370, 900}, 3, {0, 0, 1440, 90}},
        {"panel at the top", {0, 0, 1440, 870}, 3, {0, 0, 1440, 90}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(sameRect(stripRect({screen, c.visible}, c.scale), c.strip)) << c.what;
    // A screen that is not the origin one keeps its own x.
    EXPECT_TRUE(sameRect(stripRect({{-1280, 100, 1280, 800}, {-1280, 140, 1280, 760}}, 3), {-1280, 140, 1280, 90}));
}

TEST(OpenedUrls, OnlyOurSchemeCountsAndLogsWithoutItsQuery) {
    EXPECT_TRUE(isPawlaneUrl("pawlane://auth-callback?code=x"));
    for (const char* other : {"PAWLANE://auth-callback", "Pawlane://auth-callback", "https://example.com",
                              "pawlanes://auth-callback", "--pawlane:", ""})
        EXPECT_FALSE(isPawlaneUrl(other)) << other;
    EXPECT_EQ(loggableUrl("pawlane://auth-callback?code=secret#token=t"), "pawlane://auth-callback");
    EXPECT_EQ(loggableUrl("pawlane://auth-callback#access_token=t"), "pawlane://auth-callback");
    EXPECT_EQ(loggableUrl("pawlane://auth-callback"), "pawlane://auth-callback");
}

// The doubles the application object talks to.
struct FakeScreens final : Screens {
    std::optional<ScreenGeometry> screen = ScreenGeometry{{0, 0, 1440, 900}, {0, 70, 1440, 830}};
    std::vector<std::function<void()>> observers;
    std::optional<ScreenGeometry> primary() const override { return screen; }
    void observe(std::function<void()> fn) override { observers.push_back(std::move(fn)); }
};

struct FakeStrip final : StripHost {
    FakeDesktop desktop;
    std::function<RectF()> source;
    RectF frame;
    bool shown = false;
    StripPointerHandler* handler = nullptr;
    PointF fromScreen(PointF p) const override { return desktop.fromScreen(p); }
    void setTakesClicks(bool on) override { desktop.setTakesClicks(on); }
    void refreshFrame() override { frame = source(); }
    RootLayer& rootLayer() override { return desktop.root; }
    void setFrameSource(std::function<RectF()> s) override { source = std::move(s); }
    void setShown(bool on) override { shown = on; }
    bool isShown() const override { return shown; }
    void setPointerHandler(StripPointerHandler* h) override { handler = h; }
};

struct FakeStatusItem final : StatusItem {
    Menu menu;
    std::string iconSpecies;
    std::optional<PointF> poppedAt;
    void setIcon(const Species& s) override { iconSpecies = s.id; }
    void setMenu(const Menu& m) override { menu = m; }
    void popUpMenu(PointF at) override { poppedAt = at; }
};

struct FakeTimers final : RepeatingTimers {
    std::vector<std::pair<double, std::function<void()>>> timers;
    void every(double seconds, double, std::function<void()> fn) override { timers.emplace_back(seconds, fn); }
};

struct FakeSession final : SessionEvents {
    std::function<void(SessionEvent)> handler;
    bool testSignals = false;
    void observe(std::function<void(SessionEvent)> h, bool withTest) override {
        handler = std::move(h);
        testSignals = withTest;
    }
};

struct CountingSocial final : SocialLink {
    int syncs = 0;
    bool isSignedIn() const override { return false; }
    void syncNow() override { ++syncs; }
};

class AppDelegateTest : public ::testing::Test {
protected:
    AppDelegateTest() : queue(clock), settings(store) {}

    AppDelegate& launch() {
        app = std::make_unique<AppDelegate>(AppServices{settings, clock, random, queue, screens, strip.desktop, strip,
                                                        status, timers, session, log, trace, social,
                                                        [this] { ++quits; }, true, nullptr, nullptr, nullptr, {},
                                                        nullptr, nullptr});
        app->applicationDidFinishLaunching();
        return *app;
    }
    bool traced(const std::string& line) const {
        return std::find(trace.lines.begin(), trace.lines.end(), line) != trace.lines.end();
    }

    ManualClock clock;
    ManualMainQueue queue;
    ScriptedRandom random;
    MemoryPreferencesStore store;
    Settings settings;
    FakeScreens screens;
    FakeStrip strip;
    FakeStatusItem status;
    FakeTimers timers;
    FakeSession session;
    RecordingLog log;
    RecordingTrace trace;
    CountingSocial social;
    int quits = 0;
    std::unique_ptr<AppDelegate> app;
};

TEST_F(AppDelegateTest, LaunchShowsTheStripBuildsThePackAndStartsTheTimers) {
    settings.d.setDictionary(keys::petCounts, {{"cat", 2}, {"fox", 1}});
    AppDelegate& a = launch();
    EXPECT_TRUE(strip.shown);
    EXPECT_TRUE(sameRect(strip.frame, {0, 70, 1440, 90}));
    EXPECT_EQ(a.world()->pets.size(), 3u);
    EXPECT_EQ(status.iconSpecies, "cat");
    ASSERT_NE(findEntry(status.menu, "Quit"), nullptr);
    findEntry(status.menu, "Quit")->action();
    EXPECT_EQ(quits, 1);
    ASSERT_EQ(timers.timers.size(), 2u);
    EXPECT_DOUBLE_EQ(timers.timers[0].first, 1.0 / 30);
    EXPECT_DOUBLE_EQ(timers.timers[1].first, 300);
    timers.timers[1].second();
    EXPECT_EQ(social.syncs, 1);
    EXPECT_TRUE(session.testSignals);
}

TEST_F(AppDelegateTest, HiddenAtLaunchKeepsTheStripOffButBuildsEverything) {
    settings.d.setBoolean(keys::petsHidden, true);
    AppDelegate& a = launch();
    EXPECT_FALSE(strip.shown);
    EXPECT_EQ(a.world()->pets.size(), 1u);
    EXPECT_FALSE(status.menu.empty());
    EXPECT_EQ(status.iconSpecies, "shiba");
}

TEST_F(AppDelegateTest, FollowsScreenChangesAndTheSizeSetting) {
    launch();
    screens.screen = ScreenGeometry{{0, 0, 1280, 800}, {0, 0, 1280, 800}};
    for (auto& fn : screens.observers) fn();
    EXPECT_TRUE(sameRect(strip.frame, {0, 0, 1280, 90}));
    settings.d.setInteger(keys::sizeIdx, 2);
    app->world()->rebuildPets();
    EXPECT_TRUE(sameRect(strip.frame, {0, 0, 1280, 120}));
    // No screen at all: the strip stays where it was.
    screens.screen.reset();
    EXPECT_TRUE(sameRect(app->stripRect(), {}));
}

TEST_F(AppDelegateTest, SystemSignalsReachTheGreeting) {
    clock.set(1e8);  // long after any earlier greeting
    launch();
    session.handler(SessionEvent::TestAway);
    clock.advance(400);
    session.handler(SessionEvent::TestReturn);
    EXPECT_TRUE(traced("greeting 1 pets"));

    // A wake behind the lock screen is no return; the unlock is.
    trace.lines.clear();
    clock.advance(2000);
    session.handler(SessionEvent::ScreenLocked);
    clock.advance(400);
    session.handler(SessionEvent::DidWake);
    EXPECT_FALSE(traced("greeting 1 pets"));
    session.handler(SessionEvent::ScreenUnlocked);
    EXPECT_TRUE(traced("greeting 1 pets"));
}

TEST_F(AppDelegateTest, OpensOnlyPawlaneUrlsAndNeverTracesTheirQuery) {
    launch();
    app->openUrls({"https://example.com/?code=a", "pawlane://auth-callback?code=secret", "PAWLANE://x?code=b"});
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "opened pawlane://auth-callback");
}

TEST_F(AppDelegateTest, RightClickOpensTheMenuWhereThePointerIs) {
    launch();
    ASSERT_NE(strip.handler, nullptr);
    strip.handler->contextMenu({300, 100});
    ASSERT_TRUE(status.poppedAt);
    EXPECT_EQ(status.poppedAt->x, 300);
}

}  // namespace
}  // namespace pawlane
