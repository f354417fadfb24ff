#pragma once

#include <QString>

#include <functional>
#include <memory>

class Messages;
class QLocalServer;
class QLockFile;

// The name of the lock and socket of one graphical session: the user may run one copy on each
// display. `platform` is Qt's platform name ("xcb", "wayland", "offscreen"...); `x11Display` and
// `waylandDisplay` are DISPLAY and WAYLAND_DISPLAY. Characters a file name cannot hold safely
// become '_', so ":0" gives "corvana-x11-0" and "wayland-1" gives "corvana-wayland-wayland-1".
QString InstanceName(const QString& platform, const QString& x11Display,
                     const QString& waylandDisplay);

// The lock file that marks the user's running copy of the program on this display, in the
// runtime directory.
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
