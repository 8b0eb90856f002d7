#pragma once
// The status menu: the pack, random packs, the designer, mode, size, speed,
// breaks, follow, pause, hide, the account section and quit. Every command
// ends by building the menu again.
#include "menu/menu_tree.h"

namespace pawlane {

class World;
class Settings;
class Random;
class Clock;
struct Species;

// What the menu needs of the application around it.
class MenuHost {
public:
    virtual ~MenuHost() = default;
    // Shows the new menu and the status icon of `iconSpecies`.
    virtual void installMenu(const Menu& menu, const Species& iconSpecies) = 0;
    // The strip window: to the front without activating anything, or off the screen.
    virtual void showStrip() = 0;
    virtual void hideStrip() = 0;
    virtual void openDesigner() = 0;
    virtual void addPetFromCode() = 0;
    virtual void quit() = 0;
    // Only builds that carry an update feed offer "Check for Updates…".
    virtual bool hasUpdater() const { return false; }
    virtual void checkForUpdates() {}
    // The signed-in user's section; nothing without a backend.
    virtual void appendAccountMenuItems(Menu&) {}
};

struct StatusMenuDeps {
    Settings& settings;
    World& world;
    Random& random;
    const Clock& clock;
    MenuHost& host;
};

class StatusMenu {
public:
    static constexpr int RANDOM_PACK_SIZES[4] = {2, 3, 5, 8};

    explicit StatusMenu(const StatusMenuDeps& deps) : d_(deps) {}

    // Builds the whole menu from the settings and installs it.
    void rebuildMenu();
    Menu buildMenu();
    void addCountRow(Menu& menu, const std::string& id, const std::string& emoji, const std::string& name);

    void pickCount(const MenuValue& value);
    void pickRandomPack(const MenuValue& value);
    void shuffleAgain();
    void rollRandomPack(int count);
    void openDesigner();
    void addPetFromCode();
    void pickMode(const MenuValue& value);
    void pickSize(const MenuValue& value);
    void pickSpeed(const MenuValue& value);
    void pickRest(const MenuValue& value);
    void toggleFollow();
    void togglePause();
    void toggleHidden();

private:
    using Pick = void (StatusMenu::*)(const MenuValue&);
    MenuEntry choiceSubmenu(const char* title, std::initializer_list<const char*> names, std::string_view key,
                            Pick pick);
    MenuEntry command(std::string title, void (StatusMenu::*fn)());
    MenuEntry pickItem(std::string title, MenuValue value, Pick pick);

    StatusMenuDeps d_;
};

}  // namespace pawlane
