#pragma once
// The account section of the status menu and its commands: signing in and
// out, the friend code, adding and removing friends, the friends' pets switch
// and deleting the account. Main thread; the network calls run on background
// tasks and come back through the main queue.
#include <functional>
#include <memory>
#include <string>

#include "menu/menu_tree.h"

namespace pawlane {

class AccountService;
class AccountDialogs;
class BackgroundTasks;
class Clipboard;
class MainQueue;
class Settings;

struct AccountMenuDeps {
    AccountService& account;
    Settings& settings;
    AccountDialogs& dialogs;
    Clipboard& clipboard;
    MainQueue& queue;
    BackgroundTasks& tasks;
    std::function<void()> showSignIn;   // the sign-in window
    std::function<void()> rebuildPets;  // the pack, from the preferences
    std::function<void()> rebuildMenu;  // the whole status menu
};

class AccountMenu {
public:
    explicit AccountMenu(const AccountMenuDeps& deps);
    ~AccountMenu();
    AccountMenu(const AccountMenu&) = delete;
    AccountMenu& operator=(const AccountMenu&) = delete;

    // Appends the section; nothing at all in a build without a backend.
    void append(Menu& menu);

    void signInTapped();
    void signOutTapped();
    void deleteAccountTapped();
    void addFriendTapped();
    // `friendId` is what the "Remove Friend" item stands for; anything but a UUID does nothing.
    void removeFriendTapped(const std::string& friendId);
    void toggleFriendPets();
    void copyFriendCode();

private:
    void later(std::function<void()> fn);

    AccountMenuDeps d_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// What the status menu calls once per build, after the show/hide item.
void appendAccountMenuItems(Menu& menu, AccountMenu& account);

}  // namespace pawlane
