#pragma once
// The built-in art: shared maps, the thirteen species in menu order, the ball.
#include <vector>

#include "sprites/species.h"

namespace pawlane {

extern const PixelMap DOG_BODY, QUAD_LEGS_TOGETHER, QUAD_LEGS_SEMI, QUAD_LEGS_APART;
extern const PixelMap HUSKY_BODY, DALMATIAN_BODY, LAB_BODY, CORGI_BODY;
extern const PixelMap CORGI_LEGS_TOGETHER, CORGI_LEGS_SEMI, CORGI_LEGS_APART;
extern const PixelMap CAT_BODY, FOX_BODY;
extern const PixelMap RABBIT_BODY, RABBIT_LEGS_GROUND, RABBIT_LEGS_AIR;
extern const PixelMap PENGUIN_BODY, CHICKEN_BODY, CHICKEN_LEGS_A, CHICKEN_LEGS_B;
extern const PixelMap DINO_BODY, DINO_LEGS_A, DINO_LEGS_B;
extern const PixelMap TURTLE_BODY, TURTLE_LEGS_A, TURTLE_LEGS_B;
extern const PixelMap BALL_MAP;
extern const Palette BALL_PALETTE;

extern const Patch DOG_TAIL_WAG, CAT_TAIL_WAG;

extern const Species SHIBA, CORGI, GOLDEN, HUSKY, DALMATIAN, BLACK_LAB, CAT, FOX, RABBIT, PENGUIN,
    CHICKEN, DINO, TURTLE;

// The built-in species in menu order (the corgi is second).
extern const std::vector<Species> ALL_SPECIES;

// A built-in species by id, or nullptr.
const Species* builtInSpecies(const std::string& id);

// The most rows of any built-in first run frame (16 if there were none).
int tallestRunFrameRows();

}  // namespace pawlane
