#pragma once
// The cloud id of a custom pet: a name-based UUID (SHA-256, version 5 bits) of
// "<OWNER UUID>:<LOCAL ID>" with both upper-cased, so every computer of the
// owner derives the same id, whatever the case of the local id.
#include <string>
#include <string_view>

namespace pawlane {

// Upper-case 36-character UUID text.
std::string cloudPetId(std::string_view localId, std::string_view owner);

// Full Unicode upper-casing independent of the user's locale (ß becomes SS).
// Bytes that are not UTF-8 pass through unchanged.
std::string unicodeUpper(std::string_view text);

}  // namespace pawlane
