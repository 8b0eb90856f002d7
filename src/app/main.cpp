#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/app_delegate.h"
#include "app/command_line.h"
#include "behaviour/social_link.h"
#include "devtools/export.h"
#include "devtools/selftest.h"
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

namespace {

using namespace pawlane;

int runInteractive(int argc, char** argv, const Command& command) {
    // Wayland sessions run us through XWayland: the strip needs X11's window
    // stacking, shapes and global coordinates. The user's choice still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pawlane"));
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList urls;
    for (const auto& url : command.urls) urls.append(QString::fromStdString(url));

    SingleInstance instance;
    if (!instance.claim()) {
        // Another instance runs: it gets our URLs, and we leave without a word.
        if (!urls.isEmpty()) instance.forward(urls);
        return 0;
    }

    const bool testSignals = std::getenv("PAWLANE_TRACE") != nullptr;
    QtMainQueue queue;
    QtScreens screens;
    QtStripWindow strip;
    TrayStatusItem statusItem;
    QtTimers timers;
    QtSessionWatch session;
    NoSocial social;
    AppDelegate delegate(AppServices{Settings::shared(), systemClock(), systemRandom(), queue, screens, screens,
                                     strip, statusItem, timers, session, systemLog(), stderrTrace(), social,
                                     [] { QApplication::quit(); }, testSignals});

    instance.listen([&delegate](const QStringList& forwarded) {
        std::vector<std::string> list;
        for (const QString& url : forwarded) list.push_back(url.toStdString());
        delegate.openUrls(list);
    });
    QMetaObject::invokeMethod(
        &app,
        [&delegate, &command] {
            delegate.applicationDidFinishLaunching();
            delegate.openUrls(command.urls);
        },
        Qt::QueuedConnection);
    QApplication::exec();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pawlane;
    const Command command = parseCommandLine(std::vector<std::string>(argv, argv + argc));
    switch (command.kind) {
    case Command::Kind::SelfTest:
        return selfTest(std::cout);
    case Command::Kind::DumpFrames:
        dumpFrames(command.path, std::cout);
        return 0;
    case Command::Kind::MakeIcon:
        makeIcon(command.path, std::cout);
        return 0;
    case Command::Kind::Interactive:
        break;
    }
    return runInteractive(argc, argv, command);
}
