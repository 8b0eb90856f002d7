#pragma once
// The friend data cached from the backend, and their stored JSON form.
// UUIDs are held and written in upper-case 8-4-4-4-12 form, so entries built from
// lower-case server text compare equal to cached ones once canonicalised.
#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <vector>

#include "custom/custom_pet_def.h"

namespace pawlane {

struct FriendEntry {
    std::string id;    // UUID of the friend
    std::string name;  // display name, or "Friend"
    friend bool operator==(const FriendEntry&, const FriendEntry&) = default;
};

struct FriendPetEntry {
    std::string petName;
    std::string ownerName;
    std::string ownerId;  // UUID
    CustomPetDef def;
    friend bool operator==(const FriendPetEntry&, const FriendPetEntry&) = default;
};

// Upper-case form of a UUID text; nothing when it is not one.
std::optional<std::string> canonicalUuid(std::string_view text);

nlohmann::json toJson(const FriendEntry& e);
nlohmann::json toJson(const FriendPetEntry& e);
// Strict: every key present with its type and a UUID that parses; nothing otherwise.
std::optional<FriendEntry> friendEntryFromJson(const nlohmann::json& j);
std::optional<FriendPetEntry> friendPetEntryFromJson(const nlohmann::json& j);

// Compact JSON arrays; nothing if they cannot be encoded.
std::optional<std::string> encodeJson(const std::vector<FriendEntry>& entries);
std::optional<std::string> encodeJson(const std::vector<FriendPetEntry>& entries);
// Nothing unless the text is a JSON array whose every element decodes.
std::optional<std::vector<FriendEntry>> decodeFriendList(std::string_view jsonText);
std::optional<std::vector<FriendPetEntry>> decodeFriendPetList(std::string_view jsonText);

}  // namespace pawlane

template <>
struct std::hash<pawlane::FriendEntry> {
    std::size_t operator()(const pawlane::FriendEntry& e) const noexcept;
};
template <>
struct std::hash<pawlane::FriendPetEntry> {
    std::size_t operator()(const pawlane::FriendPetEntry& e) const noexcept;
};
