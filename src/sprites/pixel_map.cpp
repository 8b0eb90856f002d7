#include "sprites/pixel_map.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace pawlane {

int mapWidth(const PixelMap& map) {
    std::size_t w = 0;
    for (const auto& row : map) w = std::max(w, row.size());
    return int(w);
}

Image renderMap(const PixelMap& map, const Palette& palette) {
    const int height = int(map.size());
    const int width = mapWidth(map);
    // An empty map still yields a drawable (1 x 1, transparent) image.
    if (width == 0 || height == 0) return Image(1, 1, std::vector<std::uint8_t>(4, 0));
    std::vector<std::uint8_t> bytes(std::size_t(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        const std::string& row = map[y];
        for (int x = 0; x < int(row.size()); ++x) {
            auto it = palette.find(row[x]);
            if (it == palette.end()) continue;
            std::uint8_t* p = bytes.data() + (std::size_t(y) * width + x) * 4;
            p[0] = it->second.r;
            p[1] = it->second.g;
            p[2] = it->second.b;
            p[3] = 255;
        }
    }
    return Image(width, height, std::move(bytes));
}

PixelMap patched(const PixelMap& map, const std::vector<PixelClear>& clear, const std::vector<PixelSet>& set) {
    PixelMap out = map;
    auto inGrid = [&](int x, int y) { return y >= 0 && y < int(out.size()) && x >= 0 && x < int(out[y].size()); };
    for (const auto& c : clear)
        if (inGrid(c.x, c.y)) out[c.y][c.x] = '.';
    for (const auto& s : set)
        if (inGrid(s.x, s.y)) out[s.y][s.x] = s.c;
    return out;
}

PixelMap stacked(const PixelMap& top, const PixelMap& bottom) {
    PixelMap out = top;
    out.insert(out.end(), bottom.begin(), bottom.end());
    return out;
}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Leading white space skipped, optional 0x, hex digits up to the first other
// character; overflow saturates.
std::uint64_t scanHex(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        ++i;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') && i + 2 < s.size() &&
        hexDigit(s[i + 2]) >= 0)
        i += 2;
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < s.size(); ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0) break;
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) overflow = true;
        value = (value << 4) | std::uint64_t(d);
    }
    return overflow ? std::numeric_limits<std::uint64_t>::max() : value;
}

}  // namespace

Rgb rgbFromHex(std::string_view text) {
    auto strippable = [](char c) { return c == '#' || c == ' '; };
    while (!text.empty() && strippable(text.front())) text.remove_prefix(1);
    while (!text.empty() && strippable(text.back())) text.remove_suffix(1);
    std::string s(text);
    if (s.size() == 3) s = {s[0], s[0], s[1], s[1], s[2], s[2]};
    const std::uint64_t v = scanHex(s);
    return {std::uint8_t((v >> 16) & 0xFF), std::uint8_t((v >> 8) & 0xFF), std::uint8_t(v & 0xFF)};
}

std::string hexFrom(const ColorF& c) {
    auto channel = [](double v) {
        if (!(v > 0)) return 0;  // also catches NaN
        return std::min(255, int(v * 255.0));
    };
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", channel(c.r), channel(c.g), channel(c.b));
    return buf;
}

Image scaledUp(const Image& image, int k, double g) {
    k = std::max(k, 1);
    auto canvas = makeCanvas(image.width() * k, image.height() * k);
    canvas->fillRect({0, 0, double(canvas->width()), double(canvas->height())}, {g, g, g, 1});
    canvas->drawImage(image, {0, 0, double(canvas->width()), double(canvas->height())});
    return canvas->image();
}

}  // namespace pawlane
