#pragma once

#include <QString>

#include <functional>
#include <memory>

class Messages;
class QLocalServer;
class QLockFile;

// The lock file that marks the user's running copy of the program, in the runtime directory.
QString InstanceLockPath();
// The socket beside the lock on which the running copy hears that another one started.
QString InstanceSocketPath(const QString& lockPath);

// Takes the lock. When another copy holds it, asks that copy to come to the front, shows the
// already-running message and returns null: the program must then end without touching
// anything else.
std::unique_ptr<QLockFile> TakeInstanceLock(const QString& path, Messages& messages);

// Run by the copy that holds the lock: each later copy that starts makes `wake` run.
std::unique_ptr<QLocalServer> ListenForLaterCopies(const QString& lockPath,
                                                   std::function<void()> wake);
