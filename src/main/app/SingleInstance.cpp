#include "main/app/SingleInstance.h"

#include "main/app/Messages.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

QString InstanceLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + "/corvana.lock";
}

std::unique_ptr<QLockFile> TakeInstanceLock(const QString& path, Messages& messages) {
    auto lock = std::make_unique<QLockFile>(path);
    // A lock left by a copy that crashed is recognised by its dead process, never by age:
    // a copy may run for weeks.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    messages.message(nullptr, QString(),
                     "Corvana is already running.  Hold down the ALT key and click on the right "
                     "mouse button to activate.");
    return nullptr;
}
