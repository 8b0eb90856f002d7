#include <gtest/gtest.h>

#include "sprites/catalogue.h"
#include "sprites/custom_species.h"

using namespace pawlane;

namespace {

CustomPetDef plain(const std::string& shape) {
    CustomPetDef d;
    d.shape = shape;
    d.collar = false;
    return d;
}

int count(const PixelMap& map, char c) {
    int n = 0;
    for (const auto& row : map)
        for (char ch : row) n += ch == c;
    return n;
}

}  // namespace

TEST(SpeciesFrom, ShapesWithoutTheirOwnBodyAreDogs) {
    for (const char* shape : {"Cat", "wolf", "", "dog", "dragon"}) {
        SCOPED_TRACE(shape);
        const Species s = speciesFrom(plain(shape));
        EXPECT_EQ(s.family, "dog");
        EXPECT_EQ(s.runMaps, SHIBA.runMaps);
        EXPECT_EQ(s.idleMaps, SHIBA.idleMaps);
        EXPECT_EQ(s.runBob, (std::vector<double>{3, 1, 0, 1}));
    }
    const Species cat = speciesFrom(plain("cat"));
    EXPECT_EQ(cat.family, "cat");
    EXPECT_EQ(cat.runMaps, CAT.runMaps);
    EXPECT_EQ(cat.idleMaps, CAT.idleMaps);
    const Species corgi = speciesFrom(plain("corgi"));
    EXPECT_EQ(corgi.runMaps[2], stacked(DOG_BODY, CORGI_LEGS_TOGETHER));  // plain body, no belly
    EXPECT_EQ(corgi.runBob, (std::vector<double>{2, 1, 0, 1}));
}

TEST(SpeciesFrom, SocksWhitenOnlyThePaws) {
    EXPECT_EQ(whitenLowerLegs(CORGI_LEGS_APART, true), (PixelMap{"....bb.........bb.......", "...ww...........ww......"}));
    EXPECT_EQ(whitenLowerLegs(QUAD_LEGS_SEMI, false),
              (PixelMap{"......bb.....bb.........", ".....bb.......bb........", "....ww..........ww......",
                        "....ww..........ww......"}));
    CustomPetDef d = plain("corgi");
    d.socks = true;
    const Species s = speciesFrom(d);
    // Body rows untouched, the corgi's first leg row still coat-coloured.
    EXPECT_EQ(s.runMaps[0][10], CORGI_LEGS_APART[0]);
    EXPECT_EQ(s.runMaps[0][11], "...ww...........ww......");
}

TEST(SpeciesFrom, MarkingsPaintTheBodyInOrder) {
    CustomPetDef d;  // dog, collar on by default
    d.eyePatch = d.socks = d.chestPatch = true;
    d.bodyHex = "#F2EFE9";
    d.accentHex = "#4A3728";
    d.chestHex = "#FAF8F3";
    const Species s = speciesFrom(d);
    const PixelMap& first = s.runMaps[0];
    ASSERT_EQ(first.size(), 14u);
    EXPECT_EQ(first[3].substr(19, 3), "ddd");
    EXPECT_EQ(first[4][19], 'd');
    EXPECT_EQ(first[4][20], 'k');  // the eye itself stays
    EXPECT_EQ(first[5][20], 'd');
    // Collar after the chest patch: (16,5..7) are "c".
    EXPECT_EQ(first[5][16], 'c');
    EXPECT_EQ(first[7][16], 'c');
    EXPECT_EQ(first[8], ".....bwwwwwwwwwwww......");
    EXPECT_EQ(first[12], "...ww.............ww....");

    CustomPetDef cat = plain("cat");
    cat.chestPatch = cat.spots = true;
    const Species c = speciesFrom(cat);
    EXPECT_EQ(count(c.idleMaps[0], 'w'), count(CAT.idleMaps[0], 'w') + 19);
    EXPECT_EQ(c.idleMaps[0][5][7], 's');
    EXPECT_EQ(c.idleMaps[0][8][9], 'w');  // the chest patch comes after the spots
}

TEST(SpeciesFrom, ColoursNamesAndIds) {
    CustomPetDef d;
    d.id = "abc";
    d.name = "";
    d.bodyHex = d.accentHex = d.chestHex = d.collarHex = "nonsense";
    const Species s = speciesFrom(d);
    EXPECT_EQ(s.id, "custom:abc");
    EXPECT_EQ(s.name, "My Pet");
    for (char c : {'b', 'd', 's', 'w', 'c'}) EXPECT_EQ(s.palette.at(c), (Rgb{0, 0, 0})) << c;
    EXPECT_EQ(s.palette.at('k'), (Rgb{40, 34, 28}));
    EXPECT_EQ(s.palette.at('p'), (Rgb{235, 130, 145}));
    EXPECT_EQ(s.emoji, "\U0001F43E");

    d.name = "   ";
    EXPECT_EQ(speciesFrom(d).name, "   ");
    CustomPetDef other = d;
    other.id = "xyz";
    EXPECT_EQ(speciesFrom(other).runMaps, s.runMaps);
}
