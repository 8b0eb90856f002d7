#include "app/app_delegate.h"

#include "app/opened_urls.h"
#include "app/strip_geometry.h"
#include "app/updater.h"
#include "settings/settings.h"
#include "settings/status_species.h"
#include "social/account_menu.h"

namespace pawlane {

AppDelegate::AppDelegate(const AppServices& services) : s_(services) {}

AppDelegate::~AppDelegate() { s_.strip.setPointerHandler(nullptr); }

double AppDelegate::stripHeight() const { return pawlane::stripHeight(s_.settings.scale()); }

RectF AppDelegate::stripRect() const {
    const auto screen = s_.screens.primary();
    if (!screen) return {};
    return pawlane::stripRect(*screen, s_.settings.scale());
}

Species AppDelegate::statusSpecies() const {
    return pawlane::statusSpecies(s_.settings);
}

void AppDelegate::applicationDidFinishLaunching() {
    if (launched_) return;
    launched_ = true;

    // The strip window and its view, brought to the front without activating anything.
    s_.strip.setFrameSource([this] { return stripRect(); });
    s_.strip.refreshFrame();
    world_ = std::make_unique<World>(WorldDeps{s_.settings, s_.clock, s_.random, s_.queue, s_.desktop, s_.strip,
                                               s_.log, s_.trace, s_.social});
    s_.strip.setPointerHandler(this);
    s_.strip.setShown(true);

    // The status item and its menu.
    statusMenu_ = std::make_unique<StatusMenu>(StatusMenuDeps{s_.settings, *world_, s_.random, s_.clock, *this});
    rebuildMenu();

    world_->rebuildPets();
    if (s_.settings.d.boolean(keys::petsHidden)) s_.strip.setShown(false);

    if (s_.socialService) s_.socialService->start(this);

    s_.screens.observe([this] { s_.strip.refreshFrame(); });
    s_.session.observe([this](SessionEvent e) { sessionEvent(e); }, s_.testSignals);

    s_.timers.every(kTickSeconds, kTickTolerance, [this] { world_->tick(); });
    s_.timers.every(kSyncSeconds, kSyncTolerance, [this] { s_.social.syncNow(); });
}

void AppDelegate::rebuildMenu() {
    if (statusMenu_) statusMenu_->rebuildMenu();
}

void AppDelegate::rebuildPets() {
    if (world_) world_->rebuildPets();
}

void AppDelegate::requestFriendRebuild() {
    if (world_) world_->friendRebuildPending = true;
}

void AppDelegate::openDesigner() {
    if (s_.designer) s_.designer->show(this);
}

void AppDelegate::addPetFromCode() {
    if (s_.importFromCode) s_.importFromCode(this);
}

void AppDelegate::appendAccountMenuItems(Menu& menu) {
    if (s_.accountMenu) pawlane::appendAccountMenuItems(menu, *s_.accountMenu);
}

bool AppDelegate::hasUpdater() const { return s_.updater && s_.updater->controller(); }

void AppDelegate::checkForUpdates() {
    if (s_.updater && s_.browser) s_.updater->checkForUpdates(*s_.browser);
}

void AppDelegate::installMenu(const Menu& menu, const Species& iconSpecies) {
    s_.statusItem.setMenu(menu);
    s_.statusItem.setIcon(iconSpecies);
}

void AppDelegate::showStrip() { s_.strip.setShown(true); }
void AppDelegate::hideStrip() { s_.strip.setShown(false); }
void AppDelegate::quit() { s_.quit(); }

void AppDelegate::openUrls(const std::vector<std::string>& urls) {
    for (const std::string& url : urls) {
        if (!isPawlaneUrl(url)) continue;
        s_.trace.trace("opened " + loggableUrl(url));
        if (s_.socialService) s_.socialService->handleCallback(url);
    }
}

void AppDelegate::sessionEvent(SessionEvent e) {
    if (!world_) return;
    switch (e) {
    case SessionEvent::WillSleep:
    case SessionEvent::SessionResigned:
    case SessionEvent::TestAway:
        world_->markAway();
        break;
    case SessionEvent::DidWake:
        world_->systemWoke();
        break;
    case SessionEvent::SessionActive:
    case SessionEvent::TestReturn:
        world_->markReturned();
        break;
    case SessionEvent::ScreenLocked:
        world_->screenLockChanged(true);
        break;
    case SessionEvent::ScreenUnlocked:
        world_->screenLockChanged(false);
        break;
    }
}

void AppDelegate::mouseDown(PointF p, int clickCount) {
    if (world_) world_->stripView().mouseDown(p, clickCount);
}

void AppDelegate::mouseDragged(PointF p) {
    if (world_) world_->stripView().mouseDragged(p);
}

void AppDelegate::mouseUp(PointF p, int clickCount) {
    if (world_) world_->stripView().mouseUp(p, clickCount);
}

void AppDelegate::contextMenu(PointF p) { s_.statusItem.popUpMenu(p); }

}  // namespace pawlane
