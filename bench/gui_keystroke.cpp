// Times the desktop window on the real data set: from creating the main window to its being
// shown, and from the last keystroke of the heaviest query of each search mode to the results
// list filled and painted; then with the map window open, to the list and the map painted, and
// the map's opening and one repaint after a zoom. Usage: gui_keystroke [DATA_DIR] [REPEATS]
#include "main/app/Messages.h"
#include "main/window/MainWin.h"
#include "mapwindow/MapWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// The window's controls are its own; the bench finds them by the names they carry.
template <class T> T* Find(const QObject& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

class PrintedMessages : public Messages {
public:
    void message(QWidget*, const QString& caption, const QString& text) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
    }
    bool question(QWidget*, const QString&, const QString&) override { return true; }
};

struct Case {
    const char* name;
    int mode;
    QString state; // State mode only
    QString text;  // typed before the timed keystroke...
    char last;     // ...which is this one
};

// How long this process has run, from the kernel's record of its start (10 ms steps): covers
// loading the program and its libraries, which no timer inside main() can see.
double processAgeMs() {
    std::FILE* stat = std::fopen("/proc/self/stat", "r");
    std::FILE* uptime = std::fopen("/proc/uptime", "r");
    double age = -1;
    unsigned long long start = 0;
    double up = 0;
    if (stat && uptime && std::fscanf(uptime, "%lf", &up) == 1) {
        char buf[4096];
        std::size_t n = std::fread(buf, 1, sizeof buf - 1, stat);
        buf[n] = 0;
        // Field 22, counted after the command name, which ends with the last ')'.
        const char* p = std::strrchr(buf, ')');
        for (int field = 2; p && field < 22; ++field)
            p = std::strchr(p + 1, ' ');
        if (p && std::sscanf(p + 1, "%llu", &start) == 1)
            age = (up - double(start) / double(sysconf(_SC_CLK_TCK))) * 1000.0;
    }
    if (stat)
        std::fclose(stat);
    if (uptime)
        std::fclose(uptime);
    return age;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    PrintedMessages messages;

    MainWinEnv env;
    env.messages = &messages;
    env.dataDir = argc > 1 ? argv[1] : CORVANA_BIN_DIR;
    env.settingsPath = config.filePath("CORVANA.INI").toStdString();
    env.screen = {1280, 1024};
    int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    QElapsedTimer timer;
    timer.start();
    TMainWin win(env);
    if (win.ended())
        return 1;
    win.show();
    win.repaint();
    double startMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("window created, data loaded and shown: %.2f ms\n", startMs);
    std::printf("from main() to the window shown:        %.2f ms\n",
                double(sinceMain.nsecsElapsed()) / 1e6);
    std::printf("from process start to the window shown: %.0f ms (10 ms steps)\n\n",
                processAgeMs());

    // The ZIP prefix with the longest block is the heaviest three-digit query.
    int widest = 0;
    for (int p = 0; p < 1000; ++p)
        if (win.data().zipIndex[p].count > win.data().zipIndex[widest].count)
            widest = p;
    QString zip = QString::number(widest).rightJustified(3, '0');

    const Case cases[] = {
        {"Zip Code", 1, {}, zip.left(2), zip[2].toLatin1()},
        {"City", 2, {}, "NE", 'W'},
        {"State CA, city", 3, "CA", "S", 'A'},
        {"County", 4, {}, "SA", 'N'},
        {"Area Code", 5, {}, "30", '4'},
        // Lists of places, which the map outlines rather than dots.
        {"City, cities", 2, {}, "S", 'A'},
        {"County, counties", 4, {}, "", 'S'},
    };
    QRadioButton* buttons[] = {
        Find<QRadioButton>(win, "SearchZip"), Find<QRadioButton>(win, "SearchCity"),
        Find<QRadioButton>(win, "SearchState"), Find<QRadioButton>(win, "SearchCounty"),
        Find<QRadioButton>(win, "SearchArea")};

    // Each mode's heaviest query, timed from its last keystroke to what is shown painted.
    auto runCases = [&](TMapWin* map) {
        std::printf("%-16s %-8s %7s %7s %12s %12s\n", "mode", "query", "items", "dots", "median ms",
                    "max ms");
        for (const Case& c : cases) {
            buttons[c.mode - 1]->setChecked(true);
            QLineEdit* edit = Find<QLineEdit>(win, "SearchFirstEdit");
            if (c.mode == 3) {
                Find<QComboBox>(win, "SearchFirstCombo")->setEditText(c.state);
                edit = Find<QLineEdit>(win, "SearchSecondEdit");
            }
            std::vector<double> times;
            for (int i = 0; i < repeats; ++i) {
                edit->setText(c.text);
                QElapsedTimer t;
                t.start();
                QTest::keyClick(edit, c.last);
                win.repaint();
                if (map)
                    map->view()->repaint();
                times.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            QString query = (c.mode == 3 ? c.state + "/" : QString()) + c.text + QChar(c.last);
            std::printf("%-16s %-8s %7d %7zu %12.2f %12.2f\n", c.name, qPrintable(query),
                        Find<QListWidget>(win, "AnswerBox")->count(),
                        map ? map->view()->canvas().content().dots.size() : std::size_t(0),
                        median(times), *std::max_element(times.begin(), times.end()));
        }
    };
    std::printf("The map closed:\n");
    runCases(nullptr);

    // Opening reads the outlines and the locations, fits the view to the list and paints it.
    QElapsedTimer opening;
    opening.start();
    Find<QAction>(win, "MenuMap")->trigger();
    TMapWin* map = win.mapWindow();
    map->view()->repaint();
    const double openMs = double(opening.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    std::printf("\nthe map opened and painted (%dx%d): %.2f ms\n\nThe map open:\n",
                map->view()->width(), map->view()->height(), openMs);
    runCases(map);

    // County "SAN" listed again, zoomed in and out.
    buttons[3]->setChecked(true);
    Find<QLineEdit>(win, "SearchFirstEdit")->setText("SAN");
    std::vector<double> zooms;
    for (int i = 0; i < repeats; ++i) {
        map->view()->canvas().key(i % 2 ? Qt::Key_Minus : Qt::Key_Plus);
        QElapsedTimer t;
        t.start();
        map->view()->repaint();
        zooms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("\none map repaint after a zoom (County SAN, %zu dots): median %.2f ms, max "
                "%.2f ms\n",
                map->view()->canvas().content().dots.size(), median(zooms),
                *std::max_element(zooms.begin(), zooms.end()));
    return 0;
}
