#pragma once
// Pixel art as text: a map is rows of palette characters, row 0 on top; a
// palette names the colour of each character. Characters without a colour
// (conventionally ".") are transparent.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/image.h"

namespace pawlane {

using PixelMap = std::vector<std::string>;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::map<char, Rgb>;

struct PixelClear {
    int x, y;
};
struct PixelSet {
    int x, y;
    char c;
};

// A derivation of one map from another: pixels made "." then pixels written.
struct Patch {
    std::vector<PixelClear> clear;
    std::vector<PixelSet> set;
};

// Width of a map: its longest row.
int mapWidth(const PixelMap& map);

Image renderMap(const PixelMap& map, const Palette& palette);
PixelMap patched(const PixelMap& map, const std::vector<PixelClear>& clear, const std::vector<PixelSet>& set);
inline PixelMap patched(const PixelMap& map, const Patch& patch) { return patched(map, patch.clear, patch.set); }
// Rows of `top` followed by the rows of `bottom`.
PixelMap stacked(const PixelMap& top, const PixelMap& bottom);

// Colour text to RGB; never fails (unreadable text is black).
Rgb rgbFromHex(std::string_view text);
// "#RRGGBB" of an sRGB colour, components truncated (not rounded) and clamped.
std::string hexFrom(const ColorF& srgb);

// k times larger, nearest neighbour, over an opaque grey of level g (0...1).
Image scaledUp(const Image& image, int k, double g);

}  // namespace pawlane
