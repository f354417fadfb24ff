#include "main/MainWin.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Corvana 95");
    TMainWin win;
    win.show();
    return app.exec();
}
