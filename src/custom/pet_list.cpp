#include "custom/pet_list.h"

#include <unordered_map>

namespace pawlane {

std::vector<PetListRow> petListRows(const std::vector<CustomPetDef>& pets) {
    std::vector<PetListRow> rows;
    rows.reserve(pets.size() + 1);
    rows.push_back({"New Pet\u2026", std::nullopt});
    std::unordered_map<std::string, int> seen;
    for (const auto& pet : pets) {
        const int n = ++seen[pet.name];
        std::string title = "\U0001F43E " + pet.name;
        if (n > 1) title += " (" + std::to_string(n) + ")";
        rows.push_back({std::move(title), pet.id});
    }
    return rows;
}

}  // namespace pawlane
