#include <gtest/gtest.h>

#include "behaviour/world.h"
#include "menu/status_menu.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/manual_main_queue.h"
#include "platform/headless/memory_preferences_store.h"
#include "platform/headless/recording_log.h"
#include "platform/headless/scripted_random.h"
#include "settings/settings.h"
#include "sprites/catalogue.h"

using namespace pawlane;

namespace {

struct FakeHost final : MenuHost {
    Menu menu;
    std::string iconId;
    int installs = 0, shows = 0, hides = 0, designer = 0, imports = 0, quits = 0;
    bool updater = false;
    void installMenu(const Menu& m, const Species& icon) override {
        menu = m;
        iconId = icon.id;
        ++installs;
    }
    void showStrip() override { ++shows; }
    void hideStrip() override { ++hides; }
    void openDesigner() override { ++designer; }
    void addPetFromCode() override { ++imports; }
    void quit() override { ++quits; }
    bool hasUpdater() const override { return updater; }
};

struct MenuFixture : ::testing::Test {
    MemoryPreferencesStore store;
    Settings settings{store};
    ManualClock clock;
    ScriptedRandom random;
    ManualMainQueue queue{clock};
    FakeDesktop desktop;
    RecordingLog log;
    RecordingTrace trace;
    NoSocial social;
    World world{{settings, clock, random, queue, desktop, desktop, log, trace, social}};
    FakeHost host;
    StatusMenu menu{{settings, world, random, clock, host}};

    const MenuEntry& top(const std::string& title) {
        const MenuEntry* e = findEntry(host.menu, title);
        EXPECT_TRUE(e) << title;
        return *e;
    }
    const MenuEntry& sub(const std::string& parent, const std::string& title) {
        const MenuEntry* e = findEntry(top(parent).submenu, title);
        EXPECT_TRUE(e) << parent << " > " << title;
        return *e;
    }
    std::vector<std::string> checkedIn(const std::string& parent) {
        std::vector<std::string> out;
        for (const auto& e : top(parent).submenu)
            if (e.checked) out.push_back(e.title);
        return out;
    }
    void choose(const MenuEntry& e) {
        ASSERT_TRUE(e.action) << e.title;
        auto action = e.action;  // the menu is replaced while the action runs
        action();
    }
    std::vector<std::string> titles(const Menu& m) {
        std::vector<std::string> out;
        for (const auto& e : m) out.push_back(e.separator ? "---" : e.title);
        return out;
    }
};

}  // namespace

TEST_F(MenuFixture, FreshSettingsShowTheDefaultPack) {
    menu.rebuildMenu();
    EXPECT_EQ(titles(host.menu),
              (std::vector<std::string>{"Animals", "Random Pack", "Design My Pet\u2026", "Add Pet from Code\u2026",
                                        "Mode", "Size", "Speed", "Breaks", "Follow Cursor", "---", "Pause",
                                        "Hide Pets", "---", "Quit"}));
    const Menu& animals = top("Animals").submenu;
    ASSERT_EQ(animals.size(), ALL_SPECIES.size() + 2);  // no custom pets: no extra separator
    EXPECT_EQ(animals[0].title, "\U0001F436 Shiba  \u00B7  1");
    EXPECT_TRUE(animals[0].checked);
    for (std::size_t i = 1; i < ALL_SPECIES.size(); ++i) {
        EXPECT_EQ(animals[i].title, ALL_SPECIES[i].emoji + " " + ALL_SPECIES[i].name);
        EXPECT_FALSE(animals[i].checked);
    }
    EXPECT_TRUE(animals[13].separator);
    EXPECT_EQ(animals[14].title, "Up to 10 pets total");
    EXPECT_FALSE(animals[14].enabled);
    EXPECT_EQ(checkedIn("Mode"), std::vector<std::string>{"Playful"});
    EXPECT_EQ(checkedIn("Size"), std::vector<std::string>{"Medium"});
    EXPECT_EQ(checkedIn("Speed"), std::vector<std::string>{"Normal"});
    EXPECT_EQ(checkedIn("Breaks"), std::vector<std::string>{"Normal"});
    EXPECT_FALSE(top("Follow Cursor").checked);
    EXPECT_EQ(top("Hide Pets").keyEquivalent, 'h');
    EXPECT_EQ(top("Quit").keyEquivalent, 'q');
    EXPECT_EQ(titles(top("Random Pack").submenu),
              (std::vector<std::string>{"2 Pets", "3 Pets", "5 Pets", "8 Pets", "---", "Shuffle Again"}));
    EXPECT_EQ(host.iconId, "shiba");
}

TEST_F(MenuFixture, CheckMarksFollowRawStoredValues) {
    store.setInteger(keys::modeIdx, 99);
    store.setInteger(keys::sizeIdx, -1);
    store.setDictionary(keys::petCounts, {{"shiba", 0}, {"cat", 5}});
    CustomPetDef rex;
    rex.name = "Rex";
    settings.saveCustomPet(rex);  // joins with count 1
    host.updater = true;
    menu.rebuildMenu();

    EXPECT_TRUE(checkedIn("Mode").empty());
    EXPECT_TRUE(&settings.mode() == &MODES.back().params);
    EXPECT_TRUE(checkedIn("Size").empty());
    const MenuEntry& cat = sub("Animals", "\U0001F431 Cat  \u00B7  5");
    EXPECT_TRUE(cat.checked);
    for (const auto& choice : cat.submenu) EXPECT_FALSE(choice.checked) << choice.title;
    const Menu& animals = top("Animals").submenu;
    EXPECT_TRUE(animals[13].separator);
    EXPECT_EQ(animals[14].title, "\U0001F43E Rex  \u00B7  1");
    EXPECT_TRUE(animals[15].separator);
    EXPECT_TRUE(findEntry(host.menu, "Check for Updates\u2026"));
    EXPECT_EQ(host.iconId, "cat");
}

