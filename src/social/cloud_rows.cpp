#include "social/cloud_rows.h"

#include <nlohmann/json.hpp>

#include "custom/uuid.h"
#include "social/uuid_text.h"

namespace pawlane {

namespace {

using Json = nlohmann::json;

bool text(const Json& j, const char* key, std::string& out) {
    auto it = j.find(key);
    if (it == j.end() || !it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

bool uuid(const Json& j, const char* key, std::string& out) {
    std::string raw;
    if (!text(j, key, raw) || !isUuidText(raw)) return false;
    out = upperUuid(raw);
    return true;
}

template <class Row>
std::optional<std::vector<Row>> allOrNothing(const Json& j, std::optional<Row> (*decode)(const Json&)) {
    if (!j.is_array()) return std::nullopt;
    std::vector<Row> rows;
    rows.reserve(j.size());
    for (const auto& element : j) {
        auto row = decode(element);
        if (!row) return std::nullopt;
        rows.push_back(std::move(*row));
    }
    return rows;
}

}  // namespace

std::optional<Profile> profileFromJson(const Json& j) {
    Profile p;
    if (!j.is_object() || !uuid(j, "id", p.id) || !text(j, "display_name", p.displayName) ||
        !text(j, "friend_code", p.friendCode))
        return std::nullopt;
    return p;
}

std::optional<CloudPet> cloudPetFromJson(const Json& j) {
    CloudPet pet;
    if (!j.is_object() || !uuid(j, "id", pet.id) || !uuid(j, "owner_id", pet.ownerId) || !text(j, "name", pet.name))
        return std::nullopt;
    auto version = j.find("schema_version");
    if (version == j.end() || !version->is_number_integer()) return std::nullopt;
    if (version->is_number_unsigned() && version->get<std::uint64_t>() > INT64_MAX) return std::nullopt;
    pet.schemaVersion = version->get<std::int64_t>();
    auto design = j.find("design");
    if (design == j.end()) return std::nullopt;
    auto def = customPetDefFromJson(*design);
    if (!def) return std::nullopt;
    pet.design = std::move(*def);
    return pet;
}

std::optional<FriendshipRow> friendshipRowFromJson(const Json& j) {
    FriendshipRow row;
    if (!j.is_object() || !uuid(j, "user_a", row.userA) || !uuid(j, "user_b", row.userB)) return std::nullopt;
    return row;
}

std::optional<RedeemRow> redeemRowFromJson(const Json& j) {
    RedeemRow row;
    if (!j.is_object() || !uuid(j, "friend_id", row.friendId) || !text(j, "friend_name", row.friendName))
        return std::nullopt;
    return row;
}

FailableCloudPet failableCloudPetFromJson(const Json& j) { return {cloudPetFromJson(j)}; }

Json toJson(const CloudPet& pet) {
    return Json{{"id", upperUuid(pet.id)},
                {"name", pet.name},
                {"design", toJson(pet.design)},
                {"owner_id", upperUuid(pet.ownerId)},
                {"schema_version", pet.schemaVersion}};
}

std::optional<std::vector<Profile>> profilesFromJson(const Json& j) { return allOrNothing(j, &profileFromJson); }

std::optional<std::vector<FriendshipRow>> friendshipRowsFromJson(const Json& j) {
    return allOrNothing(j, &friendshipRowFromJson);
}

std::optional<std::vector<RedeemRow>> redeemRowsFromJson(const Json& j) { return allOrNothing(j, &redeemRowFromJson); }

std::optional<std::vector<CloudPet>> decodableCloudPets(const Json& j) {
    if (!j.is_array()) return std::nullopt;
    std::vector<CloudPet> pets;
    for (const auto& element : j)
        if (auto wrapped = failableCloudPetFromJson(element); wrapped.value) pets.push_back(std::move(*wrapped.value));
    return pets;
}

}  // namespace pawlane
