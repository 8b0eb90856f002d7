#pragma once
// A menu as plain data: built whole on every change, rendered by the platform.
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace pawlane {

// What an item stands for: nothing, an index, or one pack entry {id: count}.
using MenuValue = std::variant<std::monostate, int, std::map<std::string, int>>;

struct MenuEntry {
    bool separator = false;
    std::string title;
    std::function<void()> action;  // empty: the item only opens its submenu or shows text
    MenuValue value;
    bool checked = false;
    bool enabled = true;
    char keyEquivalent = 0;  // with the platform's command modifier (Ctrl here)
    std::vector<MenuEntry> submenu;

    static MenuEntry makeSeparator() {
        MenuEntry e;
        e.separator = true;
        return e;
    }
};

using Menu = std::vector<MenuEntry>;

// The first entry titled `title` (tests and lookups), or nullptr.
const MenuEntry* findEntry(const Menu& menu, const std::string& title);

}  // namespace pawlane
