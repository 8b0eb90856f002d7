#pragma once
// A user-designed pet. Its JSON form is read tolerantly: missing, null or
// wrongly typed fields take their defaults, unknown keys are ignored.
#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <vector>

#include "custom/uuid.h"

namespace pawlane {

struct CustomPetDef {
    std::string id = newUuid();
    std::string name = "Buddy";
    std::string shape = "dog";
    std::string bodyHex = "#E09A4A";
    std::string accentHex = "#925A2A";
    std::string chestHex = "#F6EEDB";
    bool eyePatch = false;
    bool socks = false;
    bool spots = false;
    bool chestPatch = false;
    bool collar = true;
    std::string collarHex = "#D2453A";

    friend bool operator==(const CustomPetDef&, const CustomPetDef&) = default;
};

nlohmann::json toJson(const CustomPetDef& def);
// Nothing unless `j` is an object; otherwise always a complete record.
std::optional<CustomPetDef> customPetDefFromJson(const nlohmann::json& j);

// Compact JSON text; nothing if it cannot be encoded (text that is not UTF-8).
std::optional<std::string> encodeJson(const CustomPetDef& def);
std::optional<std::string> encodeJson(const std::vector<CustomPetDef>& defs);
// A JSON array of records; nothing when the text is not one or any element is not an object.
std::optional<std::vector<CustomPetDef>> decodeCustomPetList(std::string_view jsonText);

}  // namespace pawlane

template <>
struct std::hash<pawlane::CustomPetDef> {
    std::size_t operator()(const pawlane::CustomPetDef& d) const noexcept;
};
