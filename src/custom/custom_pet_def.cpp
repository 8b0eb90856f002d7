#include "custom/custom_pet_def.h"

#include <nlohmann/json.hpp>

namespace pawlane {

namespace {

void takeString(const nlohmann::json& j, const char* key, std::string& field) {
    auto it = j.find(key);
    if (it != j.end() && it->is_string()) field = it->get<std::string>();
}

void takeBool(const nlohmann::json& j, const char* key, bool& field) {
    auto it = j.find(key);
    if (it != j.end() && it->is_boolean()) field = it->get<bool>();
}

std::optional<std::string> dumpStrict(const nlohmann::json& j) {
    try {
        return j.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

}  // namespace

nlohmann::json toJson(const CustomPetDef& d) {
    return nlohmann::json{{"id", d.id},
                          {"name", d.name},
                          {"shape", d.shape},
                          {"bodyHex", d.bodyHex},
                          {"accentHex", d.accentHex},
                          {"chestHex", d.chestHex},
                          {"eyePatch", d.eyePatch},
                          {"socks", d.socks},
                          {"spots", d.spots},
                          {"chestPatch", d.chestPatch},
                          {"collar", d.collar},
                          {"collarHex", d.collarHex}};
}

std::optional<CustomPetDef> customPetDefFromJson(const nlohmann::json& j) {
    if (!j.is_object()) return std::nullopt;
    CustomPetDef d;
    takeString(j, "id", d.id);
    takeString(j, "name", d.name);
    takeString(j, "shape", d.shape);
    takeString(j, "bodyHex", d.bodyHex);
    takeString(j, "accentHex", d.accentHex);
    takeString(j, "chestHex", d.chestHex);
    takeBool(j, "eyePatch", d.eyePatch);
    takeBool(j, "socks", d.socks);
    takeBool(j, "spots", d.spots);
    takeBool(j, "chestPatch", d.chestPatch);
    takeBool(j, "collar", d.collar);
    takeString(j, "collarHex", d.collarHex);
    return d;
}

std::optional<std::string> encodeJson(const CustomPetDef& def) { return dumpStrict(toJson(def)); }

std::optional<std::string> encodeJson(const std::vector<CustomPetDef>& defs) {
    nlohmann::json array = nlohmann::json::array();
    for (const auto& d : defs) array.push_back(toJson(d));
    return dumpStrict(array);
}

std::optional<std::vector<CustomPetDef>> decodeCustomPetList(std::string_view text) {
    const auto j = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (!j.is_array()) return std::nullopt;
    std::vector<CustomPetDef> out;
    out.reserve(j.size());
    for (const auto& element : j) {
        auto def = customPetDefFromJson(element);
        if (!def) return std::nullopt;
        out.push_back(std::move(*def));
    }
    return out;
}

}  // namespace pawlane

std::size_t std::hash<pawlane::CustomPetDef>::operator()(const pawlane::CustomPetDef& d) const noexcept {
    std::size_t h = 0;
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    const std::hash<std::string> hs;
    const std::hash<bool> hb;
    mix(hs(d.id));
    mix(hs(d.name));
    mix(hs(d.shape));
    mix(hs(d.bodyHex));
    mix(hs(d.accentHex));
    mix(hs(d.chestHex));
    mix(hb(d.eyePatch));
    mix(hb(d.socks));
    mix(hb(d.spots));
    mix(hb(d.chestPatch));
    mix(hb(d.collar));
    mix(hs(d.collarHex));
    return h;
}
