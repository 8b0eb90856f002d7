// Friend data in a sync: the caps, names, the cache comparison and failures.
#include <algorithm>
#include <random>

#include "sync_fixture.h"

namespace pawlane::test {
namespace {

using ::testing::ElementsAre;

std::string ownerId(int i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "F%07d-0000-4000-8000-000000000000", i);
    return buf;
}
std::string petId(int owner, int pet) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08d-%04d-4000-8000-000000000000", owner, pet);
    return buf;
}

class FriendSyncTest : public SyncTest {
protected:
    void befriend(const std::string& id, const std::string& name, bool profileVisible = true) {
        if (profileVisible) backend->profiles[id] = {id, name, "CODE" + id.substr(0, 4)};
        backend->friendships.push_back({ME, id});
    }
    std::vector<std::string> cachedPetIds() {
        std::vector<std::string> out;
        for (const auto& p : settings.friendPets()) out.push_back(p.def.id);
        return out;
    }
};

TEST_F(FriendSyncTest, KeepsAtMostThreePetsPerOwnerAndThirtyInAllInServerOrder) {
    struct Case {
        std::vector<int> petsPerOwner;
        std::size_t expected;
    };
    for (const Case& c : {Case{{5, 2}, 5}, Case{std::vector<int>(12, 3), 30}}) {
        backend->pets.clear();
        backend->friendships.clear();
        std::vector<std::string> expected;
        for (int o = 0; o < int(c.petsPerOwner.size()); ++o) {
            befriend(ownerId(o), "Owner " + std::to_string(o));
            for (int p = 0; p < c.petsPerOwner[o]; ++p) {
                const auto id = petId(o, p);
                backend->pets[id] = cloudPet(id, ownerId(o), "Pet");
                if (p < 3) expected.push_back("design-" + id);
            }
        }
        std::sort(expected.begin(), expected.end());
        expected.resize(std::min(expected.size(), c.expected));
        if (!social->isSignedIn()) startSignedIn();
        sync();
        EXPECT_EQ(cachedPetIds(), expected) << c.petsPerOwner.size() << " owners";
    }
}

TEST_F(FriendSyncTest, NamesComeFromVisibleProfilesElseFriendAndPetNamesAreCut) {
    befriend(ANN, "Ann");
    befriend(BOB, "Bob", /*profileVisible=*/false);
    backend->friendships.push_back({ANN, ME});  // the same pair stored the other way round
    backend->pets["11111111-0000-4000-8000-000000000000"] =
        cloudPet("11111111-0000-4000-8000-000000000000", BOB, "A name far longer than twenty-four");
    backend->pets["22222222-0000-4000-8000-000000000000"] = cloudPet("22222222-0000-4000-8000-000000000000", ANN, "Pip");
    startSignedIn();

    EXPECT_THAT(settings.friends(), ElementsAre(FriendEntry{ANN, "Ann"}, FriendEntry{BOB, "Friend"},
                                                FriendEntry{ANN, "Ann"}));
    const auto pets = settings.friendPets();
    ASSERT_EQ(pets.size(), 2u);
    EXPECT_EQ(pets[0].petName, "A name far longer than t");
    EXPECT_EQ(pets[0].ownerName, "Friend");
    EXPECT_EQ(pets[0].ownerId, BOB);
    EXPECT_EQ(pets[1].ownerName, "Ann");
}

TEST_F(FriendSyncTest, OnlyChangedFriendDataAsksForAPackRebuildButTheMenuIsRebuiltEveryTime) {
    for (int i = 0; i < 4; ++i) {
        befriend(ownerId(i), "Owner");
        backend->pets[petId(i, 0)] = cloudPet(petId(i, 0), ownerId(i), "Pet");
    }
    startSignedIn();
    ASSERT_EQ(settings.friendPets().size(), 4u);

    // The same data in another order.
    auto cachedPets = settings.friendPets();
    auto cachedFriends = settings.friends();
    std::reverse(cachedPets.begin(), cachedPets.end());
    std::reverse(cachedFriends.begin(), cachedFriends.end());
    settings.setFriendPets(cachedPets);
    settings.setFriends(cachedFriends);
    sync();
    EXPECT_EQ(host.friendRebuilds, 0);
    EXPECT_EQ(host.menuBuilds, 1);
    EXPECT_EQ(settings.friends()[0].id, ownerId(0)) << "stored in the new order";

    struct Change {
        const char* what;
        std::function<void()> apply;
    };
    const Change changes[] = {
        {"a pet renamed", [&] { backend->pets[petId(1, 0)].name = "Renamed"; }},
        {"a friend renamed", [&] { backend->profiles[ownerId(2)].displayName = "New name"; }},
        {"a friend without pets added", [&] { befriend(ANN, "Ann"); }},
    };
    for (const auto& change : changes) {
        host = CountingHost{};
        change.apply();
        sync();
        EXPECT_EQ(host.friendRebuilds, 1) << change.what;
        EXPECT_EQ(host.menuBuilds, 1) << change.what;
    }
}

TEST_F(FriendSyncTest, AnyFailedFriendQueryKeepsTheCachesAndTheMenu) {
    befriend(ANN, "Ann");
    backend->pets[petId(1, 0)] = cloudPet(petId(1, 0), ANN, "Pip");
    startSignedIn();
    const auto pets = settings.friendPets();
    const auto friends = settings.friends();
    backend->friendships.clear();
    backend->pets.clear();

    for (const char* query : {"profiles", "friendships", "friendPets"}) {
        host = CountingHost{};
        backend->fail(query);
        sync();
        backend->heal(query);
        EXPECT_EQ(settings.friendPets(), pets) << query;
        EXPECT_EQ(settings.friends(), friends) << query;
        EXPECT_EQ(host.menuBuilds + host.friendRebuilds, 0) << query;
    }
    sync();
    EXPECT_TRUE(settings.friends().empty());
    EXPECT_EQ(host.friendRebuilds, 1);
}

}  // namespace
}  // namespace pawlane::test
