// The built-in art. Every frame is a body map with a leg map appended below;
// the sprites face right (head at the right end).
#include "sprites/catalogue.h"

#include <algorithm>

namespace pawlane {

const PixelMap DOG_BODY = {
    "........................",
    "..................dd....",
    "..d...............ddd...",
    "..dd.............bbbbbb.",
    "...dd............bbbkbb.",
    "....dbbbbbbbbbbbbbbbbbbk",
    ".....bbbbbbbbbbbbbbwwww.",
    ".....bbbbbbbbbbbbbww....",
    ".....bbbbbbbbbbbbw......",
    ".....bbbbbbbbbbb........",
};

const PixelMap QUAD_LEGS_TOGETHER = {
    "......bb.....bb.........",
    "......bb.....bb.........",
    "......bb.....bb.........",
    "......dd.....dd.........",
};
const PixelMap QUAD_LEGS_SEMI = {
    "......bb.....bb.........",
    ".....bb.......bb........",
    "....bb..........bb......",
    "....dd..........dd......",
};
const PixelMap QUAD_LEGS_APART = {
    "......bb......bb........",
    "....bb..........bb......",
    "...bb.............bb....",
    "..dd...............dd...",
};

const Patch DOG_TAIL_WAG = {{{2, 2}, {2, 3}, {3, 3}}, {{2, 4, 'd'}, {3, 5, 'd'}}};
const Patch CAT_TAIL_WAG = {{{1, 2}, {1, 3}}, {{0, 2, 'd'}, {0, 3, 'd'}}};

const PixelMap HUSKY_BODY = patched(DOG_BODY, {}, {{19, 3, 'w'}, {20, 3, 'w'}, {21, 3, 'w'}, {20, 4, 'e'}});
const PixelMap DALMATIAN_BODY =
    patched(DOG_BODY, {}, {{7, 5, 's'}, {11, 6, 's'}, {9, 8, 's'}, {14, 8, 's'}, {12, 5, 's'}, {16, 6, 's'}});
const PixelMap LAB_BODY = patched(DOG_BODY, {}, {{20, 4, 'e'}});

namespace {
std::vector<PixelSet> whiteBelly() {
    std::vector<PixelSet> set;
    for (int x = 6; x <= 16; ++x) set.push_back({x, 8, 'w'});
    for (int x = 6; x <= 15; ++x) set.push_back({x, 9, 'w'});
    return set;
}
}  // namespace

const PixelMap CORGI_BODY = patched(DOG_BODY, {}, whiteBelly());

const PixelMap CORGI_LEGS_TOGETHER = {
    "......bb.....bb.........",
    "......dd.....dd.........",
};
const PixelMap CORGI_LEGS_SEMI = {
    ".....bb.......bb........",
    ".....dd.......dd........",
};
const PixelMap CORGI_LEGS_APART = {
    "....bb.........bb.......",
    "...dd...........dd......",
};

const PixelMap CAT_BODY = {
    "........................",
    "..................d..d..",
    ".d................dd.dd.",
    ".d...............bbbbbb.",
    ".dd..............bbbkbb.",
    "..ddbbbbbbbbbbbbbbbbbbbp",
    ".....bbbbbbbbbbbbbbwwww.",
    ".....bbbbbbbbbbbbbww....",
    ".....bbbbbbbbbbbb.......",
};

const PixelMap FOX_BODY = {
    "........................",
    "..................dd....",
    ".ww...............ddd...",
    ".wwd.............bbbbbb.",
    "..ddd............bbbkbb.",
    "...ddbbbbbbbbbbbbbbbbbbk",
    ".....bbbbbbbbbbbbbbwwww.",
    ".....bbbbbbbbbbbbbww....",
    ".....bbbbbbbbbbbbw......",
    ".....bbbbbbbbbbb........",
};

const PixelMap RABBIT_BODY = {
    ".........d..d.......",
    ".........dd.dd......",
    "..........dd.dd.....",
    "............bbbbbb..",
    "............bbbkbb..",
    "....bbbbbbbbbbbbbbk.",
    ".wwbbbbbbbbbbbbbww..",
    ".wwbbbbbbbbbbbbbb...",
    "..bbbbbbbbbbbbbb....",
    "..bbbbbbbbbbbbb.....",
};
const PixelMap RABBIT_LEGS_GROUND = {
    "..bbb......bb.......",
    "..bbb......bb.......",
    "..ddd......dd.......",
};
const PixelMap RABBIT_LEGS_AIR = {
    ".bbb........bb......",
    "bbb..........bb.....",
    "dd............dd....",
};

const PixelMap PENGUIN_BODY = {
    "....bbbb......",
    "...bbbbbb.....",
    "...bbbwbboo...",
    "...bbbbbb.....",
    "..bbbwwwbb....",
    "..bbwwwwwbb...",
    ".bbbwwwwwbb...",
    ".bbbwwwwwbb...",
    ".bbbwwwwwbb...",
    "..bbwwwwwbb...",
    "..bbbwwwbb....",
    "...bbbbbb.....",
};
namespace {
const PixelMap PENGUIN_FEET_A = {"...oo...oo...."};
const PixelMap PENGUIN_FEET_B = {"..oo.....oo..."};
}  // namespace

const PixelMap CHICKEN_BODY = {
    ".........rr.....",
    "........rrr.....",
    "........wwww....",
    "........wwkwoo..",
    "........wwwwr...",
    ".dd....wwwwww...",
    ".ddd..wwwwwww...",
    "..ddwwwwwwwww...",
    "....wwwwwwwww...",
    ".....wwwwwww....",
    "......wwwww.....",
};
const PixelMap CHICKEN_LEGS_A = {
    ".......o...o....",
    "......oo..oo....",
};
const PixelMap CHICKEN_LEGS_B = {
    "......o.....o...",
    ".....oo....oo...",
};

const PixelMap DINO_BODY = {
    "............bbbbbb..",
    "............bbbkbb..",
    "............bbbbbb..",
    "............bbbb....",
    "............bbb.....",
    ".b..........bbb.....",
    ".bb........bbbb.....",
    ".bbb......bbbbb.....",
    "..bbbbbbbbbbbbb.....",
    "...bbbbbbbbbbbbb....",
    "....bbbbbbbbbbb.....",
    "....bbbbbbbbbb......",
};
const PixelMap DINO_LEGS_A = {
    ".....bb....bb.......",
    ".....bb....bb.......",
    ".....bb....bb.......",
    ".....dd....dd.......",
};
const PixelMap DINO_LEGS_B = {
    ".....bb....bb.......",
    "....bb......bb......",
    "...bb........bb.....",
    "...dd........dd.....",
};

const PixelMap TURTLE_BODY = {
    "......dddddd..........",
    "....ddbbbbbbdd........",
    "...ddbbbbbbbbdd.......",
    "...dbbbbbbbbbbd.......",
    "...ddddddddddddd.ggk..",
    "..g.............gggg..",
};
const PixelMap TURTLE_LEGS_A = {
    "....gg......gg........",
    "....gg......gg........",
};
const PixelMap TURTLE_LEGS_B = {
    "...gg......gg.........",
    ".....gg......gg.......",
};

const PixelMap BALL_MAP = {
    ".yy.",
    "ygyy",
    "yygy",
    ".yy.",
};
const Palette BALL_PALETTE = {{'y', {198, 224, 78}}, {'g', {160, 196, 54}}};

namespace {

struct Shape {
    PixelMap body;
    std::vector<PixelMap> runLegs;  // in play order
    PixelMap standLegs;
    Patch idle;
};

struct Traits {
    const char* id;
    const char* name;
    const char* emoji;
    const char* family;
    double frameTime;
    double speedFactor;
    bool hopper;
    std::vector<double> runBob;
};

Species make(const Traits& t, const Palette& palette, const Shape& shape) {
    Species s;
    s.id = t.id;
    s.name = t.name;
    s.emoji = t.emoji;
    s.palette = palette;
    for (const auto& legs : shape.runLegs) s.runMaps.push_back(stacked(shape.body, legs));
    s.runBob = t.runBob;
    s.idleMaps = {stacked(shape.body, shape.standLegs), stacked(patched(shape.body, shape.idle), shape.standLegs)};
    s.frameTime = t.frameTime;
    s.speedFactor = t.speedFactor;
    s.hopper = t.hopper;
    s.family = t.family;
    return s;
}

Shape quadruped(const PixelMap& body, const Patch& idle) {
    return {body, {QUAD_LEGS_APART, QUAD_LEGS_SEMI, QUAD_LEGS_TOGETHER, QUAD_LEGS_SEMI}, QUAD_LEGS_TOGETHER, idle};
}

Shape twoStep(const PixelMap& body, const PixelMap& a, const PixelMap& b, const Patch& idle) {
    return {body, {a, b}, a, idle};
}

const std::vector<double> kQuadBob = {3, 1, 0, 1};

}  // namespace

const Species SHIBA = make({"shiba", "Shiba", "\U0001F436", "dog", 0.09, 1.0, false, kQuadBob},
                           {{'b', {224, 152, 74}}, {'d', {146, 90, 42}}, {'k', {44, 34, 26}}, {'w', {246, 238, 219}}},
                           quadruped(DOG_BODY, DOG_TAIL_WAG));
const Species CORGI = make({"corgi", "Corgi", "\U0001F415", "dog", 0.08, 0.9, false, {2, 1, 0, 1}},
                           {{'b', {238, 152, 70}}, {'d', {168, 100, 44}}, {'k', {44, 34, 26}}, {'w', {250, 247, 240}}},
                           {CORGI_BODY,
                            {CORGI_LEGS_APART, CORGI_LEGS_SEMI, CORGI_LEGS_TOGETHER, CORGI_LEGS_SEMI},
                            CORGI_LEGS_TOGETHER,
                            DOG_TAIL_WAG});
const Species GOLDEN =
    make({"golden", "Golden Retriever", "\U0001F9AE", "dog", 0.09, 0.95, false, kQuadBob},
         {{'b', {228, 182, 100}}, {'d', {196, 148, 72}}, {'k', {44, 34, 26}}, {'w', {246, 238, 215}}},
         quadruped(DOG_BODY, DOG_TAIL_WAG));
const Species HUSKY = make({"husky", "Husky", "\U0001F43A", "dog", 0.09, 1.1, false, kQuadBob},
                           {{'b', {150, 155, 165}},
                            {'d', {92, 96, 106}},
                            {'k', {40, 40, 46}},
                            {'w', {245, 246, 248}},
                            {'e', {120, 170, 220}}},
                           quadruped(HUSKY_BODY, DOG_TAIL_WAG));
const Species DALMATIAN = make({"dalmatian", "Dalmatian", "\U0001F43E", "dog", 0.09, 1.05, false, kQuadBob},
                               {{'b', {240, 238, 234}},
                                {'d', {52, 50, 48}},
                                {'k', {36, 34, 32}},
                                {'w', {250, 249, 246}},
                                {'s', {58, 56, 54}}},
                               quadruped(DALMATIAN_BODY, DOG_TAIL_WAG));
const Species BLACK_LAB = make({"lab", "Black Lab", "\U0001F415\u200D\U0001F9BA", "dog", 0.09, 1.0, false, kQuadBob},
                               {{'b', {66, 58, 54}},
                                {'d', {44, 38, 35}},
                                {'k', {24, 20, 18}},
                                {'w', {126, 112, 102}},
                                {'e', {216, 210, 200}}},
                               quadruped(LAB_BODY, DOG_TAIL_WAG));
const Species CAT = make({"cat", "Cat", "\U0001F431", "cat", 0.09, 1.05, false, kQuadBob},
                         {{'b', {150, 152, 160}},
                          {'d', {95, 96, 105}},
                          {'k', {35, 35, 40}},
                          {'w', {240, 240, 238}},
                          {'p', {235, 130, 145}}},
                         quadruped(CAT_BODY, CAT_TAIL_WAG));
const Species FOX = make({"fox", "Fox", "\U0001F98A", "other", 0.08, 1.15, false, kQuadBob},
                         {{'b', {232, 120, 48}}, {'d', {150, 66, 22}}, {'k', {40, 30, 26}}, {'w', {248, 242, 230}}},
                         quadruped(FOX_BODY, {{{1, 2}, {2, 2}}, {{1, 5, 'w'}, {2, 5, 'd'}}}));
const Species RABBIT =
    make({"rabbit", "Rabbit", "\U0001F430", "other", 0.1, 1.1, true, {0, 0}},
         {{'b', {215, 205, 195}}, {'d', {160, 148, 138}}, {'k', {40, 36, 34}}, {'w', {250, 248, 245}}},
         twoStep(RABBIT_BODY, RABBIT_LEGS_GROUND, RABBIT_LEGS_AIR, {{{9, 0}, {9, 1}}, {{8, 0, 'd'}, {8, 1, 'd'}}}));
const Species PENGUIN = make({"penguin", "Penguin", "\U0001F427", "other", 0.16, 0.55, false, {0, 1}},
                             {{'b', {42, 46, 58}}, {'w', {246, 247, 250}}, {'o', {238, 150, 42}}},
                             twoStep(PENGUIN_BODY, PENGUIN_FEET_A, PENGUIN_FEET_B, {{}, {{6, 2, 'b'}}}));
const Species CHICKEN = make({"chicken", "Chicken", "\U0001F414", "other", 0.12, 0.7, false, {0, 1}},
                             {{'w', {246, 243, 235}},
                              {'r', {222, 64, 52}},
                              {'o', {236, 162, 50}},
                              {'k', {40, 36, 32}},
                              {'d', {185, 178, 168}}},
                             twoStep(CHICKEN_BODY, CHICKEN_LEGS_A, CHICKEN_LEGS_B, {{{1, 5}}, {{0, 5, 'd'}}}));
const Species DINO = make({"dino", "Dino", "\U0001F996", "other", 0.12, 0.9, false, {0, 1}},
                          {{'b', {88, 158, 68}}, {'d', {58, 112, 48}}, {'k', {30, 40, 28}}},
                          twoStep(DINO_BODY, DINO_LEGS_A, DINO_LEGS_B, {{}, {{15, 1, 'b'}}}));
const Species TURTLE = make({"turtle", "Turtle", "\U0001F422", "other", 0.3, 0.35, false, {0, 0}},
                            {{'d', {78, 120, 66}}, {'b', {112, 158, 88}}, {'g', {176, 196, 110}}, {'k', {36, 42, 30}}},
                            twoStep(TURTLE_BODY, TURTLE_LEGS_A, TURTLE_LEGS_B, {{}, {{19, 4, 'g'}}}));

const std::vector<Species> ALL_SPECIES = {SHIBA, CORGI,   GOLDEN,  HUSKY, DALMATIAN, BLACK_LAB, CAT,
                                          FOX,   RABBIT,  PENGUIN, CHICKEN, DINO,    TURTLE};

const Species* builtInSpecies(const std::string& id) {
    for (const auto& s : ALL_SPECIES)
        if (s.id == id) return &s;
    return nullptr;
}

int tallestRunFrameRows() {
    if (ALL_SPECIES.empty()) return 16;
    std::size_t rows = 0;
    for (const auto& s : ALL_SPECIES) rows = std::max(rows, s.runMaps.front().size());
    return int(rows);
}

}  // namespace pawlane
