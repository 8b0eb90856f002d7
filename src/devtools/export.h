#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include "sprites/species.h"

namespace pawlane {

// Every frame enlarged 8x as PNG, a custom demo, the ball and an overview
// sheet; malformed maps are reported on `out`. Failures never stop it.
void dumpFrames(const std::string& dir, std::ostream& out);
void dumpFrames(const std::string& dir, std::ostream& out, const std::vector<Species>& catalogue);

// The application icon in the ten sizes of an icon set.
void makeIcon(const std::string& dir, std::ostream& out);

struct IconSetEntry {
    const char* fileName;
    int pixels;
};
extern const std::vector<IconSetEntry> ICON_SET;

}  // namespace pawlane
