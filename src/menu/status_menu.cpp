#include "menu/status_menu.h"

#include <algorithm>

#include "behaviour/world.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "settings/settings.h"
#include "settings/status_species.h"
#include "sprites/catalogue.h"

namespace pawlane {

namespace {

constexpr const char* kPaw = "\U0001F43E";

}  // namespace

MenuEntry StatusMenu::command(std::string title, void (StatusMenu::*fn)()) {
    MenuEntry e;
    e.title = std::move(title);
    e.action = [this, fn] { (this->*fn)(); };
    return e;
}

MenuEntry StatusMenu::pickItem(std::string title, MenuValue value, Pick pick) {
    MenuEntry e;
    e.title = std::move(title);
    e.value = value;
    e.action = [this, pick, value] { (this->*pick)(value); };
    return e;
}

MenuEntry StatusMenu::choiceSubmenu(const char* title, std::initializer_list<const char*> names,
                                    std::string_view key, Pick pick) {
    MenuEntry parent;
    parent.title = title;
    // The raw stored index: an out-of-range value checks nothing.
    const auto stored = d_.settings.d.findInteger(key);
    int i = 0;
    for (const char* name : names) {
        MenuEntry item = pickItem(name, i, pick);
        item.checked = stored && *stored == i;
        parent.submenu.push_back(std::move(item));
        ++i;
    }
    return parent;
}

void StatusMenu::addCountRow(Menu& menu, const std::string& id, const std::string& emoji, const std::string& name) {
    const auto counts = d_.settings.petCounts();
    const auto it = counts.find(id);
    const int count = it == counts.end() ? 0 : it->second;

    MenuEntry row;
    row.title = emoji + " " + name;
    if (count >= 1) row.title += "  \u00B7  " + std::to_string(count);
    row.checked = count >= 1;
    const char* labels[] = {"None", "1", "2", "3"};
    for (int v = 0; v <= 3; ++v) {
        MenuEntry item = pickItem(labels[v], std::map<std::string, int>{{id, v}}, &StatusMenu::pickCount);
        item.checked = v == count;
        row.submenu.push_back(std::move(item));
    }
    menu.push_back(std::move(row));
}

Menu StatusMenu::buildMenu() {
    Settings& s = d_.settings;
    Menu menu;

    MenuEntry animals;
    animals.title = "Animals";
    for (const auto& species : ALL_SPECIES) addCountRow(animals.submenu, species.id, species.emoji, species.name);
    const auto custom = s.customPets();
    if (!custom.empty()) {
        animals.submenu.push_back(MenuEntry::makeSeparator());
        for (const auto& def : custom) addCountRow(animals.submenu, customPetKey(def.id), kPaw, def.name);
    }
    animals.submenu.push_back(MenuEntry::makeSeparator());
    MenuEntry limit;
    limit.title = "Up to " + std::to_string(MAX_PETS) + " pets total";
    limit.enabled = false;
    animals.submenu.push_back(std::move(limit));
    menu.push_back(std::move(animals));

    MenuEntry random;
    random.title = "Random Pack";
    for (int n : RANDOM_PACK_SIZES)
        random.submenu.push_back(pickItem(std::to_string(n) + " Pets", n, &StatusMenu::pickRandomPack));
    random.submenu.push_back(MenuEntry::makeSeparator());
    random.submenu.push_back(command("Shuffle Again", &StatusMenu::shuffleAgain));
    menu.push_back(std::move(random));

    menu.push_back(command("Design My Pet\u2026", &StatusMenu::openDesigner));
    menu.push_back(command("Add Pet from Code\u2026", &StatusMenu::addPetFromCode));

    MenuEntry mode;
    mode.title = "Mode";
    const auto storedMode = s.d.findInteger(keys::modeIdx);
    for (std::size_t i = 0; i < MODES.size(); ++i) {
        MenuEntry item = pickItem(std::string(MODES[i].name), int(i), &StatusMenu::pickMode);
        item.checked = storedMode && *storedMode == std::int64_t(i);
        mode.submenu.push_back(std::move(item));
    }
    menu.push_back(std::move(mode));
    menu.push_back(choiceSubmenu("Size", {"Small", "Medium", "Large"}, keys::sizeIdx, &StatusMenu::pickSize));
    menu.push_back(choiceSubmenu("Speed", {"Slow", "Normal", "Fast"}, keys::speedIdx, &StatusMenu::pickSpeed));
    menu.push_back(choiceSubmenu("Breaks", {"Frequent", "Normal", "Rare"}, keys::restIdx, &StatusMenu::pickRest));

    MenuEntry follow = command("Follow Cursor", &StatusMenu::toggleFollow);
    follow.checked = s.d.boolean(keys::followMouse);
    menu.push_back(std::move(follow));
    menu.push_back(MenuEntry::makeSeparator());

    menu.push_back(command(d_.world.paused ? "Resume" : "Pause", &StatusMenu::togglePause));
    MenuEntry hide = command(s.d.boolean(keys::petsHidden) ? "Show Pets" : "Hide Pets", &StatusMenu::toggleHidden);
    hide.keyEquivalent = 'h';
    menu.push_back(std::move(hide));

    d_.host.appendAccountMenuItems(menu);
    menu.push_back(MenuEntry::makeSeparator());
    if (d_.host.hasUpdater()) {
        MenuEntry update;
        update.title = "Check for Updates\u2026";
        update.action = [this] { d_.host.checkForUpdates(); };
        menu.push_back(std::move(update));
    }
    MenuEntry quit;
    quit.title = "Quit";
    quit.keyEquivalent = 'q';
    quit.action = [this] { d_.host.quit(); };
    menu.push_back(std::move(quit));
    return menu;
}

void StatusMenu::rebuildMenu() { d_.host.installMenu(buildMenu(), statusSpecies(d_.settings)); }

void StatusMenu::pickCount(const MenuValue& value) {
    const auto* entry = std::get_if<std::map<std::string, int>>(&value);
    if (!entry || entry->size() != 1) return;
    d_.settings.setCount(entry->begin()->second, entry->begin()->first);
    d_.world.rebuildPets();
    rebuildMenu();
}

void StatusMenu::pickRandomPack(const MenuValue& value) {
    if (const int* n = std::get_if<int>(&value)) rollRandomPack(*n);
}

void StatusMenu::shuffleAgain() {
    const auto last = d_.settings.d.integer(keys::lastRandomCount);
    rollRandomPack(int(std::clamp<std::int64_t>(last, 1, MAX_PETS)));
}

void StatusMenu::rollRandomPack(int count) {
    Settings& s = d_.settings;
    const int target = std::clamp(count, 1, MAX_PETS);

    std::vector<std::string> pool;
    for (const auto& species : ALL_SPECIES) pool.push_back(species.id);
    for (const auto& def : s.customPets()) pool.push_back(customPetKey(def.id));
    auto pickIndex = [this](std::size_t n) {
        // uniform(0, n) may return n itself at the closed end.
        return std::min(n - 1, std::size_t(d_.random.uniform(0, double(n))));
    };
    for (std::size_t i = pool.size(); i > 1; --i) std::swap(pool[i - 1], pool[pickIndex(i)]);  // Fisher-Yates

    std::map<std::string, std::int64_t> counts;
    const std::size_t first = std::min<std::size_t>(target, pool.size());
    for (std::size_t i = 0; i < first; ++i) counts[pool[i]] = 1;
    int remaining = target - int(counts.size());
    for (int draws = 0; remaining > 0 && draws < 200 && !pool.empty(); ++draws) {
        auto& c = counts[pool[pickIndex(pool.size())]];
        if (c >= 3) continue;
        ++c;
        --remaining;
    }
    s.d.setDictionary(keys::petCounts, PrefDictionary(counts.begin(), counts.end()));
    s.d.setInteger(keys::lastRandomCount, target);

    if (s.d.boolean(keys::petsHidden)) {
        s.d.setBoolean(keys::petsHidden, false);
        d_.host.showStrip();
    }
    d_.world.rebuildPets();
    rebuildMenu();
}

void StatusMenu::openDesigner() { d_.host.openDesigner(); }
void StatusMenu::addPetFromCode() { d_.host.addPetFromCode(); }

void StatusMenu::pickMode(const MenuValue& value) {
    const int* i = std::get_if<int>(&value);
    if (!i) return;
    d_.settings.d.setInteger(keys::modeIdx, *i);
    d_.world.rebuildPets();
    rebuildMenu();
}

void StatusMenu::pickSize(const MenuValue& value) {
    const int* i = std::get_if<int>(&value);
    if (!i) return;
    d_.settings.d.setInteger(keys::sizeIdx, *i);
    d_.world.rebuildPets();
    rebuildMenu();
}

void StatusMenu::pickSpeed(const MenuValue& value) {
    const int* i = std::get_if<int>(&value);
    if (!i) return;
    d_.settings.d.setInteger(keys::speedIdx, *i);
    rebuildMenu();
}

void StatusMenu::pickRest(const MenuValue& value) {
    const int* i = std::get_if<int>(&value);
    if (!i) return;
    d_.settings.d.setInteger(keys::restIdx, *i);
    const double now = d_.clock.now();
    for (auto& pet : d_.world.pets) pet->runRestTimer(now);
    rebuildMenu();
}

void StatusMenu::toggleFollow() {
    d_.settings.d.setBoolean(keys::followMouse, !d_.settings.d.boolean(keys::followMouse));
    rebuildMenu();
}

void StatusMenu::togglePause() {
    d_.world.setPaused(!d_.world.paused);
    rebuildMenu();
}

void StatusMenu::toggleHidden() {
    const bool hidden = !d_.settings.d.boolean(keys::petsHidden);
    d_.settings.d.setBoolean(keys::petsHidden, hidden);
    if (hidden)
        d_.host.hideStrip();
    else
        d_.host.showStrip();
    rebuildMenu();
}

}  // namespace pawlane
