#pragma once
// The icon in the panel's status area and its menu. The same menu also pops
// up at the pointer, for desktops without a status area.
#include <functional>
#include <string>
#include <vector>

#include "menu/menu_tree.h"  // MenuEntry: separators, values, check marks, key equivalents
#include "platform/desktop.h"
#include "sprites/species.h"

namespace pawlane {


class StatusItem {
public:
    virtual ~StatusItem() = default;
    // The silhouette of this species, in a colour that reads on the panel.
    virtual void setIcon(const Species& species) = 0;
    // Replaces the whole menu.
    virtual void setMenu(const Menu& menu) = 0;
    // Opens the menu at a global point.
    virtual void popUpMenu(PointF at) = 0;
};

}  // namespace pawlane
