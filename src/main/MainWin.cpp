#include "main/MainWin.h"

TMainWin::TMainWin(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Corvana");
    resize(500, 149);
}
