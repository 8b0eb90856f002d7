// Two users, each with their own copy of the app and home folder, against the
// local backend: friends by code, pets travelling between them, deletions,
// unfriending, account deletion and a restart.
#include "sync_app.h"

namespace pawlane::synctest {
namespace {

using ::testing::ElementsAre;

class SyncEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (http.base().empty()) GTEST_SKIP() << "no backend in PAWLANE_BACKEND_ENV";
        ASSERT_TRUE(db.connected());
    }

    // Designs and saves a pet as the designer does: stored, then a sync.
    std::string savePet(App& app, const std::string& name) {
        CustomPetDef def;
        def.name = name;
        app.settings.saveCustomPet(def);
        app.sync();
        return def.id;
    }
    void deletePet(App& app, const std::string& id) {
        app.settings.deleteCustomPet(id);
        app.social->markPetDeleted(id);
        app.sync();
    }
    std::vector<std::string> cloudNames(const std::string& owner) {
        return db.exec("select name from public.pets where owner_id = $1 order by name", {owner}).column();
    }
    // Adds a friend through the menu's alert, as the user would.
    std::string addFriend(App& app, const std::string& code) {
        app.dialogs.typed = "  " + code + "\n";
        app.menu->addFriendTapped();
        app.queue.pumpUntil([&] { return !app.dialogs.alerts.empty(); });
        return app.dialogs.alerts.empty() ? "" : app.dialogs.alerts.back().message;
    }

    Http http;
    servertest::Db db;
    test::TempDir homeA, homeB;
};

TEST_F(SyncEndToEnd, FriendsByCodeSeeEachOthersPetsUntilDeletedOrUnfriended) {
    App a(homeA.path()), b(homeB.path());
    a.signIn(http, servertest::uniqueEmail("ann"));
    b.signIn(http, servertest::uniqueEmail("bob"));
    ASSERT_FALSE(a.displayName().empty());

    EXPECT_EQ(addFriend(b, a.social->profile()->friendCode), "You're now friends with " + a.displayName() + "!");
    EXPECT_THAT(b.settings.friends(), ElementsAre(FriendEntry{a.uid(), a.displayName()}));

    const std::string rex = savePet(a, "  Rex  ");
    EXPECT_THAT(cloudNames(a.uid()), ElementsAre("Rex"));
    b.sync();
    ASSERT_EQ(b.settings.friendPets().size(), 1u);
    EXPECT_EQ(b.settings.friendPets()[0].ownerId, a.uid());
    b.tick();
    EXPECT_THAT(b.friendTags(), ElementsAre("Rex \u00B7 " + a.displayName()));

    deletePet(a, rex);
    EXPECT_TRUE(cloudNames(a.uid()).empty());
    EXPECT_TRUE(a.store.stringArray(keys::deletedPetIds).empty());
    b.sync();
    b.tick();
    EXPECT_TRUE(b.friendTags().empty());

    // A second pet, then B removes A from the friends submenu.
    savePet(a, "Kit");
    b.sync();
    b.tick();
    ASSERT_EQ(b.friendTags().size(), 1u);
    Menu menu;
    appendAccountMenuItems(menu, *b.menu);
    const MenuEntry* friends = findEntry(menu, "Friends (1)");
    ASSERT_NE(friends, nullptr);
    EXPECT_EQ(friends->submenu.at(0).title, a.displayName() + "  \u00B7  1 pets");
    friends->submenu.at(0).submenu.at(0).action();  // "Remove Friend"
    ASSERT_TRUE(b.queue.pumpUntil([&] { return b.settings.friends().empty(); }));
    b.tick();
    EXPECT_TRUE(b.friendTags().empty());
    EXPECT_TRUE(b.settings.friendPets().empty());
}

TEST_F(SyncEndToEnd, ADeletionMadeOfflineReachesTheServerAtTheFirstSyncBack) {
    App a(homeA.path());
    a.signIn(http, servertest::uniqueEmail("offline"));
    const std::string id = savePet(a, "Biscuit");
    ASSERT_THAT(cloudNames(a.uid()), ElementsAre("Biscuit"));

    a.transport->offline = true;
    deletePet(a, id);
    a.sync();
    EXPECT_THAT(a.store.stringArray(keys::deletedPetIds), ElementsAre(id));
    EXPECT_THAT(cloudNames(a.uid()), ElementsAre("Biscuit"));

    a.transport->offline = false;
    a.sync();
    EXPECT_TRUE(a.store.stringArray(keys::deletedPetIds).empty());
    EXPECT_TRUE(cloudNames(a.uid()).empty());
}

TEST_F(SyncEndToEnd, ARestartRestoresTheSessionAndDeletingTheAccountRemovesItsRowsAndSignsOut) {
    std::string uid, name;
    {
        App a(homeA.path());
        a.signIn(http, servertest::uniqueEmail("restart"));
        savePet(a, "Pip");
        uid = a.uid();
        name = a.displayName();
    }
    App again(homeA.path());
    ASSERT_TRUE(again.queue.pumpUntil([&] { return again.social->profile().has_value(); }));
    EXPECT_EQ(again.uid(), uid);
    EXPECT_EQ(again.displayName(), name);

    again.dialogs.confirms = true;
    again.menu->deleteAccountTapped();
    ASSERT_TRUE(again.queue.pumpUntil([&] { return !again.social->isSignedIn(); }));
    EXPECT_TRUE(again.dialogs.alerts.empty());
    EXPECT_TRUE(cloudNames(uid).empty());
    EXPECT_EQ(db.exec("select count(*) from public.profiles where id = $1", {uid}).column(),
              std::vector<std::string>{"0"});
    EXPECT_FALSE(std::filesystem::exists(homeA.path() / "Pawlane" / "sb-127-auth-token"));
}

}  // namespace
}  // namespace pawlane::synctest
