#include "sprites/custom_species.h"

#include "sprites/catalogue.h"

namespace pawlane {

const std::vector<PixelSet> EYE_PATCH_PIXELS = {{19, 3, 'd'}, {20, 3, 'd'}, {21, 3, 'd'},
                                                {19, 4, 'd'}, {21, 4, 'd'}, {20, 5, 'd'}};
const std::vector<PixelSet> SPOT_PIXELS = {{7, 5, 's'}, {11, 6, 's'}, {9, 8, 's'}, {14, 8, 's'}, {12, 5, 's'}};
const std::vector<PixelSet> COLLAR_PIXELS = {{16, 5, 'c'}, {16, 6, 'c'}, {16, 7, 'c'}};

namespace {

std::vector<PixelSet> chestPixels(int firstRow, int firstLastX, int secondLastX) {
    std::vector<PixelSet> set;
    for (int x = 6; x <= firstLastX; ++x) set.push_back({x, firstRow, 'w'});
    for (int x = 6; x <= secondLastX; ++x) set.push_back({x, firstRow + 1, 'w'});
    return set;
}

struct ShapeRow {
    const PixelMap& body;
    const PixelMap& apart;
    const PixelMap& semi;
    const PixelMap& together;
    std::vector<double> runBob;
    const Patch& idle;
    const char* family;
    std::vector<PixelSet> chest;
};

ShapeRow shapeRow(const std::string& shape) {
    if (shape == "cat")
        return {CAT_BODY, QUAD_LEGS_APART, QUAD_LEGS_SEMI, QUAD_LEGS_TOGETHER, {3, 1, 0, 1}, CAT_TAIL_WAG, "cat",
                chestPixels(7, 15, 14)};
    if (shape == "corgi")
        return {DOG_BODY, CORGI_LEGS_APART, CORGI_LEGS_SEMI, CORGI_LEGS_TOGETHER, {2, 1, 0, 1}, DOG_TAIL_WAG, "dog",
                chestPixels(8, 16, 15)};
    return {DOG_BODY, QUAD_LEGS_APART, QUAD_LEGS_SEMI, QUAD_LEGS_TOGETHER, {3, 1, 0, 1}, DOG_TAIL_WAG, "dog",
            chestPixels(8, 16, 15)};
}

}  // namespace

PixelMap whitenLowerLegs(const PixelMap& legs, bool isShort) {
    PixelMap out = legs;
    for (std::size_t row = isShort ? 1 : 2; row < out.size(); ++row)
        for (char& c : out[row])
            if (c == 'b' || c == 'd') c = 'w';
    return out;
}

Species speciesFrom(const CustomPetDef& def) {
    const ShapeRow row = shapeRow(def.shape);
    const bool isCorgi = def.shape == "corgi";

    PixelMap body = row.body;
    if (def.eyePatch) body = patched(body, {}, EYE_PATCH_PIXELS);
    if (def.spots) body = patched(body, {}, SPOT_PIXELS);
    if (def.chestPatch) body = patched(body, {}, row.chest);
    if (def.collar) body = patched(body, {}, COLLAR_PIXELS);

    auto legs = [&](const PixelMap& m) { return def.socks ? whitenLowerLegs(m, isCorgi) : m; };
    const PixelMap apart = legs(row.apart), semi = legs(row.semi), together = legs(row.together);

    Species s;
    s.id = "custom:" + def.id;
    s.name = def.name.empty() ? "My Pet" : def.name;
    s.emoji = "\U0001F43E";
    const Rgb accent = rgbFromHex(def.accentHex);
    s.palette = {{'b', rgbFromHex(def.bodyHex)},  {'d', accent},       {'s', accent},
                 {'w', rgbFromHex(def.chestHex)}, {'c', rgbFromHex(def.collarHex)},
                 {'k', {40, 34, 28}},             {'p', {235, 130, 145}}};
    s.runMaps = {stacked(body, apart), stacked(body, semi), stacked(body, together), stacked(body, semi)};
    s.runBob = row.runBob;
    s.idleMaps = {stacked(body, together), stacked(patched(body, row.idle), together)};
    s.frameTime = 0.09;
    s.speedFactor = 1.0;
    s.hopper = false;
    s.family = row.family;
    return s;
}

}  // namespace pawlane
