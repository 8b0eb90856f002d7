#include "platform/qt/app_runner.h"

#include <QApplication>
#include <QStringList>

#include <cstdlib>

#include "app/app_delegate.h"
#include "app/updater.h"
#include "behaviour/social_link.h"
#include "custom/import_from_code.h"
#include "custom/pet_designer.h"
#include "platform/browser.h"
#include "platform/clipboard.h"
#include "social/account_dialogs.h"
#include "social/account_menu.h"
#include "social/login_window.h"
#include "social/social.h"
#include "social/social_config.h"
#include "platform/clock.h"
#include "platform/log.h"
#include "platform/qt/qt_main_queue.h"
#include "platform/qt/qt_screens.h"
#include "platform/qt/qt_timers.h"
#include "platform/qt/session_watch_qt.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/strip_window_qt.h"
#include "platform/qt/tray_status_item.h"
#include "platform/random.h"
#include "settings/settings.h"

namespace pawlane {

int runApplication(int argc, char** argv, const std::vector<std::string>& commandUrls, SocialLink* socialOverride) {
    // Wayland sessions run us through XWayland: the strip needs X11's window
    // stacking, shapes and global coordinates. The user's choice still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt's own event dispatcher wakes up less often than the GLib one, which
    // counts at thirty ticks a second; nothing here needs a GLib main loop.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pawlane"));
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList urls;
    for (const auto& url : commandUrls) urls.append(QString::fromStdString(url));

    SingleInstance instance;
    if (!instance.claim()) {
        // Another instance runs: it gets our URLs, and we leave without a word.
        if (!urls.isEmpty()) instance.forward(urls);
        return 0;
    }

    const bool testSignals = std::getenv("PAWLANE_TRACE") != nullptr;
    // Never destroyed: the cloud layer's threads may still be inside a request
    // at quit and post to it afterwards; closed, it drops that work.
    QtMainQueue& queue = *new QtMainQueue;
    QtScreens screens;
    QtStripWindow strip;
    TrayStatusItem statusItem;
    QtTimers timers;
    QtSessionWatch session;
    Settings& settings = Settings::shared();

    // The cloud layer: a real service when the build has a backend, else it stays quiet.
    Social& service = Social::createShared(settings, queue, systemBrowser());
    SocialLink& social = socialOverride ? *socialOverride : service;
    LoginWindow& login = LoginWindow::createShared({service, queue, service.tasks()});
    service.setOnLinkSignIn([&login] { login.hideIfBuilt(); });
    AppDelegate* delegateRef = nullptr;
    AccountMenu account({service, settings, systemAccountDialogs(), systemClipboard(), queue, service.tasks(),
                         [&login] { login.show(); }, [&delegateRef] { if (delegateRef) delegateRef->rebuildPets(); },
                         [&delegateRef] { if (delegateRef) delegateRef->rebuildMenu(); }});
    PetDesigner& designer = PetDesigner::createShared({settings, systemClipboard(), queue, social});

    AppServices services{settings, systemClock(), systemRandom(), queue, screens, screens,
                         strip, statusItem, timers, session, systemLog(), stderrTrace(), social,
                         [] { QApplication::quit(); }, testSignals, nullptr, nullptr, nullptr, {}, nullptr, nullptr};
    services.socialService = socialOverride ? nullptr : &service;
    services.accountMenu = &account;
    services.designer = &designer;
    services.importFromCode = [&settings](DesignerHost* host) {
        importFromCode(host, {settings, systemClipboard(), systemImportDialogs()});
    };
    static const Updater updater(resourceFolders());
    services.updater = &updater;
    services.browser = &systemBrowser();
    AppDelegate delegate(services);
    delegateRef = &delegate;

    instance.listen([&delegate](const QStringList& forwarded) {
        std::vector<std::string> list;
        for (const QString& url : forwarded) list.push_back(url.toStdString());
        delegate.openUrls(list);
    });
    QMetaObject::invokeMethod(
        &app,
        [&delegate, &commandUrls] {
            delegate.applicationDidFinishLaunching();
            delegate.openUrls(commandUrls);
        },
        Qt::QueuedConnection);
    QApplication::exec();
    queue.close();
    return 0;
}

}  // namespace pawlane
