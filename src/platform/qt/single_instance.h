#pragma once
// One interactive instance per user. The first start holds a lock and listens
// on a per-user local socket; a later start finds the lock taken, hands its
// opened URLs over that socket and leaves. The socket lives in the user's
// private runtime folder when there is one, and a newcomer only talks to a
// socket owned by its own user: the URLs carry sign-in codes.
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLockFile;

namespace pawlane {

// "com.quillo.pawlane-<uid>" in $XDG_RUNTIME_DIR, else in the temporary folder.
QString instanceSocketPath();

class SingleInstance final : public QObject {
public:
    SingleInstance();
    ~SingleInstance() override;

    // True when this process is now the running instance.
    bool claim();
    // As the newcomer: hands the URLs to the running instance. False when it
    // could not be reached.
    bool forward(const QStringList& urls) const;
    // As the running instance: receives URLs forwarded later, on the main thread.
    void listen(std::function<void(const QStringList&)> onUrls);

private:
    QLockFile* lock_ = nullptr;
    QLocalServer* server_ = nullptr;
};

}  // namespace pawlane
