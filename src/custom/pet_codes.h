#pragma once
// Pet codes: "PAWLANE-" + base64 of a pet's JSON, a line users paste to adopt a copy.
#include <optional>
#include <string>
#include <string_view>

#include "custom/custom_pet_def.h"

namespace pawlane {

inline constexpr std::string_view PET_CODE_PREFIX = "PAWLANE-";

// The text begins with PET_CODE_PREFIX in any letter case.
bool hasPetCodePrefix(std::string_view text);

// Nothing only if the record cannot be encoded as JSON.
std::optional<std::string> petCode(const CustomPetDef& def);
// Reads a pasted code: white space anywhere is dropped, the prefix matches in
// any case but only at the start. The result always carries a fresh id.
std::optional<CustomPetDef> petDef(std::string_view code);

// Standard base64 with padding; decoding is strict (nothing on any stray character).
std::string base64Encode(std::string_view bytes);
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace pawlane
