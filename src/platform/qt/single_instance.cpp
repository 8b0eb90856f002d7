#include "platform/qt/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace pawlane {
namespace {

// A forwarded message is a few URLs; anything longer is not from us.
constexpr qint64 kMaxMessage = 64 * 1024;

bool ownedSocket(const QString& path) {
    struct stat st{};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISSOCK(st.st_mode) && st.st_uid == getuid();
}

}  // namespace

QString instanceSocketPath() {
    QString dir = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir) || !QDir(dir).exists()) dir = QDir::tempPath();
    return dir + QStringLiteral("/com.quillo.pawlane-") + QString::number(getuid());
}

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() { delete lock_; }

bool SingleInstance::claim() {
    lock_ = new QLockFile(instanceSocketPath() + QStringLiteral(".lock"));
    // Staleness by the recorded process only, never by age: the lock is held
    // for as long as the instance runs. A crashed instance's lock is taken over.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

bool SingleInstance::forward(const QStringList& urls) const {
    const QString path = instanceSocketPath();
    // The running instance may still be starting up: give it a moment.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (ownedSocket(path)) {
            QLocalSocket socket;
            socket.connectToServer(path);
            if (socket.waitForConnected(300)) {
                socket.write(urls.join(QLatin1Char('\n')).toUtf8() + '\n');
                socket.waitForBytesWritten(500);
                socket.disconnectFromServer();
                if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(300);
                return true;
            }
        }
        QThread::msleep(100);
    }
    return false;
}

void SingleInstance::listen(std::function<void(const QStringList&)> onUrls) {
    const QString path = instanceSocketPath();
    QLocalServer::removeServer(path);  // we hold the lock: any socket there is stale
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) return;
    connect(server_, &QLocalServer::newConnection, this, [this, onUrls] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
                buffer->append(socket->readAll());
                if (buffer->size() > kMaxMessage) socket->abort();
            });
            connect(socket, &QLocalSocket::disconnected, socket, [socket, buffer, onUrls] {
                buffer->append(socket->readAll());
                socket->deleteLater();
                if (buffer->size() > kMaxMessage) return;
                QStringList urls;
                for (const QByteArray& line : buffer->split('\n'))
                    if (!line.isEmpty()) urls.append(QString::fromUtf8(line));
                if (!urls.isEmpty()) onUrls(urls);
            });
        }
    });
}

}  // namespace pawlane
