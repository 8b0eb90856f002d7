// The user's own pets in a sync: pending deletions and the upload.
#include "social/cloud_pet_id.h"
#include "sync_fixture.h"

namespace pawlane::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(SyncTest, ADeletionStaysPendingWhileItsDeleteFailsAndIsNeverUploadedMeanwhile) {
    startSignedIn();
    // The pet is still listed locally (say, restored by another window) while its deletion waits.
    settings.setCustomPets({petDef("rex", "Rex"), petDef("kit", "Kit")});
    const auto rexCloud = cloudPetId("rex", ME);
    backend->pets[rexCloud] = cloudPet(rexCloud, ME, "Rex");
    backend->fail("deletePet");
    social->markPetDeleted("rex");
    queue.pumpUntil([&] { return backend->count("friendPets") == 1; });
    sync();

    EXPECT_THAT(deletedIds(), ElementsAre("rex"));
    EXPECT_EQ(backend->count("deletePet " + rexCloud), 2);
    EXPECT_EQ(backend->count("upsertPets 1"), 2) << "only Kit goes up";
    EXPECT_THAT(backend->calls(), Not(Contains("upsertPet " + rexCloud)));

    backend->heal("deletePet");
    sync();
    EXPECT_EQ(backend->count("deletePet " + rexCloud), 3);
    EXPECT_TRUE(deletedIds().empty());
}

TEST_F(SyncTest, OneSuccessfulDeleteRemovesEveryDuplicateButKeepsDeletionsMadeMeanwhile) {
    startSignedIn();
    store.setStringArray(keys::deletedPetIds, {"rex", "kit", "rex"});
    // While the first delete runs, the user deletes another pet.
    backend->hold("deletePet " + cloudPetId("rex", ME));
    backend->fail("deletePet " + cloudPetId("ida", ME));
    auto running = social->enqueueSync();
    queue.pumpUntil([&] { return backend->isHeld(); });
    social->markPetDeleted("ida");
    backend->release();
    queue.pumpUntilReady(running);
    sync();  // the one the new deletion started, behind it

    EXPECT_THAT(deletedIds(), ElementsAre("ida"));
    EXPECT_EQ(backend->count("deletePet " + cloudPetId("rex", ME)), 2) << "a duplicate is processed again";
}

TEST_F(SyncTest, AUuidShapedLocalIdAlsoDeletesTheCopyStoredUnderItself) {
    const std::string local = "dddddddd-0000-4000-8000-00000000000d";
    const std::string copy = "DDDDDDDD-0000-4000-8000-00000000000D";
    startSignedIn();
    store.setStringArray(keys::deletedPetIds, {local});

    backend->fail("deletePet " + copy);
    sync();
    EXPECT_THAT(backend->calls(), Contains("deletePet " + cloudPetId(local, ME)));
    EXPECT_THAT(deletedIds(), ElementsAre(local)) << "the copy is still there";

    backend->heal("deletePet " + copy);
    sync();
    EXPECT_THAT(backend->calls(), Contains("deletePet " + copy));
    EXPECT_TRUE(deletedIds().empty());
}

TEST_F(SyncTest, UploadsEveryPetInOneRequestUnderItsCloudIdWithACleanedName) {
    startSignedIn();
    const std::string uuidId = "eeeeeeee-0000-4000-8000-00000000000e";
    settings.setCustomPets({petDef("abc", "   Rexanderthegreatdogofall7"), petDef(uuidId, "   "),
                            petDef("ABC-2", "Kit")});
    sync();

    EXPECT_EQ(backend->count("upsertPets 3"), 1);
    EXPECT_EQ(backend->count("upsertPet "), 0);
    const auto& rex = backend->pets.at(cloudPetId("abc", ME));
    EXPECT_EQ(rex.name, "Rexanderthegreatdogof");  // the first 24 characters, trimmed
    EXPECT_EQ(rex.design.name, rex.name);
    EXPECT_EQ(rex.design.id, "abc");
    EXPECT_EQ(rex.ownerId, ME);
    EXPECT_EQ(rex.schemaVersion, 1);
    EXPECT_EQ(backend->pets.at(cloudPetId(uuidId, ME)).name, "My Pet");
    // Rows under a plain local UUID are the user's old copies: removed, by owner.
    EXPECT_THAT(backend->calls(), Contains("deleteOwnPet EEEEEEEE-0000-4000-8000-00000000000E " + std::string(ME)));
    EXPECT_EQ(backend->count("deleteOwnPet"), 1);
}

TEST_F(SyncTest, AFailedBatchFallsBackToOneUploadPerPetIgnoringSingleFailures) {
    startSignedIn();
    settings.setCustomPets({petDef("a", "A"), petDef("b", "B"), petDef("c", "C")});
    backend->fail("upsertPets");
    backend->fail("upsertPet " + cloudPetId("b", ME));
    sync();

    std::vector<std::string> uploads;
    for (const auto& c : backend->calls())
        if (c.rfind("upsert", 0) == 0) uploads.push_back(c);
    EXPECT_THAT(uploads, ElementsAre("upsertPets 3", "upsertPet " + cloudPetId("a", ME),
                                     "upsertPet " + cloudPetId("b", ME), "upsertPet " + cloudPetId("c", ME)));
    EXPECT_EQ(backend->pets.count(cloudPetId("a", ME)), 1u);
    EXPECT_EQ(backend->pets.count(cloudPetId("c", ME)), 1u);
    EXPECT_EQ(backend->count("friendPets"), 1) << "the sync goes on to the friend data";
}

TEST_F(SyncTest, SignedOutASyncSendsNothingAndWithoutPetsNothingIsUploaded) {
    startSignedOut();
    settings.setCustomPets({petDef("a", "A")});
    social->markPetDeleted("b");
    sync();
    EXPECT_TRUE(backend->calls().empty());
    EXPECT_THAT(deletedIds(), ElementsAre("b"));

    backend->announce(AuthEvent::signedIn, std::string(ME));
    queue.pumpUntil([&] { return backend->count("friendPets") == 1; });
    backend->clearCalls();
    settings.setCustomPets({});
    sync();
    EXPECT_THAT(backend->calls(), ElementsAre("profiles", "friendships", HasSubstr("friendPets")));
}

}  // namespace
}  // namespace pawlane::test
