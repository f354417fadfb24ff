#include "main/app/SingleInstance.h"

#include "main/app/Messages.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

// Long enough for a busy running copy to take the call, short enough that a hung one does not
// hold up the message.
constexpr int WakeTimeoutMs = 1000;

// Asks the running copy to come to the front; nothing happens when none listens.
void WakeRunningCopy(const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath, QIODevice::WriteOnly);
    if (!socket.waitForConnected(WakeTimeoutMs))
        return;
    socket.write("front\n");
    socket.waitForBytesWritten(WakeTimeoutMs);
    socket.disconnectFromServer();
}

} // namespace

QString InstanceLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + "/corvana.lock";
}

QString InstanceSocketPath(const QString& lockPath) {
    QString path = lockPath;
    if (path.endsWith(".lock"))
        path.chop(5);
    return path + ".socket";
}

std::unique_ptr<QLockFile> TakeInstanceLock(const QString& path, Messages& messages) {
    auto lock = std::make_unique<QLockFile>(path);
    // A lock left by a copy that crashed is recognised by its dead process, never by age:
    // a copy may run for weeks.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    WakeRunningCopy(InstanceSocketPath(path));
    messages.message(nullptr, QString(),
                     "Corvana is already running.  Hold down the ALT key and click on the right "
                     "mouse button to activate.");
    return nullptr;
}

std::unique_ptr<QLocalServer> ListenForLaterCopies(const QString& lockPath,
                                                   std::function<void()> wake) {
    const QString socketPath = InstanceSocketPath(lockPath);
    auto server = std::make_unique<QLocalServer>();
    // Only the user's own copies may call.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket file already there is one that a crashed copy left.
    if (!server->listen(socketPath)) {
        QLocalServer::removeServer(socketPath);
        server->listen(socketPath);
    }
    QLocalServer* s = server.get();
    QObject::connect(s, &QLocalServer::newConnection, s, [s, wake = std::move(wake)] {
        while (QLocalSocket* caller = s->nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            wake();
        }
    });
    return server;
}
