// The status menu and the designer, reached the way a user without a tray does:
// a right-click on a pet.
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "desktop_fixture.h"

namespace desktop {
namespace {

// Where to keep pictures for the docs: PAWLANE_SHOTS, else the test's own folder.
std::string shotPath(const std::string& dir, const std::string& name) {
    const char* keep = std::getenv("PAWLANE_SHOTS");
    return (keep && *keep ? std::string(keep) : dir) + "/" + name;
}

nlohmann::json preferences(const std::string& dir) {
    std::ifstream in(dir + "/config/pawlane/preferences.json");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    auto j = nlohmann::json::parse(text, nullptr, false);
    return j.is_object() ? j : nlohmann::json::object();
}

class MenuTest : public DesktopTest {
protected:
    // Right-clicks the (slow) pet; the app's windows other than the strip afterwards.
    std::optional<Rect> openMenuOnPet(Child& app, const Rect& strip) {
        if (!clickPet(strip, 3)) return std::nullopt;
        for (int waited = 0; waited < 3000; waited += 50) {
            for (const Rect& r : x_->windowsOf(app.pid()))
                if (!(r == strip)) return r;
            sleepMs(50);
        }
        return std::nullopt;
    }
};

TEST_F(MenuTest, RightClickOnAPetOpensTheMenuAndHidePetsHidesTheStrip) {
    const SlowShiba run = startSlowShiba();
    ASSERT_TRUE(run.strip) << run.app->err();
    Child* app = run.app.get();
    const Rect* strip = &*run.strip;

    const auto menu = openMenuOnPet(*app, *strip);
    ASSERT_TRUE(menu) << "no menu opened on the pet";
    sleepMs(200);
    const Shot shot = x_->grab(*menu);
    shot.save(shotPath(dir_, "menu.ppm"));
    EXPECT_GE(menu->h, 200) << "a menu of the whole command list";
    int backdropPixels = 0;
    for (const Rgb& p : shot.pixels) backdropPixels += p == BACKDROP;
    EXPECT_LT(backdropPixels, int(shot.pixels.size()) / 10) << "the menu is drawn";

    // "Hide Pets" is the eleventh command: Animals, Random Pack, Design My Pet…,
    // Add Pet from Code…, Mode, Size, Speed, Breaks, Follow Cursor, Pause, Hide Pets.
    sh("xdotool key Down Down Down Down Down Down Down Down Down Down Down Return");
    bool unmapped = false;
    for (int waited = 0; waited < 3000 && !unmapped; waited += 50) {
        unmapped = x_->windowsOf(app->pid()).empty();
        if (!unmapped) sleepMs(50);
    }
    EXPECT_TRUE(unmapped) << "the strip is still mapped";
    EXPECT_EQ(preferences(dir_).value("petsHidden", false), true);
    EXPECT_TRUE(app->running());
}

TEST_F(MenuTest, DesignerFromTheMenuSavesAPetThatRunsOnTheStrip) {
    const SlowShiba run = startSlowShiba();
    ASSERT_TRUE(run.strip) << run.app->err();
    Child* app = run.app.get();
    const Rect* strip = &*run.strip;

    ASSERT_TRUE(openMenuOnPet(*app, *strip));
    sh("xdotool key Down Down Down Return");  // "Design My Pet…"
    std::optional<Rect> designer;
    for (int waited = 0; waited < 4000 && !designer; waited += 50) {
        for (const Rect& r : x_->windowsOf(app->pid()))
            if (r.w == 360 && r.h == 520) designer = r;
        if (!designer) sleepMs(50);
    }
    ASSERT_TRUE(designer) << "no designer window";
    sleepMs(300);
    x_->grab(*designer).save(shotPath(dir_, "designer.ppm"));

    // Focus starts on the pet chooser: two tabs reach "Base:", Down picks "Corgi".
    sh("xdotool key Tab Tab Down");
    // The next tab reaches the body well; Space opens the colour dialog, whose
    // first basic colour is taken with a click and confirmed with Return.
    sh("xdotool key Tab space");
    std::optional<Rect> dialog;
    for (int waited = 0; waited < 3000 && !dialog; waited += 50) {
        for (const Rect& r : x_->windowsOf(app->pid()))
            if (!(r == *strip) && !(r == *designer)) dialog = r;
        if (!dialog) sleepMs(50);
    }
    ASSERT_TRUE(dialog) << "no colour dialog";
    sleepMs(300);
    sh("xdotool mousemove " + std::to_string(dialog->x + 22) + " " + std::to_string(dialog->y + 36) +
       " sleep 0.1 click 1 sleep 0.2 key Return");
    sleepMs(500);
    sh("xdotool key Return");  // Save Pet

    nlohmann::json saved;
    for (int waited = 0; waited < 3000; waited += 100) {
        saved = preferences(dir_);
        if (saved.contains("customPets")) break;
        sleepMs(100);
    }
    ASSERT_TRUE(saved.contains("customPets")) << saved.dump();
    const auto pets = saved["customPets"].contains("$json") ? saved["customPets"]["$json"] : saved["customPets"];
    ASSERT_TRUE(pets.is_array() && pets.size() == 1) << saved.dump();
    EXPECT_EQ(pets[0].value("shape", ""), "corgi");
    EXPECT_NE(pets[0].value("bodyHex", ""), "#E09A4A") << "the body colour was not changed";
    EXPECT_EQ(saved["petCounts"].value("custom:" + pets[0].value("id", ""), 0), 1);

    // The new pet runs on the strip: its collar colour shows there.
    bool collar = false;
    for (int look = 0; look < 20 && !collar; ++look) {
        for (const Rgb& p : x_->grab(*strip).pixels) collar = collar || p == Rgb{0xD2, 0x45, 0x3A};
        if (!collar) sleepMs(100);
    }
    EXPECT_TRUE(collar) << "the designed pet is not on the strip";
}

}  // namespace
}  // namespace desktop
