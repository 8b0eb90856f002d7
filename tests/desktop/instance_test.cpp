// One interactive instance per user, URLs handed to it, developer commands
// beside it, and the test signals for leaving and coming back.
#include <filesystem>

#include "desktop_fixture.h"

namespace desktop {
namespace {

TEST_F(DesktopTest, SecondStartLeavesQuietlyAndHandsOverItsUrl) {
    writePreferences(R"("petCounts": {"shiba": 1})");
    auto first = startApp();
    ASSERT_TRUE(waitForStrip(*first)) << first->err();

    auto second = startApp({}, "second");
    EXPECT_EQ(second->waitExit(2000), std::optional<int>(0));
    EXPECT_EQ(second->out() + second->err(), "");

    auto withUrl = startApp({"pawlane://auth-callback?code=x"}, "url");
    EXPECT_EQ(withUrl->waitExit(2000), std::optional<int>(0));
    EXPECT_TRUE(first->waitForOutput("pawlane: opened pawlane://auth-callback\n", 2000, true)) << first->err();
    EXPECT_EQ(first->err().find("code=x"), std::string::npos) << "the sign-in code reached the trace";

    // A developer switch without its path is no developer command: a quiet second start.
    auto lonelySwitch = startApp({"--dump-frames"}, "lonely");
    EXPECT_EQ(lonelySwitch->waitExit(2000), std::optional<int>(0));

    const std::string icons = dir_ + "/icons";
    auto exporter = startApp({"--make-icon", icons}, "icon");
    EXPECT_EQ(exporter->waitExit(10000), std::optional<int>(0));
    EXPECT_FALSE(std::filesystem::is_empty(icons));

    EXPECT_TRUE(first->running());
    EXPECT_TRUE(waitForStrip(*first, 0)) << "the first instance lost its strip";
}

TEST_F(DesktopTest, TestSignalsAndTheScreenSaverMarkAwayAndBack) {
    writePreferences(R"("petCounts": {"shiba": 1}, "greetAwaySeconds": 1.0, "greetCooldownSeconds": 1.0)");
    auto app = startApp();
    ASSERT_TRUE(waitForStrip(*app)) << app->err();
    sleepMs(300);  // the signal subscriptions are in place once the strip is up; give the bus a moment
    ASSERT_EQ(sh("dbus-send --session --type=signal /com/quillo/pawlane com.quillo.pawlane.testAway"), 0);
    ASSERT_TRUE(app->waitForOutput("pawlane: away\n", 2000, true)) << app->err();
    sleepMs(2000);
    ASSERT_EQ(sh("dbus-send --session --type=signal /com/quillo/pawlane com.quillo.pawlane.testReturn"), 0);
    EXPECT_TRUE(app->waitForOutput("pawlane: greeting 1 pets\n", 3000, true)) << app->err();

    // The screen saver's lock and unlock on the session bus: away, then back.
    const std::string screenSaver =
        "dbus-send --session --type=signal /org/freedesktop/ScreenSaver org.freedesktop.ScreenSaver.ActiveChanged ";
    ASSERT_EQ(sh(screenSaver + "boolean:true"), 0);
    sleepMs(2000);
    ASSERT_EQ(sh(screenSaver + "boolean:false"), 0);
    // The unlock is a return after more than the second away: it greets, or
    // finds the pet still busy with the first greeting.
    bool handled = false;
    std::string afterLock;
    for (int waited = 0; waited < 3000 && !handled; waited += 100) {
        const std::string trace = app->err();
        const auto lock = trace.find("pawlane: away\n", trace.find("pawlane: away\n") + 1);
        afterLock = lock == std::string::npos ? "" : trace.substr(lock);
        handled = afterLock.find("greeting 1 pets") != std::string::npos ||
                  afterLock.find("no pet free to greet") != std::string::npos;
        if (!handled) sleepMs(100);
    }
    EXPECT_TRUE(handled) << app->err();
}

}  // namespace
}  // namespace desktop
