#include "platform/qt/session_watch_qt.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <unistd.h>

namespace pawlane {
namespace {

const QString kLogin1 = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Path = QStringLiteral("/org/freedesktop/login1");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

}  // namespace

void QtSessionWatch::observe(std::function<void(SessionEvent)> handler, bool withTestSignals) {
    handler_ = std::move(handler);

    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        system.connect(kLogin1, kLogin1Path, QStringLiteral("org.freedesktop.login1.Manager"),
                       QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
        const QString session = ownSessionPath();
        if (!session.isEmpty()) {
            system.connect(kLogin1, session, kSessionInterface, QStringLiteral("Lock"), this, SLOT(sessionLock()));
            system.connect(kLogin1, session, kSessionInterface, QStringLiteral("Unlock"), this,
                           SLOT(sessionUnlock()));
            system.connect(kLogin1, session, QStringLiteral("org.freedesktop.DBus.Properties"),
                           QStringLiteral("PropertiesChanged"), this,
                           SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
        }
    }

    QDBusConnection user = QDBusConnection::sessionBus();
    if (user.isConnected()) {
        // Screen savers announce themselves under more than one name and path.
        for (const char* iface : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver", "org.mate.ScreenSaver",
                                  "org.cinnamon.ScreenSaver"})
            user.connect(QString(), QString(), QString::fromLatin1(iface), QStringLiteral("ActiveChanged"), this,
                         SLOT(screenSaverActiveChanged(bool)));
        if (withTestSignals) {
            user.connect(QString(), QString(), QStringLiteral("com.quillo.pawlane"), QStringLiteral("testAway"),
                         this, SLOT(testAway()));
            user.connect(QString(), QString(), QStringLiteral("com.quillo.pawlane"), QStringLiteral("testReturn"),
                         this, SLOT(testReturn()));
        }
    }
}

QString QtSessionWatch::ownSessionPath() const {
    QDBusInterface manager(kLogin1, kLogin1Path, QStringLiteral("org.freedesktop.login1.Manager"),
                           QDBusConnection::systemBus());
    if (!manager.isValid()) return {};
    manager.setTimeout(2000);
    QDBusReply<QDBusObjectPath> byPid = manager.call(QStringLiteral("GetSessionByPID"), quint32(getpid()));
    if (byPid.isValid()) return byPid.value().path();
    // Started outside a session (autostart helpers, ssh): the session we were given.
    const QByteArray id = qgetenv("XDG_SESSION_ID");
    if (id.isEmpty()) return {};
    QDBusReply<QDBusObjectPath> byId = manager.call(QStringLiteral("GetSession"), QString::fromUtf8(id));
    return byId.isValid() ? byId.value().path() : QString();
}

void QtSessionWatch::emitEvent(SessionEvent e) {
    if (handler_) handler_(e);
}

void QtSessionWatch::prepareForSleep(bool sleeping) {
    emitEvent(sleeping ? SessionEvent::WillSleep : SessionEvent::DidWake);
}

void QtSessionWatch::sessionLock() { emitEvent(SessionEvent::ScreenLocked); }
void QtSessionWatch::sessionUnlock() { emitEvent(SessionEvent::ScreenUnlocked); }

void QtSessionWatch::sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                              const QStringList&) {
    if (interface != kSessionInterface) return;
    const auto active = changed.find(QStringLiteral("Active"));
    if (active == changed.end()) return;
    emitEvent(active->toBool() ? SessionEvent::SessionActive : SessionEvent::SessionResigned);
}

void QtSessionWatch::screenSaverActiveChanged(bool active) {
    emitEvent(active ? SessionEvent::ScreenLocked : SessionEvent::ScreenUnlocked);
}

void QtSessionWatch::testAway() { emitEvent(SessionEvent::TestAway); }
void QtSessionWatch::testReturn() { emitEvent(SessionEvent::TestReturn); }

}  // namespace pawlane
