#include "sprites/species.h"

namespace pawlane {

int Species::pixelW() const {
    if (runMaps.empty() || runMaps.front().empty()) return 1;
    return mapWidth(runMaps.front());
}

std::vector<Image> Species::runImages() const {
    std::vector<Image> out;
    out.reserve(runMaps.size());
    for (const auto& m : runMaps) out.push_back(renderMap(m, palette));
    return out;
}

std::vector<Image> Species::idleImages() const {
    std::vector<Image> out;
    out.reserve(idleMaps.size());
    for (const auto& m : idleMaps) out.push_back(renderMap(m, palette));
    return out;
}

}  // namespace pawlane
