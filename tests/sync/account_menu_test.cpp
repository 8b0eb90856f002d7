// The account section of the menu and its commands.
#include "platform/headless/manual_main_queue.h"
#include "presenter_fakes.h"
#include "social/account_menu.h"
#include "sync_fixture.h"

namespace pawlane::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> titles(const Menu& menu) {
    std::vector<std::string> out;
    for (const auto& e : menu) out.push_back(e.separator ? "---" : e.title);
    return out;
}

FriendPetEntry friendPet(const std::string& owner) { return {"Pip", "Ann", owner, petDef("p", "Pip")}; }

class AccountMenuTest : public ::testing::Test {
protected:
    MemoryPreferencesStore store;
    Settings settings{store};
    ManualClock clock;
    ManualMainQueue queue{clock};
    InlineTasks tasks;
    FakeAccount account;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    int signInShown = 0, petRebuilds = 0, menuRebuilds = 0;
    AccountMenu section{AccountMenuDeps{account, settings, dialogs, clipboard, queue, tasks,
                                        [this] { ++signInShown; }, [this] { ++petRebuilds; },
                                        [this] { ++menuRebuilds; }}};

    Menu build() {
        Menu menu;
        appendAccountMenuItems(menu, section);
        return menu;
    }
    void signIn(std::optional<Profile> profile = Profile{ME, "Me Myself", "AB2CD3EF"}) {
        account.signedIn = true;
        account.currentProfile = profile;
    }
};

TEST_F(AccountMenuTest, TheSectionFollowsTheAccountState) {
    account.configured = false;
    EXPECT_TRUE(build().empty());

    account.configured = true;
    auto signedOut = build();
    EXPECT_THAT(titles(signedOut), ElementsAre("---", "Sign In…"));
    signedOut[1].action();
    EXPECT_EQ(signInShown, 1);

    signIn(std::nullopt);  // the profile has not arrived (yet)
    auto noProfile = build();
    EXPECT_THAT(titles(noProfile),
                ElementsAre("---", "Signed in as …", "Add Friend by Code…", "Sign Out", "Delete Account…"));
    EXPECT_FALSE(noProfile[1].enabled);

    signIn();
    EXPECT_THAT(titles(build()), ElementsAre("---", "Signed in as Me Myself", "Copy Friend Code (AB2CD3EF)",
                                             "Add Friend by Code…", "Sign Out", "Delete Account…"));
    for (const auto& e : build()) EXPECT_EQ(e.keyEquivalent, 0) << e.title;
}

TEST_F(AccountMenuTest, FriendsAreListedWithTheirPetCountsEachRowRemovingItsFriend) {
    signIn();
    settings.setFriends({{ANN, "Ann"}, {BOB, "Bob"}, {ANN, "Ann"}});
    settings.setFriendPets({friendPet(ANN)});
    const auto menu = build();
    EXPECT_THAT(titles(menu), ElementsAre("---", "Signed in as Me Myself", "Copy Friend Code (AB2CD3EF)",
                                          "Add Friend by Code…", "Friends (3)", "Show Friends' Pets", "Sign Out",
                                          "Delete Account…"));
    const auto& list = *findEntry(menu, "Friends (3)");
    EXPECT_FALSE(list.action);
    EXPECT_THAT(titles(list.submenu), ElementsAre("Ann  \u00B7  1 pets", "Bob", "Ann  \u00B7  1 pets"));
    ASSERT_THAT(titles(list.submenu[1].submenu), ElementsAre("Remove Friend"));
    list.submenu[1].submenu[0].action();
    EXPECT_THAT(account.calls, ElementsAre("remove " + std::string(BOB)));

    account.calls.clear();
    section.removeFriendTapped("not-a-uuid");
    EXPECT_TRUE(account.calls.empty());
}

TEST_F(AccountMenuTest, ShowFriendsPetsIsCheckedUntilToggledAndTogglingRebuildsPackAndMenu) {
    signIn();
    settings.setFriends({{ANN, "Ann"}});
    EXPECT_TRUE(findEntry(build(), "Show Friends' Pets")->checked) << "on when never set";
    findEntry(build(), "Show Friends' Pets")->action();
    EXPECT_FALSE(store.boolean(keys::showFriendPets));
    EXPECT_FALSE(findEntry(build(), "Show Friends' Pets")->checked);
    EXPECT_EQ(petRebuilds, 1);
    EXPECT_EQ(menuRebuilds, 1);
    section.toggleFriendPets();
    EXPECT_TRUE(findEntry(build(), "Show Friends' Pets")->checked);
}

TEST_F(AccountMenuTest, AddingAFriendSendsTheTrimmedCodeAndAnswersWithTheirNameOrOneWarning) {
    signIn();
    dialogs.typed = std::nullopt;  // Cancel
    section.addFriendTapped();
    dialogs.typed = "  \n";
    section.addFriendTapped();
    EXPECT_TRUE(account.calls.empty());
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[0].text.message, "Add a Friend");
    EXPECT_EQ(dialogs.prompts[0].placeholder, "e.g. AB2CD3EF");
    EXPECT_EQ(dialogs.prompts[0].acceptButton, "Add Friend");

    dialogs.typed = "  ab2cd3ef \n";
    section.addFriendTapped();
    EXPECT_TRUE(dialogs.alerts.empty()) << "the answer comes back on the main queue";
    queue.runDue();
    EXPECT_THAT(account.calls, ElementsAre("redeem ab2cd3ef"));
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].message, "You're now friends with Ann!");
    EXPECT_FALSE(dialogs.alerts[0].warning);

    account.redeemed = SocialError::notConfigured();
    section.addFriendTapped();
    queue.runDue();
    ASSERT_EQ(dialogs.alerts.size(), 2u);
    EXPECT_EQ(dialogs.alerts[1].message, "That code didn't work");
    EXPECT_EQ(dialogs.alerts[1].info,
              "Double-check the code — or ask your friend to copy a fresh one from their menu.");
    EXPECT_TRUE(dialogs.alerts[1].warning);
}

TEST_F(AccountMenuTest, DeletingTheAccountAsksFirstAndReportsOnlyAFailure) {
    signIn();
    section.deleteAccountTapped();
    EXPECT_TRUE(account.calls.empty()) << "Cancel sends nothing";

    dialogs.confirms = true;
    section.deleteAccountTapped();
    queue.runDue();
    EXPECT_THAT(account.calls, ElementsAre("deleteAccount"));
    EXPECT_TRUE(dialogs.alerts.empty());

    account.nextOutcome = SocialError{SocialError::Kind::network, "The network connection was lost.", 0, {}};
    section.deleteAccountTapped();
    queue.runDue();
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].message, "Couldn't delete the account");
    EXPECT_EQ(dialogs.alerts[0].info, "The network connection was lost.");
}

TEST_F(AccountMenuTest, CopyingTheFriendCodeNeedsAProfile) {
    signIn(std::nullopt);
    section.copyFriendCode();
    EXPECT_EQ(clipboard.value, "old");
    signIn();
    findEntry(build(), "Copy Friend Code (AB2CD3EF)")->action();
    EXPECT_EQ(clipboard.value, "AB2CD3EF");
    findEntry(build(), "Sign Out")->action();
    EXPECT_THAT(account.calls, ElementsAre("signOut"));
}

}  // namespace
}  // namespace pawlane::test
