#include "sprites/icons.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas.h"
#include "sprites/catalogue.h"
#include "sprites/custom_species.h"

namespace pawlane {

Image iconImage(int n) {
    n = std::max(n, 1);
    const double size = n;
    const double d = 0.098 * size;
    const double e = size - 2 * d;
    const double radius = 0.224 * e;
    const RectF tile{d, d, e, e};
    const double bandTop = d + 0.2 * e;

    auto canvas = makeCanvas(n, n);
    canvas->fillRoundedRect(tile, radius, {0.969, 0.91, 0.804, 1});
    canvas->save();
    canvas->clipRoundedRect(tile, radius);
    canvas->fillRect({0, 0, size, bandTop}, {0.918, 0.839, 0.694, 1});
    canvas->restore();

    const Image sprite = renderMap(SHIBA.idleMaps[0], SHIBA.palette);
    double k = 0.78 * e / 24.0;
    if (k >= 1) k = std::floor(k);
    canvas->drawImage(sprite, {(size - 24 * k) / 2, bandTop - 0.012 * size, 24 * k, 14 * k});
    return canvas->image();
}

Species statusSpecies(const std::map<std::string, int>& counts, const std::vector<CustomPetDef>& customPets) {
    auto countOf = [&](const std::string& id) {
        auto it = counts.find(id);
        return it == counts.end() ? 0 : it->second;
    };
    const Species* best = nullptr;
    int bestCount = 0;
    for (const auto& s : ALL_SPECIES) {
        const int c = countOf(s.id);
        if (c > bestCount) best = &s, bestCount = c;
    }
    const CustomPetDef* bestCustom = nullptr;
    for (const auto& def : customPets) {
        const int c = countOf("custom:" + def.id);
        if (c > bestCount) bestCustom = &def, bestCount = c;
    }
    if (bestCustom) return speciesFrom(*bestCustom);
    return best ? *best : SHIBA;
}

MenuBarIconGeometry menuBarIconGeometry(const Species& species) {
    MenuBarIconGeometry g;
    const PixelMap& frame = species.idleMaps.empty() ? species.runMaps.front() : species.idleMaps.front();
    g.columns = frame.empty() ? 1 : std::max(mapWidth(frame), 1);
    g.rows = int(frame.size());
    g.p = std::min(26.0 / g.columns, g.rows > 0 ? 17.0 / g.rows : 26.0 / g.columns);
    g.width = g.columns * g.p;
    g.offset = (17.0 - g.p * g.rows) / 2.0;
    return g;
}

Image menuBarIcon(const Species& species, double deviceScale, Rgb colour) {
    const MenuBarIconGeometry g = menuBarIconGeometry(species);
    const double s = deviceScale > 0 ? deviceScale : 1;
    auto canvas = makeCanvas(int(std::ceil(g.width * s - 1e-9)), int(std::ceil(g.height * s - 1e-9)));
    const PixelMap& frame = species.idleMaps.empty() ? species.runMaps.front() : species.idleMaps.front();
    std::vector<RectF> squares;
    for (int i = 0; i < g.rows; ++i)
        for (int j = 0; j < int(frame[i].size()); ++j)
            if (species.palette.count(frame[i][j]))
                squares.push_back({g.p * j * s, (g.offset + g.p * (g.rows - 1 - i)) * s, g.p * s, g.p * s});
    canvas->fillRects(squares, {colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 1});
    return canvas->image();
}

}  // namespace pawlane
