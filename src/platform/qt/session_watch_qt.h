#pragma once
// Away-and-return signals from D-Bus: logind on the system bus (sleep, the
// session's lock, unlock and active state), the screen saver on the session
// bus, and the developer test signals. A bus that is missing delivers nothing.
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "platform/session_events.h"

namespace pawlane {

class QtSessionWatch final : public QObject, public SessionEvents {
    Q_OBJECT
public:
    void observe(std::function<void(SessionEvent)> handler, bool withTestSignals) override;

private slots:
    void prepareForSleep(bool sleeping);
    void sessionLock();
    void sessionUnlock();
    void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&);
    void screenSaverActiveChanged(bool active);
    void testAway();
    void testReturn();

private:
    void emitEvent(SessionEvent e);
    QString ownSessionPath() const;

    std::function<void(SessionEvent)> handler_;
};

}  // namespace pawlane
