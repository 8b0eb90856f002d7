#pragma once
// Rows of the cloud tables and procedures, with their exact JSON. UUIDs are
// read in either case and held in upper case. Every named key is required:
// a missing key or a null makes the row undecodable.
#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "custom/custom_pet_def.h"

namespace pawlane {

struct Profile {
    std::string id;
    std::string displayName;
    std::string friendCode;
    friend bool operator==(const Profile&, const Profile&) = default;
};

struct CloudPet {
    std::string id;
    std::string ownerId;
    std::string name;
    std::int64_t schemaVersion = 1;  // any value is accepted when reading
    CustomPetDef design;
    friend bool operator==(const CloudPet&, const CloudPet&) = default;
};

struct FriendshipRow {
    std::string userA;
    std::string userB;
    friend bool operator==(const FriendshipRow&, const FriendshipRow&) = default;
};

struct RedeemRow {
    std::string friendId;
    std::string friendName;
    friend bool operator==(const RedeemRow&, const RedeemRow&) = default;
};

// A pet that failed to decode is kept as nothing, so one bad row can't hide the rest.
struct FailableCloudPet {
    std::optional<CloudPet> value;
};

std::optional<Profile> profileFromJson(const nlohmann::json& j);
std::optional<CloudPet> cloudPetFromJson(const nlohmann::json& j);
std::optional<FriendshipRow> friendshipRowFromJson(const nlohmann::json& j);
std::optional<RedeemRow> redeemRowFromJson(const nlohmann::json& j);
FailableCloudPet failableCloudPetFromJson(const nlohmann::json& j);

// Exactly "id", "name", "design", "owner_id", "schema_version".
nlohmann::json toJson(const CloudPet& pet);

// Arrays: nothing unless `j` is an array whose every element decodes.
std::optional<std::vector<Profile>> profilesFromJson(const nlohmann::json& j);
std::optional<std::vector<FriendshipRow>> friendshipRowsFromJson(const nlohmann::json& j);
std::optional<std::vector<RedeemRow>> redeemRowsFromJson(const nlohmann::json& j);
// Nothing unless `j` is an array; the pets that decode, in order.
std::optional<std::vector<CloudPet>> decodableCloudPets(const nlohmann::json& j);

}  // namespace pawlane
