#include "main/app/Messages.h"
#include "main/app/SingleInstance.h"
#include "main/window/MainWin.h"

#include <QApplication>
#include <QLocalServer>
#include <QLockFile>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The name the desktop lists the running program under ("Corvana 95") is the desktop
    // file's. No display name is set: Qt would put it after every window caption.
    QGuiApplication::setDesktopFileName("corvana");
    BoxMessages messages;

    const QString lockPath = InstanceLockPath();
    auto lock = TakeInstanceLock(lockPath, messages);
    if (!lock)
        return 0;

    QApplication::setWindowIcon(QIcon(":/corvana.png"));

    MainWinEnv env;
    env.messages = &messages;
    env.dataDir = corvana::ProgramDirectory();
    env.settingsPath = corvana::SettingsFilePath();
    env.screen = QGuiApplication::primaryScreen()->geometry().size();
    env.onEnd = [] { QCoreApplication::quit(); };

    TMainWin win(env);
    if (win.ended())
        return 1;
    auto server = ListenForLaterCopies(lockPath, [&win] { win.BringToFront(); });
    win.show();
    return app.exec();
}
