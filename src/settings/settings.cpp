#include "settings/settings.h"

#include <algorithm>
#include <cstdlib>

#include "settings/json_file_store.h"
#include "sprites/catalogue.h"

namespace pawlane {

namespace {

constexpr const char* kDefaultSpecies = "shiba";

std::map<std::string, int> defaultCounts() { return {{kDefaultSpecies, 1}}; }

// Indexes one of the three-entry tables with a clamped stored index.
double pick(const double (&table)[3], std::int64_t index) {
    return table[std::clamp<std::int64_t>(index, 0, 2)];
}

int clampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace

std::string customPetKey(const std::string& defId) { return "custom:" + defId; }

Settings::Settings(PreferencesStore& store) : d(store) {
    d.registerDefaults({{std::string(keys::sizeIdx), std::int64_t{1}},
                        {std::string(keys::speedIdx), std::int64_t{1}},
                        {std::string(keys::restIdx), std::int64_t{1}},
                        {std::string(keys::followMouse), false},
                        {std::string(keys::modeIdx), std::int64_t{0}},
                        {std::string(keys::petsHidden), false},
                        {std::string(keys::lastRandomCount), std::int64_t{3}}});
    // A dictionary is left alone even when its values are not integers.
    if (!d.holdsObject(keys::petCounts)) migrateLegacySpecies();
}

Settings& Settings::shared() {
    static JsonFileStore store(defaultPreferencesPath());
    static Settings settings(store);
    return settings;
}

void Settings::migrateLegacySpecies() {
    std::string id = d.findString(keys::species).value_or(kDefaultSpecies);
    if (id == "dog") id = kDefaultSpecies;  // the old id of that breed
    if (!builtInSpecies(id)) id = kDefaultSpecies;
    d.setDictionary(keys::petCounts, PrefDictionary{{id, 1}});
}

std::map<std::string, int> Settings::petCounts() const {
    // The store only yields a dictionary when every value is an integer.
    const auto stored = d.findDictionary(keys::petCounts);
    if (!stored) return defaultCounts();
    std::map<std::string, int> counts;
    for (const auto& [id, n] : *stored) counts.emplace(id, clampToInt(n));
    return counts;
}

int Settings::totalPets() const {
    std::int64_t total = 0;
    for (const auto& [id, n] : petCounts()) total += n;
    return clampToInt(total);
}

void Settings::setCount(int n, const std::string& id) {
    auto counts = petCounts();
    std::int64_t total = 0;
    for (const auto& [key, v] : counts) total += v;
    const auto it = counts.find(id);
    const std::int64_t current = it == counts.end() ? 0 : it->second;
    const std::int64_t room = MAX_PETS - (total - current);
    const std::int64_t value = std::max<std::int64_t>(0, std::min<std::int64_t>(n, room));
    PrefDictionary stored(counts.begin(), counts.end());
    stored[id] = value;
    d.setDictionary(keys::petCounts, std::move(stored));
}

std::vector<CustomPetDef> Settings::customPets() const {
    const auto data = d.findData(keys::customPets);
    if (!data) return {};
    return decodeCustomPetList(*data).value_or(std::vector<CustomPetDef>{});
}

void Settings::setCustomPets(const std::vector<CustomPetDef>& defs) {
    d.setData(keys::customPets, encodeJson(defs).value_or(""));
}

void Settings::saveCustomPet(const CustomPetDef& def) {
    auto list = customPets();
    auto same = std::find_if(list.begin(), list.end(), [&](const CustomPetDef& e) { return e.id == def.id; });
    if (same != list.end()) {
        *same = def;
        setCustomPets(list);
        return;
    }
    list.push_back(def);
    const auto key = customPetKey(def.id);
    const auto counts = petCounts();
    const auto entry = counts.find(key);
    if (entry == counts.end() || entry->second == 0) setCount(1, key);
    setCustomPets(list);
}

void Settings::deleteCustomPet(const std::string& id) {
    auto list = customPets();
    std::erase_if(list, [&](const CustomPetDef& e) { return e.id == id; });
    setCustomPets(list);
    auto counts = petCounts();
    counts.erase(customPetKey(id));
    d.setDictionary(keys::petCounts, PrefDictionary(counts.begin(), counts.end()));
}

bool Settings::showFriendPets() const {
    // Not a registered default: an absent key means yes.
    return d.findBoolean(keys::showFriendPets).value_or(true);
}

std::vector<FriendPetEntry> Settings::friendPets() const {
    const auto data = d.findData(keys::friendPetsCache);
    if (!data) return {};
    return decodeFriendPetList(*data).value_or(std::vector<FriendPetEntry>{});
}

void Settings::setFriendPets(const std::vector<FriendPetEntry>& entries) {
    d.setData(keys::friendPetsCache, encodeJson(entries).value_or(""));
}

std::vector<FriendEntry> Settings::friends() const {
    const auto data = d.findData(keys::friendsCache);
    if (!data) return {};
    return decodeFriendList(*data).value_or(std::vector<FriendEntry>{});
}

void Settings::setFriends(const std::vector<FriendEntry>& entries) {
    d.setData(keys::friendsCache, encodeJson(entries).value_or(""));
}

const ModeParams& Settings::mode() const { return modeAt(d.integer(keys::modeIdx)).params; }

double Settings::baseSpeed() const { return pick(BASE_SPEEDS, d.integer(keys::speedIdx)); }

double Settings::scale() const { return pick(PET_SCALES, d.integer(keys::sizeIdx)); }

double Settings::restMultiplier() const { return pick(REST_MULTIPLIERS, d.integer(keys::restIdx)); }

}  // namespace pawlane
