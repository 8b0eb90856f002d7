#include "desktop_fixture.h"

#include <fstream>
#include <stdexcept>

namespace desktop {

void DesktopTest::SetUp() {
    char pattern[] = "/tmp/pawlane-desktop.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    for (const char* sub : {"/config", "/data", "/cache", "/runtime", "/tmp"})
        ASSERT_EQ(sh("mkdir -p -m 700 " + dir_ + sub), 0);
    x_ = std::make_unique<XSession>();
    ASSERT_TRUE(x_->connected()) << "no X server at DISPLAY";
}

void DesktopTest::TearDown() {
    x_.reset();
    if (!::testing::Test::HasFailure()) sh("rm -rf " + dir_);
    else std::printf("kept %s for inspection\n", dir_.c_str());
}

void DesktopTest::writePreferences(const std::string& members) {
    sh("mkdir -p " + dir_ + "/config/pawlane");
    std::ofstream(dir_ + "/config/pawlane/preferences.json") << "{" << members << "}\n";
}

std::map<std::string, std::string> DesktopTest::appEnv() const {
    return {{"XDG_CONFIG_HOME", dir_ + "/config"}, {"XDG_DATA_HOME", dir_ + "/data"},
            {"XDG_CACHE_HOME", dir_ + "/cache"},   {"XDG_RUNTIME_DIR", dir_ + "/runtime"},
            {"TMPDIR", dir_ + "/tmp"},             {"HOME", dir_},
            {"PAWLANE_TRACE", ""},                 {"QT_QPA_PLATFORM", "\x01unset"}};
}

std::unique_ptr<Child> DesktopTest::startApp(const std::vector<std::string>& args, const std::string& name,
                                             const std::map<std::string, std::string>& extraEnv) {
    std::vector<std::string> argv{PAWLANE_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    std::map<std::string, std::string> env = appEnv();
    for (const auto& [key, value] : extraEnv) env[key] = value;
    return std::make_unique<Child>(argv, env, dir_ + "/" + name);
}

std::optional<Rect> DesktopTest::waitForStrip(Child& app, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        for (const Rect& r : x_->windowsOf(app.pid()))
            if (r.w == x_->screen().w && r.h >= 60) return r;
        if (!app.running()) return std::nullopt;
        sleepMs(50);
    }
    return std::nullopt;
}

Rect DesktopTest::waitForStripAt(Child& app, const Rect& expected, int timeoutMs) {
    Rect last{};
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        for (const Rect& r : x_->windowsOf(app.pid())) {
            last = r;
            if (r == expected) return r;
        }
        sleepMs(50);
    }
    return last;
}

std::unique_ptr<Child> DesktopTest::startDock(int height) {
    auto dock = std::make_unique<Child>(
        std::vector<std::string>{HELPER_BINARY, "dock", std::to_string(height)}, std::map<std::string, std::string>{},
        dir_ + "/dock");
    EXPECT_TRUE(dock->waitForOutput("ready", 3000));
    sleepMs(300);  // the window manager publishes the new work area
    return dock;
}

std::unique_ptr<Child> DesktopTest::startBackdrop() {
    auto backdrop = std::make_unique<Child>(
        std::vector<std::string>{HELPER_BINARY, "backdrop", std::to_string(BACKDROP.r), std::to_string(BACKDROP.g),
                                 std::to_string(BACKDROP.b)},
        std::map<std::string, std::string>{}, dir_ + "/backdrop");
    EXPECT_TRUE(backdrop->waitForOutput("ready", 3000));
    sleepMs(300);
    return backdrop;
}

DesktopTest::SlowShiba DesktopTest::startSlowShiba() {
    SlowShiba run;
    run.backdrop = startBackdrop();
    writePreferences(R"("petCounts": {"shiba": 1}, "speedIdx": 0)");
    run.app = startApp();
    run.strip = waitForStrip(*run.app);
    if (run.strip) sleepMs(500);
    return run;
}

std::optional<Rect> DesktopTest::drawnBox(const Shot& shot) {
    int x0 = INT32_MAX, y0 = INT32_MAX, x1 = -1, y1 = -1;
    for (int y = shot.area.y; y < shot.area.y + shot.area.h; ++y)
        for (int x = shot.area.x; x < shot.area.x + shot.area.w; ++x) {
            if (shot.at(x, y) == BACKDROP) continue;
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (x1 < 0) return std::nullopt;
    return Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

bool DesktopTest::clickPet(const Rect& strip, int button) {
    auto centre = [](const Rect& r) { return std::to_string(r.x + r.w / 2) + " " + std::to_string(r.y + r.h / 2); };
    auto pet = drawnBox(x_->grab(strip));
    if (!pet) return false;
    sh("xdotool mousemove " + centre(*pet) + " sleep 0.15");
    pet = drawnBox(x_->grab(strip));  // it kept walking meanwhile
    if (!pet) return false;
    sh("xdotool mousemove " + centre(*pet) + " sleep 0.1 click " + std::to_string(button));
    return true;
}

}  // namespace desktop
