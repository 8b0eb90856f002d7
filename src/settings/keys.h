#pragma once
// Every preferences key the program uses. Simple keys are read and written directly
// through Settings::d; the JSON-holding ones only through Settings.
#include <string_view>

namespace pawlane::keys {

inline constexpr std::string_view petCounts = "petCounts";          // dictionary text -> integer
inline constexpr std::string_view customPets = "customPets";        // data: JSON array of CustomPetDef
inline constexpr std::string_view sizeIdx = "sizeIdx";              // integer, 1 registered
inline constexpr std::string_view speedIdx = "speedIdx";            // integer, 1 registered
inline constexpr std::string_view restIdx = "restIdx";              // integer, 1 registered
inline constexpr std::string_view modeIdx = "modeIdx";              // integer, 0 registered
inline constexpr std::string_view followMouse = "followMouse";      // boolean, false registered
inline constexpr std::string_view petsHidden = "petsHidden";        // boolean, false registered
inline constexpr std::string_view lastRandomCount = "lastRandomCount";  // integer, 3 registered
inline constexpr std::string_view showFriendPets = "showFriendPets";    // boolean, true when absent
inline constexpr std::string_view friendPetsCache = "friendPetsCache";  // data: JSON array of FriendPetEntry
inline constexpr std::string_view friendsCache = "friendsCache";        // data: JSON array of FriendEntry
inline constexpr std::string_view deletedPetIds = "deletedPetIds";      // array of texts, duplicates allowed
inline constexpr std::string_view greetAwaySeconds = "greetAwaySeconds";          // double, <= 0 means 300
inline constexpr std::string_view greetCooldownSeconds = "greetCooldownSeconds";  // double, <= 0 means 1500
inline constexpr std::string_view species = "species";  // legacy single species, read once by the migration

}  // namespace pawlane::keys
