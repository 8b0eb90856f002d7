#include "settings/friend_entries.h"

#include <nlohmann/json.hpp>

#include <cctype>

namespace pawlane {

namespace {

bool takeString(const nlohmann::json& j, const char* key, std::string& field) {
    auto it = j.find(key);
    if (it == j.end() || !it->is_string()) return false;
    field = it->get<std::string>();
    return true;
}

bool takeUuid(const nlohmann::json& j, const char* key, std::string& field) {
    std::string text;
    if (!takeString(j, key, text)) return false;
    auto canonical = canonicalUuid(text);
    if (!canonical) return false;
    field = std::move(*canonical);
    return true;
}

std::string uuidForWriting(const std::string& id) { return canonicalUuid(id).value_or(id); }

template <class T>
std::optional<std::string> encodeList(const std::vector<T>& entries) {
    nlohmann::json array = nlohmann::json::array();
    for (const auto& e : entries) array.push_back(toJson(e));
    try {
        return array.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;  // text that is not UTF-8
    }
}

template <class T, class Decode>
std::optional<std::vector<T>> decodeList(std::string_view text, Decode decode) {
    const auto j = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (!j.is_array()) return std::nullopt;
    std::vector<T> out;
    out.reserve(j.size());
    for (const auto& element : j) {
        auto e = decode(element);
        if (!e) return std::nullopt;
        out.push_back(std::move(*e));
    }
    return out;
}

}  // namespace

std::optional<std::string> canonicalUuid(std::string_view text) {
    if (!isUuidText(text)) return std::nullopt;
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

nlohmann::json toJson(const FriendEntry& e) {
    return nlohmann::json{{"id", uuidForWriting(e.id)}, {"name", e.name}};
}

nlohmann::json toJson(const FriendPetEntry& e) {
    return nlohmann::json{{"petName", e.petName},
                          {"ownerName", e.ownerName},
                          {"ownerId", uuidForWriting(e.ownerId)},
                          {"def", toJson(e.def)}};
}

std::optional<FriendEntry> friendEntryFromJson(const nlohmann::json& j) {
    if (!j.is_object()) return std::nullopt;
    FriendEntry e;
    if (!takeUuid(j, "id", e.id) || !takeString(j, "name", e.name)) return std::nullopt;
    return e;
}

std::optional<FriendPetEntry> friendPetEntryFromJson(const nlohmann::json& j) {
    if (!j.is_object()) return std::nullopt;
    FriendPetEntry e;
    if (!takeString(j, "petName", e.petName) || !takeString(j, "ownerName", e.ownerName) ||
        !takeUuid(j, "ownerId", e.ownerId))
        return std::nullopt;
    auto def = j.find("def");
    if (def == j.end()) return std::nullopt;
    auto decoded = customPetDefFromJson(*def);
    if (!decoded) return std::nullopt;
    e.def = std::move(*decoded);
    return e;
}

std::optional<std::string> encodeJson(const std::vector<FriendEntry>& entries) { return encodeList(entries); }
std::optional<std::string> encodeJson(const std::vector<FriendPetEntry>& entries) {
    return encodeList(entries);
}

std::optional<std::vector<FriendEntry>> decodeFriendList(std::string_view text) {
    return decodeList<FriendEntry>(text, [](const nlohmann::json& j) { return friendEntryFromJson(j); });
}

std::optional<std::vector<FriendPetEntry>> decodeFriendPetList(std::string_view text) {
    return decodeList<FriendPetEntry>(text,
                                      [](const nlohmann::json& j) { return friendPetEntryFromJson(j); });
}

}  // namespace pawlane

namespace {
void mixHash(std::size_t& seed, std::size_t h) { seed ^= h + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); }
}  // namespace

std::size_t std::hash<pawlane::FriendEntry>::operator()(const pawlane::FriendEntry& e) const noexcept {
    std::size_t seed = std::hash<std::string>{}(e.id);
    mixHash(seed, std::hash<std::string>{}(e.name));
    return seed;
}

std::size_t std::hash<pawlane::FriendPetEntry>::operator()(const pawlane::FriendPetEntry& e) const noexcept {
    std::size_t seed = std::hash<std::string>{}(e.petName);
    mixHash(seed, std::hash<std::string>{}(e.ownerName));
    mixHash(seed, std::hash<std::string>{}(e.ownerId));
    mixHash(seed, std::hash<pawlane::CustomPetDef>{}(e.def));
    return seed;
}
