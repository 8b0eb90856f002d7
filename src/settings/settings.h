#pragma once
// Typed access to the preferences: the pack composition, the custom pets, the cached
// friend data and the values the behaviour code derives from the simple keys.
// Every getter reads the store and every setter writes through; nothing is cached
// here. Bad stored data reads as the default. Main thread only.
#include <map>
#include <string>
#include <vector>

#include "behaviour/modes.h"
#include "custom/custom_pet_def.h"
#include "platform/preferences_store.h"
#include "settings/friend_entries.h"
#include "settings/keys.h"

namespace pawlane {

// The most pets of the user's own in the pack, counted over "petCounts".
inline constexpr int MAX_PETS = 10;

// Indexed by "speedIdx", "sizeIdx" and "restIdx" (clamped to 0...2).
inline constexpr double BASE_SPEEDS[3] = {55, 95, 170};
inline constexpr double PET_SCALES[3] = {2, 3, 4};
inline constexpr double REST_MULTIPLIERS[3] = {0.45, 1.0, 2.5};

// The pack key of a custom pet: "custom:" + its id.
std::string customPetKey(const std::string& defId);

class Settings {
public:
    // Registers the volatile defaults and migrates the legacy "species" key when
    // "petCounts" holds no dictionary.
    explicit Settings(PreferencesStore& store);
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The app's instance over the preferences file, created on first use.
    static Settings& shared();

    PreferencesStore& d;

    // "petCounts", or {"shiba": 1} when absent or when any value is not an integer.
    std::map<std::string, int> petCounts() const;
    int totalPets() const;
    // Sets one entry, clamped to [0, room left by the other entries].
    void setCount(int n, const std::string& id);

    // Empty when absent or when the data does not decode as a whole.
    std::vector<CustomPetDef> customPets() const;
    void setCustomPets(const std::vector<CustomPetDef>& defs);
    // Replaces the first pet with the same id in place, or appends and gives it a
    // pack count of 1 when there is room (0 when the pack is full).
    void saveCustomPet(const CustomPetDef& def);
    // Removes every pet with this id and its pack entry.
    void deleteCustomPet(const std::string& id);

    bool showFriendPets() const;
    std::vector<FriendPetEntry> friendPets() const;
    void setFriendPets(const std::vector<FriendPetEntry>& entries);
    std::vector<FriendEntry> friends() const;
    void setFriends(const std::vector<FriendEntry>& entries);

    // The MODES entry for "modeIdx", clamped into the table.
    const ModeParams& mode() const;
    double baseSpeed() const;
    double scale() const;
    double restMultiplier() const;

private:
    void migrateLegacySpecies();
};

}  // namespace pawlane
