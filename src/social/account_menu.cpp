#include "social/account_menu.h"

#include <map>

#include "custom/text_cleaning.h"
#include "custom/uuid.h"
#include "platform/clipboard.h"
#include "platform/main_queue.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "social/account_dialogs.h"
#include "social/account_service.h"
#include "social/background_tasks.h"

namespace pawlane {

namespace {

MenuEntry item(std::string title, std::function<void()> action = {}) {
    MenuEntry e;
    e.title = std::move(title);
    e.action = std::move(action);
    return e;
}

}  // namespace

AccountMenu::AccountMenu(const AccountMenuDeps& deps) : d_(deps) {}
AccountMenu::~AccountMenu() = default;

void AccountMenu::later(std::function<void()> fn) {
    std::weak_ptr<int> alive = alive_;
    d_.queue.post([alive, fn = std::move(fn)] {
        if (alive.lock()) fn();
    });
}

void AccountMenu::append(Menu& menu) {
    if (!d_.account.isConfigured()) return;
    menu.push_back(MenuEntry::makeSeparator());
    if (!d_.account.isSignedIn()) {
        menu.push_back(item("Sign In…", [this] { signInTapped(); }));
        return;
    }
    const auto profile = d_.account.profile();
    MenuEntry name = item("Signed in as " + (profile ? profile->displayName : std::string("…")));
    name.enabled = false;
    menu.push_back(std::move(name));
    if (profile) menu.push_back(item("Copy Friend Code (" + profile->friendCode + ")", [this] { copyFriendCode(); }));
    menu.push_back(item("Add Friend by Code…", [this] { addFriendTapped(); }));

    const auto friends = d_.settings.friends();
    if (!friends.empty()) {
        std::map<std::string, int> petsPerOwner;
        for (const auto& pet : d_.settings.friendPets()) ++petsPerOwner[pet.ownerId];
        MenuEntry list = item("Friends (" + std::to_string(friends.size()) + ")");
        for (const auto& f : friends) {
            auto count = petsPerOwner.find(f.id);
            MenuEntry row = item(count == petsPerOwner.end()
                                     ? f.name
                                     : f.name + "  \u00B7  " + std::to_string(count->second) + " pets");
            row.submenu.push_back(item("Remove Friend", [this, id = f.id] { removeFriendTapped(id); }));
            list.submenu.push_back(std::move(row));
        }
        menu.push_back(std::move(list));
        MenuEntry show = item("Show Friends' Pets", [this] { toggleFriendPets(); });
        show.checked = d_.settings.showFriendPets();
        menu.push_back(std::move(show));
    }
    menu.push_back(item("Sign Out", [this] { signOutTapped(); }));
    menu.push_back(item("Delete Account…", [this] { deleteAccountTapped(); }));
}

void appendAccountMenuItems(Menu& menu, AccountMenu& account) { account.append(menu); }

void AccountMenu::signInTapped() {
    if (d_.showSignIn) d_.showSignIn();
}

void AccountMenu::signOutTapped() {
    AccountService& account = d_.account;
    d_.tasks.run([&account] { account.signOut(); });
}

void AccountMenu::deleteAccountTapped() {
    const Confirmation ask{{"Delete your Pawlane account?",
                            "This permanently deletes your account, your cloud pets and your friendships. "
                            "Pets on this Mac stay right here.",
                            true},
                           "Delete Forever",
                           "Cancel"};
    if (!d_.dialogs.confirm(ask)) return;
    d_.tasks.run([this] {
        auto outcome = d_.account.deleteAccount();
        if (outcome) return;  // the sign-out that follows updates the menu
        later([this, text = outcome.error().description] {
            d_.dialogs.showAlert({"Couldn't delete the account", text, false});
        });
    });
}

void AccountMenu::addFriendTapped() {
    const TextPrompt prompt{{"Add a Friend",
                             "Enter the friend code they copied from their Pawlane menu. "
                             "Their pets will join your Dock.",
                             false},
                            "Add Friend",
                            "Cancel",
                            "e.g. AB2CD3EF"};
    auto typed = d_.dialogs.askForText(prompt);
    if (!typed) return;
    const std::string code = trimmed(*typed);
    if (code.empty()) return;
    d_.tasks.run([this, code] {
        auto name = d_.account.redeemFriendCode(code);
        later([this, name] {
            if (name) {
                d_.dialogs.showAlert({"You're now friends with " + name.value() + "!",
                                      "Their pets will appear on your Dock — and yours on theirs.", false});
            } else {
                // Whatever went wrong, the advice is the same.
                d_.dialogs.showAlert({"That code didn't work",
                                      "Double-check the code — or ask your friend to copy a fresh one from "
                                      "their menu.",
                                      true});
            }
        });
    });
}

void AccountMenu::removeFriendTapped(const std::string& friendId) {
    if (!isUuidText(friendId)) return;
    AccountService& account = d_.account;
    d_.tasks.run([&account, friendId] { account.removeFriend(friendId); });
}

void AccountMenu::toggleFriendPets() {
    d_.settings.d.setBoolean(keys::showFriendPets, !d_.settings.showFriendPets());
    if (d_.rebuildPets) d_.rebuildPets();
    if (d_.rebuildMenu) d_.rebuildMenu();
}

void AccountMenu::copyFriendCode() {
    const auto profile = d_.account.profile();
    if (profile) d_.clipboard.setText(profile->friendCode);
}

}  // namespace pawlane
