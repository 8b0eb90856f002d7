// Settings over the in-memory store: defaults, migration, pack counts, custom pets,
// derived values.
#include <gtest/gtest.h>

#include "platform/headless/memory_preferences_store.h"
#include "settings/settings.h"
#include "settings/status_species.h"

namespace pawlane {
namespace {

using Counts = std::map<std::string, int>;

CustomPetDef pet(const std::string& id, const std::string& name = "Buddy") {
    CustomPetDef d;
    d.id = id;
    d.name = name;
    return d;
}

std::vector<std::string> ids(const std::vector<CustomPetDef>& defs) {
    std::vector<std::string> out;
    for (const auto& d : defs) out.push_back(d.id);
    return out;
}

TEST(Settings, FreshStoreReadsTheDefaultsAndStoresTheDefaultPack) {
    MemoryPreferencesStore store;
    Settings s(store);
    EXPECT_EQ(s.d.integer(keys::sizeIdx), 1);
    EXPECT_EQ(s.d.integer(keys::speedIdx), 1);
    EXPECT_EQ(s.d.integer(keys::restIdx), 1);
    EXPECT_EQ(s.d.integer(keys::lastRandomCount), 3);
    EXPECT_EQ(s.d.integer(keys::modeIdx), 0);
    EXPECT_FALSE(s.d.boolean(keys::followMouse));
    EXPECT_FALSE(s.d.boolean(keys::petsHidden));
    EXPECT_TRUE(s.showFriendPets());
    EXPECT_EQ(s.d.stringArray(keys::deletedPetIds), std::vector<std::string>{});
    EXPECT_EQ(s.d.real(keys::greetAwaySeconds), 0.0);
    EXPECT_TRUE(s.customPets().empty());
    EXPECT_TRUE(s.friendPets().empty());
    EXPECT_TRUE(s.friends().empty());
    EXPECT_EQ(s.scale(), 3);
    EXPECT_EQ(s.baseSpeed(), 95);
    EXPECT_EQ(s.restMultiplier(), 1.0);
    // Only the migrated pack is written; registered defaults never are.
    auto stored = store.snapshot();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored.at("petCounts"), PrefValue(PrefDictionary{{"shiba", 1}}));
}

TEST(Settings, ShowFriendPetsFollowsAStoredValue) {
    MemoryPreferencesStore store;
    Settings s(store);
    store.setBoolean(keys::showFriendPets, false);
    EXPECT_FALSE(s.showFriendPets());
}

TEST(Settings, ConstructionMigratesTheLegacySpeciesOnlyWithoutAPack) {
    struct Case {
        const char* name;
        std::optional<PrefValue> species;
        std::optional<PrefValue> petCounts;
        PrefValue expected;
    };
    const std::vector<Case> cases = {
        {"no species", std::nullopt, std::nullopt, PrefDictionary{{"shiba", 1}}},
        {"old dog id", std::string("dog"), std::nullopt, PrefDictionary{{"shiba", 1}}},
        {"known id", std::string("cat"), std::nullopt, PrefDictionary{{"cat", 1}}},
        {"unknown id", std::string("wolf"), std::nullopt, PrefDictionary{{"shiba", 1}}},
        {"species not text", std::int64_t{7}, std::nullopt, PrefDictionary{{"shiba", 1}}},
        {"pack not a dictionary", std::string("fox"), std::string("3 fox"), PrefDictionary{{"fox", 1}}},
        {"existing pack", std::string("cat"), PrefDictionary{{"fox", 4}, {"corgi", 0}},
         PrefDictionary{{"fox", 4}, {"corgi", 0}}},
        {"existing pack with text values", std::string("cat"), PrefOther{R"({"fox":"four"})"},
         PrefOther{R"({"fox":"four"})"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryPreferencesStore store;
        if (c.species) store.setValue(keys::species, *c.species);
        if (c.petCounts) store.setValue(keys::petCounts, *c.petCounts);
        Settings s(store);
        EXPECT_EQ(store.value(keys::petCounts), c.expected);
        EXPECT_EQ(store.has(keys::species), c.species.has_value());  // never removed or written
    }
}

TEST(Settings, PetCountsWithAnyNonIntegerValueReadAsTheDefaultPack) {
    MemoryPreferencesStore store;
    store.setValue(keys::petCounts, PrefOther{R"({"cat":2,"fox":"x"})"});
    Settings s(store);
    EXPECT_EQ(s.petCounts(), (Counts{{"shiba", 1}}));
    EXPECT_EQ(s.totalPets(), 1);
    EXPECT_EQ(statusSpecies(s).id, "shiba");
    // The next change starts from the default pack.
    s.setCount(2, "cat");
    EXPECT_EQ(store.value(keys::petCounts), PrefValue(PrefDictionary{{"shiba", 1}, {"cat", 2}}));
}

TEST(Settings, SetCountClampsToTheRoomLeftInThePack) {
    MemoryPreferencesStore store;
    store.setDictionary(keys::petCounts, {{"shiba", 7}});
    Settings s(store);
    struct Step {
        int n;
        const char* id;
        Counts after;
    };
    const std::vector<Step> steps = {
        {5, "cat", {{"shiba", 7}, {"cat", 3}}},
        {2, "corgi", {{"shiba", 7}, {"cat", 3}, {"corgi", 0}}},
        {10, "shiba", {{"shiba", 7}, {"cat", 3}, {"corgi", 0}}},
        {-2, "fox", {{"shiba", 7}, {"cat", 3}, {"corgi", 0}, {"fox", 0}}},
        {1, "cat", {{"shiba", 7}, {"cat", 1}, {"corgi", 0}, {"fox", 0}}},  // lowering always works
        {5, "custom:A", {{"shiba", 7}, {"cat", 1}, {"corgi", 0}, {"fox", 0}, {"custom:A", 2}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::to_string(step.n) + " " + step.id);
        s.setCount(step.n, step.id);
        EXPECT_EQ(s.petCounts(), step.after);
    }
    EXPECT_EQ(s.totalPets(), 10);
}

TEST(Settings, SetCountOnAnOverfullPackOnlyLowers) {
    MemoryPreferencesStore store;
    store.setDictionary(keys::petCounts, {{"shiba", 8}, {"cat", 4}});
    Settings s(store);
    s.setCount(5, "cat");  // room is 10 - 8 = 2
    EXPECT_EQ(s.petCounts(), (Counts{{"shiba", 8}, {"cat", 2}}));
    s.setCount(1, "fox");  // no room: set to 0
    EXPECT_EQ(s.petCounts().at("fox"), 0);
}

TEST(Settings, SaveCustomPetAppendsWithCountWhileThereIsRoom) {
    MemoryPreferencesStore store;
    Settings s(store);
    s.saveCustomPet(pet("A"));
    EXPECT_EQ(ids(s.customPets()), (std::vector<std::string>{"A"}));
    EXPECT_EQ(s.petCounts(), (Counts{{"shiba", 1}, {"custom:A", 1}}));
}

TEST(Settings, SaveCustomPetIntoAFullPackThenResaveKeepsPositionAndCount) {
    MemoryPreferencesStore store;
    store.setDictionary(keys::petCounts, {{"shiba", 10}});
    Settings s(store);
    s.saveCustomPet(pet("A", "First"));
    s.saveCustomPet(pet("B", "Second"));
    EXPECT_EQ(s.petCounts(), (Counts{{"shiba", 10}, {"custom:A", 0}, {"custom:B", 0}}));

    s.setCount(3, "shiba");
    s.setCount(2, "custom:B");
    s.saveCustomPet(pet("A", "Renamed"));
    s.saveCustomPet(pet("B", "Again"));
    const auto pets = s.customPets();
    ASSERT_EQ(ids(pets), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(pets[0].name, "Renamed");
    EXPECT_EQ(pets[1].name, "Again");
    EXPECT_EQ(s.petCounts(), (Counts{{"shiba", 3}, {"custom:A", 0}, {"custom:B", 2}}));
}

TEST(Settings, SaveCustomPetReplacesOnlyTheFirstOfDuplicatedIds) {
    MemoryPreferencesStore store;
    Settings s(store);
    s.setCustomPets({pet("A", "one"), pet("B"), pet("A", "two")});
    s.saveCustomPet(pet("A", "new"));
    const auto pets = s.customPets();
    ASSERT_EQ(pets.size(), 3u);
    EXPECT_EQ(pets[0].name, "new");
    EXPECT_EQ(pets[2].name, "two");
}

TEST(Settings, DeleteCustomPetRemovesEveryCopyAndItsPackEntry) {
    MemoryPreferencesStore store;
    store.setDictionary(keys::petCounts, {{"shiba", 1}, {"custom:A", 2}, {"custom:B", 1}});
    Settings s(store);
    s.setCustomPets({pet("A"), pet("B"), pet("A")});
    s.deleteCustomPet("A");
    EXPECT_EQ(ids(s.customPets()), (std::vector<std::string>{"B"}));
    EXPECT_EQ(s.petCounts(), (Counts{{"shiba", 1}, {"custom:B", 1}}));
}

TEST(Settings, DeleteCustomPetWritesTheDefaultPackWhenNoneIsReadable) {
    MemoryPreferencesStore store;
    Settings s(store);
    store.setValue(keys::petCounts, PrefOther{R"({"custom:A":"2"})"});
    s.deleteCustomPet("A");
    EXPECT_EQ(store.value(keys::petCounts), PrefValue(PrefDictionary{{"shiba", 1}}));
}

TEST(Settings, UndecodableCustomPetsReadEmptyAndTheNextSaveKeepsOnlyTheNewPet) {
    const std::vector<std::string> bad = {
        "not json",
        R"({"id":"A"})",                 // an object, not a list
        R"([{"id":"A","name":"Ok"},3])",  // one bad element spoils the list
    };
    for (const auto& data : bad) {
        SCOPED_TRACE(data);
        MemoryPreferencesStore store;
        Settings s(store);
        store.setData(keys::customPets, data);
        EXPECT_TRUE(s.customPets().empty());
        s.saveCustomPet(pet("C"));
        EXPECT_EQ(ids(s.customPets()), (std::vector<std::string>{"C"}));
    }
}

TEST(Settings, CustomPetsStoredAsTextInsteadOfDataReadEmpty) {
    MemoryPreferencesStore store;
    Settings s(store);
    store.setString(keys::customPets, R"([{"id":"A"}])");
    EXPECT_TRUE(s.customPets().empty());
}

TEST(Settings, CustomPetsAreStoredAsCompactJsonThatDecodesTolerantly) {
    MemoryPreferencesStore store;
    Settings s(store);
    s.saveCustomPet(pet("A", "Rex"));
    const auto data = store.data(keys::customPets);
    EXPECT_EQ(data.front(), '[');
    EXPECT_EQ(data.find('\n'), std::string::npos);
    EXPECT_NE(data.find(R"("name":"Rex")"), std::string::npos);

    // Missing and wrongly typed fields take their defaults.
    store.setData(keys::customPets, R"([{"id":"X","name":5,"spots":true}])");
    const auto pets = s.customPets();
    ASSERT_EQ(pets.size(), 1u);
    EXPECT_EQ(pets[0].name, "Buddy");
    EXPECT_TRUE(pets[0].spots);
}

TEST(Settings, FriendCachesRoundTripAndBadDataReadsEmpty) {
    MemoryPreferencesStore store;
    Settings s(store);
    const std::vector<FriendEntry> friends = {{"0F4B2A3C-1D2E-4F50-8A9B-0C1D2E3F4A5B", "Ann"}};
    const std::vector<FriendPetEntry> pets = {
        {"Rex", "Ann", "0F4B2A3C-1D2E-4F50-8A9B-0C1D2E3F4A5B", pet("P", "Rex")}};
    s.setFriends(friends);
    s.setFriendPets(pets);
    EXPECT_EQ(s.friends(), friends);
    EXPECT_EQ(s.friendPets(), pets);

    store.setData(keys::friendsCache, R"([{"id":"not-a-uuid","name":"Bo"}])");
    store.setData(keys::friendPetsCache, "[");
    EXPECT_TRUE(s.friends().empty());
    EXPECT_TRUE(s.friendPets().empty());

    // Text that cannot be encoded stores empty data, which reads as no friends.
    s.setFriends({{"0F4B2A3C-1D2E-4F50-8A9B-0C1D2E3F4A5B", std::string("bad \xff")}});
    EXPECT_EQ(store.findData(keys::friendsCache), std::string());
    EXPECT_TRUE(s.friends().empty());
}

TEST(Settings, DerivedValuesClampTheirStoredIndices) {
    struct Case {
        std::int64_t index;
        double speed, scale, rest;
        const char* mode;
    };
    const std::vector<Case> cases = {
        {-5, 55, 2, 0.45, "Playful"}, {-1, 55, 2, 0.45, "Playful"}, {0, 55, 2, 0.45, "Playful"},
        {1, 95, 3, 1.0, "Calm"},      {2, 170, 4, 2.5, "Sleepy"},   {7, 170, 4, 2.5, "Sleepy"},
        {99, 170, 4, 2.5, "Sleepy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        MemoryPreferencesStore store;
        Settings s(store);
        for (auto key : {keys::speedIdx, keys::sizeIdx, keys::restIdx, keys::modeIdx}) store.setInteger(key, c.index);
        EXPECT_EQ(s.baseSpeed(), c.speed);
        EXPECT_EQ(s.scale(), c.scale);
        EXPECT_EQ(s.restMultiplier(), c.rest);
        EXPECT_EQ(&s.mode(), &modeAt(c.index).params);
        EXPECT_EQ(modeAt(c.index).name, c.mode);
    }
}

TEST(Settings, ModeTableInMenuOrder) {
    ASSERT_EQ(MODES.size(), 3u);
    EXPECT_EQ(MODES[0].name, "Playful");
    EXPECT_EQ(MODES[1].name, "Calm");
    EXPECT_EQ(MODES[2].name, "Sleepy");

    MemoryPreferencesStore store;
    Settings s(store);
    store.setInteger(keys::modeIdx, 1);
    EXPECT_TRUE(s.mode().edges);
    EXPECT_EQ(s.mode().speedMul, 0.75 * MODES[0].params.speedMul);
    EXPECT_EQ(MODES[1].params.socialCooldown.lower, 180);
    EXPECT_EQ(MODES[1].params.socialCooldown.upper, 360);
    EXPECT_EQ(MODES[2].params.napBias, 0.85);
    EXPECT_EQ(MODES[2].params.restIntervalMul, 0.25);
}

TEST(Settings, StatusSpeciesReadsThePackAndCustomPets) {
    MemoryPreferencesStore store;
    store.setDictionary(keys::petCounts, {{"cat", 2}, {"custom:A", 3}});
    Settings s(store);
    s.setCustomPets({pet("A", "Rex")});
    EXPECT_EQ(statusSpecies(s).id, "custom:A");
    s.setCount(0, "custom:A");
    EXPECT_EQ(statusSpecies(s).id, "cat");
}

}  // namespace
}  // namespace pawlane
