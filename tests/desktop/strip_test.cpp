// The strip on a real X server: where it stands, what it shows, which clicks it takes.
#include <cmath>

#include "desktop_fixture.h"
#include "sprites/catalogue.h"

namespace desktop {
namespace {

// Medium size: 30 sprite rows of 3 pixels.
constexpr int kMediumHeight = 90;

std::vector<Rgb> shibaColours() {
    std::vector<Rgb> colours;
    for (const auto& [ch, rgb] : pawlane::SHIBA.palette) colours.push_back({rgb.r, rgb.g, rgb.b});
    return colours;
}

TEST_F(DesktopTest, StripSitsOnThePanelAndFollowsPanelAndScreenChanges) {
    const Rect screen = x_->screen();
    ASSERT_EQ(screen.w, 1440);
    ASSERT_EQ(screen.h, 900);
    auto dock = startDock(70);
    writePreferences(R"("petCounts": {"shiba": 1})");
    auto app = startApp();
    ASSERT_TRUE(waitForStrip(*app)) << app->err();

    EXPECT_EQ(waitForStripAt(*app, {0, 900 - 70 - kMediumHeight, 1440, kMediumHeight}),
              (Rect{0, 740, 1440, 90}));

    dock->writeLine("height 100");
    EXPECT_EQ(waitForStripAt(*app, {0, 710, 1440, 90}), (Rect{0, 710, 1440, 90})) << "taller panel";

    dock->stop();
    EXPECT_EQ(waitForStripAt(*app, {0, 810, 1440, 90}), (Rect{0, 810, 1440, 90})) << "no panel: screen edge";

    // A smaller screen, then back, so later tests find the usual one.
    sh("xrandr --newmode 1280x800 0 1280 1280 1280 1280 800 800 800 800 2>/dev/null;"
       "xrandr --addmode screen 1280x800 2>/dev/null; xrandr --output screen --mode 1280x800");
    EXPECT_EQ(waitForStripAt(*app, {0, 710, 1280, 90}), (Rect{0, 710, 1280, 90})) << "smaller screen";
    sh("xrandr --output screen --mode 1440x900");
    EXPECT_EQ(waitForStripAt(*app, {0, 810, 1440, 90}), (Rect{0, 810, 1440, 90})) << "screen restored";
}

TEST_F(DesktopTest, StripIsOnEveryWorkspaceAboveOthersOutOfTaskbarsAndFocus) {
    writePreferences(R"("petCounts": {"shiba": 1})");
    auto app = startApp();
    ASSERT_TRUE(waitForStrip(*app)) << app->err();
    const auto ids = x_->windowIdsOf(app->pid());
    ASSERT_EQ(ids.size(), 1u) << "only the strip is mapped";
    const auto states = x_->atomNames(ids[0], "_NET_WM_STATE");
    for (const char* wanted : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        EXPECT_NE(std::find(states.begin(), states.end(), wanted), states.end()) << wanted;
    EXPECT_EQ(x_->cardinal(ids[0], "_NET_WM_DESKTOP"), std::optional<std::uint32_t>(0xFFFFFFFF)) << "all workspaces";
    EXPECT_FALSE(x_->acceptsFocus(ids[0]));
}

TEST_F(DesktopTest, LargeSizeMakesTheStripTaller) {
    auto dock = startDock(70);
    writePreferences(R"("petCounts": {"shiba": 1}, "sizeIdx": 2)");
    auto app = startApp();
    ASSERT_TRUE(waitForStrip(*app)) << app->err();
    EXPECT_EQ(waitForStripAt(*app, {0, 710, 1440, 120}), (Rect{0, 710, 1440, 120}));
}

TEST_F(DesktopTest, ChoosingLargeInTheMenuGrowsTheStrip) {
    auto backdrop = startBackdrop();
    auto dock = startDock(70);
    writePreferences(R"("petCounts": {"shiba": 1}, "speedIdx": 0)");
    auto app = startApp();
    const auto strip = waitForStrip(*app);
    ASSERT_TRUE(strip) << app->err();
    ASSERT_EQ(waitForStripAt(*app, {0, 740, 1440, 90}), (Rect{0, 740, 1440, 90}));
    sleepMs(500);

    // Right-click the pet (found twice: it walks), then Size (the sixth
    // command) > Large (the third size) from the keyboard.
    ASSERT_TRUE(clickPet(*strip, 3));
    sh("xdotool sleep 0.5 key Down Down Down Down Down Down Right Down Down Return");
    EXPECT_EQ(waitForStripAt(*app, {0, 710, 1440, 120}), (Rect{0, 710, 1440, 120}));
}

TEST_F(DesktopTest, OnlyThePetIsOpaque) {
    auto backdrop = startBackdrop();
    // Fast, so the pet crosses much of the strip while we look.
    writePreferences(R"("petCounts": {"shiba": 1}, "speedIdx": 2)");
    const std::vector<Rgb> shiba = shibaColours();

    // Pixels reach the server through shared memory, or through the socket
    // where it cannot share (QT_XCB_NO_MITSHM plays a remote server).
    for (const char* noSharedMemory : {"", "1"}) {
        SCOPED_TRACE(*noSharedMemory ? "pixels through the socket" : "pixels in shared memory");
        auto app = startApp({}, *noSharedMemory ? "app-socket" : "app", {{"QT_XCB_NO_MITSHM", *noSharedMemory ? noSharedMemory : "\x01unset"}});
        const auto strip = waitForStrip(*app);
        ASSERT_TRUE(strip) << app->err();
        sleepMs(500);

        // Many looks, as the pet moves and changes frames: a black box may only
        // flash while the window's shape changes.
        for (int look = 0; look < 30 && !::testing::Test::HasFailure(); ++look) {
            const Shot shot = x_->grab(*strip);
            const auto box = drawnBox(shot);
            ASSERT_TRUE(box) << "nothing drawn in the strip";
            // One pet and perhaps its emote: at most a sprite (24 x 14 at 3 px) plus headroom.
            EXPECT_LE(box->w, 24 * 3 + 6) << "opaque pixels away from the pet (a black box?)";
            EXPECT_LE(box->h, kMediumHeight);
            int shibaPixels = 0;
            for (const Rgb& p : shot.pixels)
                if (std::find(shiba.begin(), shiba.end(), p) != shiba.end()) ++shibaPixels;
            EXPECT_GT(shibaPixels, 100) << "the shiba's own colours";
            if (::testing::Test::HasFailure()) shot.save(dir_ + "/strip.ppm");
            sleepMs(60);
        }
        app->stop();
    }
}

TEST_F(DesktopTest, EmptyStripPassesClicksAndPetsTakeThem) {
    const SlowShiba run = startSlowShiba();
    ASSERT_TRUE(run.strip) << run.app->err();
    Child* backdrop = run.backdrop.get();
    const Rect* strip = &*run.strip;

    auto locate = [&]() -> std::optional<Rect> { return drawnBox(x_->grab(*strip)); };
    const auto pet = locate();
    ASSERT_TRUE(pet);

    // Empty strip: the click lands on the window below.
    const int emptyX = pet->x < 720 ? 1200 : 200, emptyY = strip->y + 20;
    sh("xdotool mousemove " + std::to_string(emptyX) + " " + std::to_string(emptyY) + " sleep 0.15 click 1");
    EXPECT_TRUE(backdrop->waitForOutput("press " + std::to_string(emptyX) + " " + std::to_string(emptyY), 2000))
        << backdrop->out();

    // On the pet: the strip takes the click and the pet shows a red heart.
    const std::string pressesBefore = backdrop->out();
    ASSERT_TRUE(clickPet(*strip, 1));
    // The heart is red, and may be fading in over the backdrop: a clearly red
    // pixel that is none of the shiba's own colours.
    const std::vector<Rgb> shiba = shibaColours();
    bool heart = false;
    for (int look = 0; look < 10 && !heart; ++look) {
        const Shot shot = x_->grab(*strip);
        for (const Rgb& p : shot.pixels)
            if (p.r - p.g > 50 && p.r - p.b > 50 &&
                std::find(shiba.begin(), shiba.end(), p) == shiba.end())
                heart = true;
        if (!heart) sleepMs(50);
    }
    EXPECT_TRUE(heart) << "no red heart after clicking the pet";
    sleepMs(200);
    EXPECT_EQ(backdrop->out(), pressesBefore) << "the click on the pet went through to the window below";

    // Dragging carries the pet along under the pointer. The pet walks (and may
    // turn) while the pointer gets to it, so an attempt that missed it is
    // tried again; a strip that does not drag fails every time.
    sleepMs(1200);  // let the heart fade and the jump end
    auto centre = [](const Rect& r) { return std::to_string(r.x + r.w / 2) + " " + std::to_string(r.y + r.h / 2); };
    std::optional<Rect> dragged;
    int targetX = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto near = locate();
        ASSERT_TRUE(near);
        sh("xdotool mousemove " + centre(*near) + " sleep 0.15");
        near = locate();
        ASSERT_TRUE(near);
        const int startX = near->x + near->w / 2, y = near->y + near->h / 2;
        targetX = startX < 720 ? startX + 400 : startX - 400;
        sh("xdotool mousemove " + std::to_string(startX) + " " + std::to_string(y) + " sleep 0.1 mousedown 1");
        for (int step = 1; step <= 10; ++step) {
            const int x = startX + (targetX - startX) * step / 10;
            sh("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.03");
        }
        sleepMs(150);
        dragged = locate();
        sh("xdotool mouseup 1");
        if (dragged && std::abs(dragged->x + dragged->w / 2 - targetX) <= 30) break;
        sleepMs(500);
    }
    ASSERT_TRUE(dragged);
    EXPECT_NEAR(dragged->x + dragged->w / 2, targetX, 30) << "the pet did not follow the pointer";
}

TEST_F(DesktopTest, HiddenPetsMapNoStripButTheAppRuns) {
    writePreferences(R"("petCounts": {"shiba": 1}, "petsHidden": true)");
    auto app = startApp();
    sleepMs(2000);
    EXPECT_TRUE(app->running()) << app->err();
    EXPECT_TRUE(x_->windowsOf(app->pid()).empty()) << "a window of the app is mapped";
}

}  // namespace
}  // namespace desktop
