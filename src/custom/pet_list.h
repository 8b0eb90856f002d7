#pragma once
// The designer's pet chooser: "New Pet…" first, then one row per custom pet.
#include <optional>
#include <string>
#include <vector>

#include "custom/custom_pet_def.h"

namespace pawlane {

struct PetListRow {
    std::string title;
    std::optional<std::string> petId;  // nothing on the "New Pet…" row
    friend bool operator==(const PetListRow&, const PetListRow&) = default;
};

// Same-named pets get " (2)", " (3)"… so every row still leads to its own pet.
std::vector<PetListRow> petListRows(const std::vector<CustomPetDef>& pets);

}  // namespace pawlane
