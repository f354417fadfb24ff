#pragma once

#include <QString>

#include <memory>

class Messages;
class QLockFile;

// The lock file that marks the user's running copy of the program, in the runtime directory.
QString InstanceLockPath();

// Takes the lock. When another copy holds it, shows the already-running message and returns
// null: the program must then end without touching anything else.
std::unique_ptr<QLockFile> TakeInstanceLock(const QString& path, Messages& messages);