TEST_F(MenuFixture, PickCountClampsToThePackLimit) {
    store.setDictionary(keys::petCounts, {{"shiba", 9}});
    menu.rebuildMenu();
    choose(sub("Animals", "\U0001F415 Corgi").submenu[3]);  // "3"
    EXPECT_EQ(settings.petCounts().at("corgi"), 1);
    EXPECT_EQ(world.pets.size(), 10u);
    EXPECT_EQ(sub("Animals", "\U0001F415 Corgi  \u00B7  1").submenu[1].checked, true);

    choose(sub("Animals", "\U0001F436 Shiba  \u00B7  9").submenu[0]);  // "None"
    EXPECT_EQ(settings.petCounts().at("shiba"), 0);
    EXPECT_EQ(world.pets.size(), 1u);
}

TEST_F(MenuFixture, RandomPackAndShuffleAgain) {
    CustomPetDef rex;
    settings.saveCustomPet(rex);
    store.setBoolean(keys::petsHidden, true);
    menu.rebuildMenu();
    random.setFallback(0.37);
    choose(sub("Random Pack", "8 Pets"));
    auto counts = settings.petCounts();
    EXPECT_EQ(counts.size(), 8u);
    for (const auto& [id, n] : counts) EXPECT_EQ(n, 1) << id;
    EXPECT_EQ(store.integer(keys::lastRandomCount), 8);
    EXPECT_FALSE(store.boolean(keys::petsHidden));
    EXPECT_EQ(host.shows, 1);
    EXPECT_EQ(world.pets.size(), 8u);

    random.setFallback(0.81);
    choose(sub("Random Pack", "Shuffle Again"));
    const auto again = settings.petCounts();
    EXPECT_EQ(again.size(), 8u);
    EXPECT_NE(again, counts);
    EXPECT_EQ(host.shows, 1);  // was not hidden this time

    store.setInteger(keys::lastRandomCount, 0);
    menu.shuffleAgain();
    EXPECT_EQ(settings.totalPets(), 1);
}

TEST_F(MenuFixture, SpeedKeepsThePetsSizeAndModeRebuildThem) {
    menu.rebuildMenu();
    world.rebuildPets();
    std::weak_ptr<Pet> before = world.pets.front();
    choose(sub("Speed", "Fast"));
    EXPECT_EQ(store.integer(keys::speedIdx), 2);
    EXPECT_FALSE(before.expired());
    choose(sub("Size", "Large"));
    EXPECT_EQ(store.integer(keys::sizeIdx), 2);
    EXPECT_TRUE(before.expired());
    EXPECT_EQ(world.pets.front()->scale, 4);
    before = world.pets.front();
    choose(sub("Mode", "Calm"));
    EXPECT_TRUE(before.expired());
    EXPECT_EQ(store.integer(keys::modeIdx), 1);
}

TEST_F(MenuFixture, PickRestDrawsANewRestTimeForEveryPet) {
    store.setDictionary(keys::petCounts, {{"shiba", 2}});
    world.rebuildPets();
    menu.rebuildMenu();
    clock.advance(100);
    random.clearScript();
    random.pushUniform(6);
    random.pushUniform(15);
    choose(sub("Breaks", "Rare"));
    EXPECT_DOUBLE_EQ(world.pets[0]->nextRestAt, clock.now() + 6 * 2.5);
    EXPECT_DOUBLE_EQ(world.pets[1]->nextRestAt, clock.now() + 15 * 2.5);
}

TEST_F(MenuFixture, PauseHideAndFollowToggle) {
    world.rebuildPets();
    menu.rebuildMenu();
    world.pets[0]->state = Pet::State::petted();
    choose(top("Pause"));
    EXPECT_TRUE(world.paused);
    EXPECT_TRUE(world.pets[0]->state.is(Pet::State::Kind::Running));
    choose(top("Resume"));
    EXPECT_FALSE(world.paused);

    choose(top("Hide Pets"));
    EXPECT_TRUE(store.boolean(keys::petsHidden));
    EXPECT_EQ(host.hides, 1);
    choose(top("Show Pets"));
    EXPECT_FALSE(store.boolean(keys::petsHidden));
    EXPECT_EQ(host.shows, 1);

    choose(top("Follow Cursor"));
    EXPECT_TRUE(top("Follow Cursor").checked);
    choose(top("Design My Pet\u2026"));
    choose(top("Add Pet from Code\u2026"));
    choose(top("Quit"));
    EXPECT_EQ(host.designer + host.imports + host.quits, 3);
}

TEST_F(MenuFixture, CommandsIgnoreValuesOfTheWrongKind) {
    menu.rebuildMenu();
    const int installs = host.installs;
    menu.pickCount(3);
    menu.pickCount(std::map<std::string, int>{{"a", 1}, {"b", 2}});
    menu.pickMode(std::monostate{});
    menu.pickRandomPack(std::map<std::string, int>{{"cat", 1}});
    EXPECT_EQ(host.installs, installs);
    EXPECT_EQ(settings.petCounts(), (std::map<std::string, int>{{"shiba", 1}}));
}
