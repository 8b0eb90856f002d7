#pragma once
// The species the status icon shows, from the pack in the preferences.
#include "settings/settings.h"
#include "sprites/species.h"

namespace pawlane {

Species statusSpecies(const Settings& settings);

}  // namespace pawlane
