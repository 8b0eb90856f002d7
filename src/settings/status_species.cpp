#include "settings/status_species.h"

#include "sprites/icons.h"

namespace pawlane {

Species statusSpecies(const Settings& settings) {
    return statusSpecies(settings.petCounts(), settings.customPets());
}

}  // namespace pawlane
