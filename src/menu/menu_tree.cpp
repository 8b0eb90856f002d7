#include "menu/menu_tree.h"

namespace pawlane {

const MenuEntry* findEntry(const Menu& menu, const std::string& title) {
    for (const auto& e : menu)
        if (!e.separator && e.title == title) return &e;
    return nullptr;
}

}  // namespace pawlane
