#include "devtools/export.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "platform/canvas.h"
#include "sprites/catalogue.h"
#include "sprites/custom_species.h"
#include "sprites/icons.h"

namespace pawlane {

const std::vector<IconSetEntry> ICON_SET = {
    {"icon_16x16", 16},        {"icon_16x16@2x", 32},   {"icon_32x32", 32},   {"icon_32x32@2x", 64},
    {"icon_128x128", 128},     {"icon_128x128@2x", 256}, {"icon_256x256", 256}, {"icon_256x256@2x", 512},
    {"icon_512x512", 512},     {"icon_512x512@2x", 1024},
};

namespace {

constexpr int kScale = 8;
constexpr double kGrey = 0.93;

void makeDirectories(const std::string& dir) {
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
}

void writeEnlarged(const Image& image, const std::string& path) { writePng(scaledUp(image, kScale, kGrey), path); }

void reportMisalignedRows(const std::vector<Species>& catalogue, std::ostream& out) {
    for (const auto& species : catalogue) {
        int k = 0;
        for (const auto* maps : {&species.runMaps, &species.idleMaps}) {
            for (const auto& map : *maps) {
                const int width = mapWidth(map);
                for (std::size_t row = 0; row < map.size(); ++row)
                    if (int(map[row].size()) != width)
                        out << "\u26A0\uFE0F " << species.id << " frame " << k << " row " << row << ": len "
                            << map[row].size() << " != " << width << '\n';
                ++k;
            }
        }
    }
}

Image overviewSheet(const std::vector<Species>& catalogue) {
    std::vector<Image> firsts;
    for (const auto& s : catalogue) firsts.push_back(renderMap(s.runMaps.front(), s.palette));
    int width = 16, tallest = 0;
    for (const auto& img : firsts) {
        width += kScale * img.width() + 16;
        tallest = std::max(tallest, img.height());
    }
    const int height = kScale * (firsts.empty() ? 16 : tallest) + 32;
    auto canvas = makeCanvas(width, height);
    canvas->fillRect({0, 0, double(width), double(height)}, {kGrey, kGrey, kGrey, 1});
    double x = 16;
    for (const auto& img : firsts) {
        canvas->drawImage(img, {x, 16, double(kScale * img.width()), double(kScale * img.height())});
        x += kScale * img.width() + 16;
    }
    return canvas->image();
}

}  // namespace

void dumpFrames(const std::string& dir, std::ostream& out) { dumpFrames(dir, out, ALL_SPECIES); }

void dumpFrames(const std::string& dir, std::ostream& out, const std::vector<Species>& catalogue) {
    makeDirectories(dir);
    reportMisalignedRows(catalogue, out);

    for (const auto& species : catalogue) {
        const auto run = species.runImages();
        for (std::size_t j = 0; j < run.size(); ++j)
            writeEnlarged(run[j], dir + "/" + species.id + "_run_" + std::to_string(j) + ".png");
        const auto idle = species.idleImages();
        for (std::size_t j = 0; j < idle.size(); ++j)
            writeEnlarged(idle[j], dir + "/" + species.id + "_idle_" + std::to_string(j) + ".png");
    }

    CustomPetDef demo;
    demo.name = "Luna";
    demo.shape = "dog";
    demo.bodyHex = "#F2EFE9";
    demo.accentHex = "#4A3728";
    demo.chestHex = "#FAF8F3";
    demo.eyePatch = true;
    demo.socks = true;
    demo.spots = false;
    demo.chestPatch = true;
    demo.collar = true;
    demo.collarHex = "#D2453A";
    writeEnlarged(speciesFrom(demo).runImages().front(), dir + "/custom_demo.png");

    writeEnlarged(renderMap(BALL_MAP, BALL_PALETTE), dir + "/ball.png");
    writePng(overviewSheet(catalogue), dir + "/all.png");

    out << "frames written to " << dir << std::endl;
}

void makeIcon(const std::string& dir, std::ostream& out) {
    makeDirectories(dir);
    for (const auto& entry : ICON_SET) writePng(iconImage(entry.pixels), dir + "/" + entry.fileName + ".png");
    out << "iconset written to " << dir << std::endl;
}

}  // namespace pawlane
