#include "main/app/SingleInstance.h"

#include "main/app/Messages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QGuiApplication>
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

// A display name as part of a file name: letters, digits, '.' and '-' stay, anything else
// becomes '_'. A name too long for a socket path is cut and told apart by a digest of the whole.
QString FileSafe(const QString& name) {
    constexpr qsizetype MaxLength = 40;
    QString safe;
    for (QChar c : name) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
        safe += plain ? c : u'_';
    }
    if (safe.size() > MaxLength) {
        const QByteArray digest =
            QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
        safe = safe.left(MaxLength - digest.size() - 1) + u'_' + QString::fromLatin1(digest);
    }
    return safe;
}

// An X display is "host:number.screen"; the screens of one display are one session, and a
// local display (no host) is named by its number alone.
QString X11DisplayName(QString display) {
    const qsizetype colon = display.lastIndexOf(u':');
    const qsizetype dot = display.indexOf(u'.', colon + 1);
    if (colon >= 0 && dot > colon)
        display.truncate(dot);
    if (display.startsWith(u':'))
        display.remove(0, 1);
    return display;
}

} // namespace

QString InstanceName(const QString& platform, const QString& x11Display,
                     const QString& waylandDisplay) {
    QString session;
    if (platform == u"xcb")
        session = QStringLiteral("x11-") +
                  FileSafe(X11DisplayName(x11Display.isEmpty() ? ":0" : x11Display));
    else if (platform == u"wayland" || platform.startsWith(u"wayland-"))
        session = QStringLiteral("wayland-") +
                  FileSafe(waylandDisplay.isEmpty() ? "wayland-0" : waylandDisplay);
    else
        session = FileSafe(platform.isEmpty() ? "unknown" : platform);
    return QStringLiteral("corvana-") + session;
}

QString InstanceLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QString name =
        InstanceName(QGuiApplication::platformName(), qEnvironmentVariable("DISPLAY"),
                     qEnvironmentVariable("WAYLAND_DISPLAY"));
    return dir + u'/' + name + ".lock";
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
