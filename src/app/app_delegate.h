#pragma once
// The application object of the interactive mode: owns the strip, the status
// item, the world and the timers, and wires them together once at launch.
// Everything here runs on the main thread and sees the desktop only through
// the platform interfaces, so tests can drive it headless.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/world.h"
#include "custom/pet_designer.h"
#include "menu/status_menu.h"
#include "platform/repeating_timer.h"
#include "platform/screens.h"
#include "platform/session_events.h"
#include "platform/status_item.h"
#include "platform/strip_host.h"
#include "social/social.h"

namespace pawlane {

class AccountMenu;
class Browser;
class Updater;

struct AppServices {
    Settings& settings;
    const Clock& clock;
    Random& random;
    MainQueue& queue;
    Screens& screens;
    Desktop& desktop;
    StripHost& strip;
    StatusItem& statusItem;
    RepeatingTimers& timers;
    SessionEvents& session;
    SystemLog& log;
    TraceSink& trace;
    SocialLink& social;
    // Ends the event loop.
    std::function<void()> quit;
    // Developer test signals are honoured only when tracing was on at launch.
    bool testSignals = false;
    // The backend service behind `social`, when there is one: started at launch,
    // told about friends' pets and handed the sign-in callbacks.
    Social* socialService = nullptr;
    // The signed-in user's section of the menu.
    AccountMenu* accountMenu = nullptr;
    PetDesigner* designer = nullptr;
    std::function<void(DesignerHost*)> importFromCode;
    // The update function, in builds that carry an update feed.
    const Updater* updater = nullptr;
    Browser* browser = nullptr;
};

class AppDelegate final : private StripPointerHandler, private MenuHost, public SocialHost, public DesignerHost {
public:
    static constexpr double kTickSeconds = 1.0 / 30;
    static constexpr double kTickTolerance = 0.005;
    static constexpr double kSyncSeconds = 300;
    static constexpr double kSyncTolerance = 30;

    explicit AppDelegate(const AppServices& services);
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The launch sequence; once, after the event loop has started.
    void applicationDidFinishLaunching();
    // URLs handed to the program, in the order received; only "pawlane:" ones count.
    void openUrls(const std::vector<std::string>& urls);

    // The strip's height and rectangle at the current size setting, on the
    // primary screen; an empty rectangle while there is no screen.
    double stripHeight() const;
    RectF stripRect() const;
    // The species the status icon shows.
    Species statusSpecies() const;
    // Builds the status menu whole and refreshes the status icon.
    void rebuildMenu() override;
    // Discards every pet and builds the pack from the preferences.
    void rebuildPets() override;
    // Friends' pets changed: the world rebuilds the pack at its next quiet tick.
    void requestFriendRebuild() override;

    World* world() { return world_.get(); }
    StatusMenu* statusMenu() { return statusMenu_.get(); }

private:
    void mouseDown(PointF p, int clickCount) override;
    void mouseDragged(PointF p) override;
    void mouseUp(PointF p, int clickCount) override;
    void contextMenu(PointF p) override;
    void installMenu(const Menu& menu, const Species& iconSpecies) override;
    void showStrip() override;
    void hideStrip() override;
    void openDesigner() override;
    void addPetFromCode() override;
    void appendAccountMenuItems(Menu& menu) override;
    bool hasUpdater() const override;
    void checkForUpdates() override;
    void quit() override;
    void sessionEvent(SessionEvent e);

    AppServices s_;
    std::unique_ptr<World> world_;
    std::unique_ptr<StatusMenu> statusMenu_;
    bool launched_ = false;
};

}  // namespace pawlane
