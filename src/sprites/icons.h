#pragma once
// The application icon (a Shiba on a cream tile) and the status-area silhouette.
#include <map>
#include <string>
#include <vector>

#include "custom/custom_pet_def.h"
#include "sprites/species.h"

namespace pawlane {

// An n x n icon, transparent outside its rounded tile.
Image iconImage(int n);

// The species the status icon shows: the most numerous in the pack, the
// earliest on a tie (built-ins in menu order, then custom pets); the Shiba
// when nothing has a count.
Species statusSpecies(const std::map<std::string, int>& counts, const std::vector<CustomPetDef>& customPets);

// Silhouette geometry in points: pixel size p, w x 17 points, bands of `offset` above and below.
struct MenuBarIconGeometry {
    int columns = 1;
    int rows = 0;
    double p = 0;
    double width = 0;
    double height = 17;
    double offset = 0;
};
MenuBarIconGeometry menuBarIconGeometry(const Species& species);

// The silhouette of idle frame 0 rendered at `deviceScale` pixels per point in one colour.
Image menuBarIcon(const Species& species, double deviceScale, Rgb colour);

}  // namespace pawlane
