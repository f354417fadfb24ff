#include "main/MainWin.h"
#include "main/Messages.h"
#include "main/SingleInstance.h"

#include <QApplication>
#include <QLockFile>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt puts the display name after every window caption and gives an empty caption the
    // program's file name instead. An empty display name leaves every caption as the window
    // sets it, the empty one of the already-running message too. The name the desktop lists
    // the running program under ("Corvana 95") comes from the desktop file.
    QApplication::setApplicationDisplayName(QString());
    QGuiApplication::setDesktopFileName("corvana");
    BoxMessages messages;

    auto lock = TakeInstanceLock(InstanceLockPath(), messages);
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
    win.show();
    return app.exec();
}
