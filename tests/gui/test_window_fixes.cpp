// Faults a new user runs into: a radius changed without a word, a menu acting on another line
// than the one clicked, a second copy that leaves the running one hidden, a help window that
// reopens on the last search, and a window that does not come back where it was left.

#include "DialogTestUtil.h"

#include "main/app/SingleInstance.h"
#include "main/dialogs/NearbyRadius.h"
#include "main/help/HelpWindow.h"
#include "main/window/FramePlacement.h"
#include "mapwindow/MapWindow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <memory>
#include <optional>

using namespace corvana::test;

namespace {

const QSize Screen(1024, 768);

void Activate(QWidget& w) {
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Chooses `command` in the next popup menu that opens, as the Enter key would.
void WhenPopupChoose(const char* command) {
    QTimer::singleShot(0, [command] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            WhenPopupChoose(command);
            return;
        }
        for (QAction* a : menu->actions())
            if (a->objectName() == command)
                menu->setActiveAction(a);
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

void CloseNextPopup() {
    QTimer::singleShot(0, [] {
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
        else
            CloseNextPopup();
    });
}

// Runs the nearby command from the list's menu that `open` brings up, with the radius the
// dialog offers; the ZIP code the dialog names.
QString NearbyFromMenu(const std::function<void()>& open) {
    auto named = std::make_shared<QString>();
    WhenModal<TNearbyRadius>([named](TNearbyRadius& d) {
        *named = d.Label1->text().remove("&Miles Around ");
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    WhenPopupChoose("MenuNearby");
    open();
    return *named;
}

void RightClick(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &click);
}

QList<int> SelectedRows(const QListWidget* list) {
    QList<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            rows << i;
    return rows;
}

} // namespace

class TestWindowFixes : public QObject {
    Q_OBJECT
private slots:
    void radiusOutOfRangeOrEmptyKeepsTheDialogOpen();
    void listMenuActsOnTheLineItWasOpenedOn();
    void secondCopyBringsTheRunningWindowToTheFront();
    void helpReopensWithAnEmptySearch();
    void windowComesBackWhereItWasLeft();
    void titleAndMenuBarsAreMovedOntoTheScreen();
    void framesAreReachedAndPlacedBeside();
};

void TestWindowFixes::radiusOutOfRangeOrEmptyKeepsTheDialogOpen() {
    RecordingMessages messages;
    TNearbyRadius d("84101", 10, 1.0, Screen, messages);
    d.show();
    Activate(d);
    QCOMPARE(QApplication::focusWidget(), d.Miles);
    const QString refusal = "Error: The radius must be from 0.1 to 3000 miles.";

    // Every digit typed stays, and Enter on a radius out of range refuses it.
    QTest::keyClicks(d.Miles, "3001");
    QCOMPARE(d.Miles->cleanText(), QString("3001"));
    QTest::keyClick(d.Miles, Qt::Key_Return);
    QVERIFY(d.isVisible());
    QCOMPARE(Shown(messages), QStringList{refusal});
    QCOMPARE(QApplication::focusWidget(), d.Miles);

    // 0 is not taken for the last radius, neither is an empty field; Ok does as Enter does.
    d.Miles->selectAll();
    QTest::keyClicks(d.Miles, "0");
    QTest::keyClick(d.Miles, Qt::Key_Return);
    QVERIFY(d.isVisible());
    d.Miles->selectAll();
    QTest::keyClick(d.Miles, Qt::Key_Delete);
    QCOMPARE(d.Miles->cleanText(), QString());
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
    QVERIFY(d.isVisible());
    QCOMPARE(Shown(messages), (QStringList{refusal, refusal, refusal}));

    // Both ends of the range are radii.
    for (const char* typed : {"0.1", "3000"}) {
        d.show();
        d.Miles->setFocus();
        d.Miles->selectAll();
        QTest::keyClicks(d.Miles, typed);
        QTest::keyClick(d.Miles, Qt::Key_Return);
        QVERIFY2(!d.isVisible(), typed);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.miles(), QString(typed).toDouble());
    }
    QCOMPARE(messages.boxes.size(), std::size_t(3));
}

void TestWindowFixes::listMenuActsOnTheLineItWasOpenedOn() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    Activate(w);
    auto* list = Find<QListWidget>(w, "AnswerBox");
    auto* field = Find<QLineEdit>(w, "SearchFirstEdit");
    auto search = [&] {
        field->clear();
        QTest::keyClicks(field, "841");
        QVERIFY(list->count() >= 3);
    };
    auto zip = [&](int row) { return list->item(row)->text().left(5); };

    // A right click on a line that is not selected selects it alone and is its menu.
    search();
    const QString third = zip(2);
    QCOMPARE(NearbyFromMenu([&] { RightClick(list, 2); }), third);
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(),
             QString("Zip Codes Within 10 Miles Of %1").arg(third));

    search();
    list->item(1)->setSelected(true);
    CloseNextPopup();
    RightClick(list, 2);
    QCOMPARE(SelectedRows(list), QList<int>{2});
    QCOMPARE(list->currentRow(), 2);

    // On a line of the selection, the selection stays and the menu is that line's.
    search();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    QCOMPARE(NearbyFromMenu([&] { RightClick(list, 2); }), third);
    search();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    CloseNextPopup();
    RightClick(list, 2);
    QCOMPARE(SelectedRows(list), (QList<int>{0, 2}));

    // The keyboard's menu is the current line's, selected or not.
    search();
    list->item(0)->setSelected(true);
    list->setFocus();
    list->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    const QString second = zip(1);
    QCOMPARE(NearbyFromMenu([&] { QTest::keyClick(list, Qt::Key_Menu); }), second);

    // The menu bar's command keeps to the first selected line.
    search();
    list->item(2)->setSelected(true);
    WhenModal<TNearbyRadius>(
        [&](TNearbyRadius& d) { QCOMPARE(d.Label1->text(), "&Miles Around " + third); });
    Find<QAction>(w, "MenuNearby")->trigger();
    QVERIFY(t.messages.boxes.empty());
}

void TestWindowFixes::secondCopyBringsTheRunningWindowToTheFront() {
    TempDir dir;
    const QString path = QString::fromStdString(dir.str()) + "/corvana.lock";
    // A socket file left by a copy that crashed does not keep the next one deaf.
    dir.write("corvana.socket", "");
    RecordingMessages messages;
    auto first = TakeInstanceLock(path, messages);
    QVERIFY(first);
    int woken = 0;
    auto server = ListenForLaterCopies(path, [&] { ++woken; });
    QVERIFY(server->isListening());

    QVERIFY(!TakeInstanceLock(path, messages));
    QTRY_COMPARE(woken, 1);
    QCOMPARE(messages.texts(),
             QStringList{"Corvana is already running.  Hold down the ALT key and click on the "
                         "right mouse button to activate."});
    QVERIFY(!TakeInstanceLock(path, messages));
    QTRY_COMPARE(woken, 2);

    // With no one listening the message still comes, at once.
    server.reset();
    QVERIFY(!TakeInstanceLock(path, messages));
    QCOMPARE(messages.boxes.size(), std::size_t(3));

    // What the running copy does when it hears of another.
    TestWindow t;
    TMainWin& w = t.open();
    w.showMinimized();
    QVERIFY(w.windowState() & Qt::WindowMinimized);
    w.BringToFront();
    QVERIFY(!(w.windowState() & Qt::WindowMinimized));
    QVERIFY(w.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

void TestWindowFixes::helpReopensWithAnEmptySearch() {
    THelpWindow help(QString(CORVANA_BIN_DIR) + "/CORVA.HLP");
    QVERIFY(help.showContents());
    QTest::keyClicks(help.searchEdit(), "zone");
    QVERIFY(help.searchResults()->isVisible());
    help.browser()->setFocus();
    help.close();

    for (bool keyword : {false, true}) {
        QVERIFY(keyword ? help.showKeyword("Preferences") : help.showContents());
        QCOMPARE(help.searchEdit()->text(), QString());
        QVERIFY(help.searchResults()->isHidden());
        QCOMPARE(help.focusWidget(), help.searchEdit());
        QTest::keyClicks(help.searchEdit(), "print");
        help.close();
    }

    // A request while it is open keeps what the user is doing there.
    QVERIFY(help.showContents());
    QTest::keyClicks(help.searchEdit(), "zone");
    QVERIFY(help.showKeyword("Preferences"));
    QCOMPARE(help.searchEdit()->text(), QString("zone"));
}

void TestWindowFixes::windowComesBackWhereItWasLeft() {
    // Each window size on the smallest screen that holds it; the window where it was left,
    // away from the corner, and once at the corner itself.
    const struct {
        int size;
        QSize screen;
        QPoint left;
    } cases[] = {{400, {640, 480}, {37, 61}},    {480, {640, 480}, {0, 0}},
                 {640, {640, 480}, {90, 25}},    {800, {800, 600}, {12, 140}},
                 {1024, {1024, 768}, {150, 33}}, {1280, {1280, 1024}, {0, 300}}};
    for (const auto& c : cases) {
        TestWindow t(fixtureDir("points"));
        t.screen = c.screen;
        t.writeIni(QString("[Misc]\nWindow Size=%1\nMain Window Left=%2\nMain Window Top=%3\n")
                       .arg(c.size)
                       .arg(c.left.x())
                       .arg(c.left.y())
                       .toStdString());
        std::optional<QRect> first;
        for (int run = 0; run < 10; ++run) {
            TMainWin& w = t.open();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCoreApplication::processEvents();
            const QString at = QString("size %1, run %2").arg(c.size).arg(run);
            if (!first) {
                first = w.frameGeometry();
                QCOMPARE(first->topLeft(), c.left);
            }
            QVERIFY2(w.frameGeometry() == *first, qPrintable(at));
            // The map opens in one run and is still open at the next start, which closes it.
            QAction* map = Find<QAction>(w, "MenuMap");
            QCOMPARE(map->isChecked(), run % 2 == 1);
            map->trigger();
            QCOMPARE(map->isChecked(), run % 2 == 0);
            if (run % 2 == 0)
                QVERIFY(QTest::qWaitForWindowExposed(w.mapWindow()));
            w.close();
        }
        QVERIFY(t.messages.boxes.empty());
    }
}

void TestWindowFixes::titleAndMenuBarsAreMovedOntoTheScreen() {
    const QRect screen(0, 0, 1280, 1024);
    auto start = [](TestWindow& t, int left, int top) -> TMainWin& {
        t.writeIni(QString("[Misc]\nMain Window Left=%1\nMain Window Top=%2\n")
                       .arg(left)
                       .arg(top)
                       .toStdString());
        TMainWin& w = t.open();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("the window was not exposed");
        QCoreApplication::processEvents();
        return w;
    };
    {
        // The settings that the climbing window left.
        TestWindow t;
        TMainWin& w = start(t, 30, -20);
        QCOMPARE(w.frameGeometry().topLeft(), QPoint(30, 0));
        w.close();
        QCOMPARE(t.savedIni().get("Misc", "Main Window Top", "", 15), std::string("0"));
    }
    {
        // Wholly off to the right and below: back, whole, on the screen.
        TestWindow t;
        TMainWin& w = start(t, 5000, 5000);
        QVERIFY(screen.contains(w.frameGeometry().topLeft()));
        QVERIFY(w.frameGeometry().right() <= screen.right());
        QVERIFY(w.frameGeometry().top() + w.menuBar()->height() < screen.bottom());
    }
    {
        TestWindow t;
        TMainWin& w = start(t, -2000, 100);
        QCOMPARE(w.frameGeometry().topLeft(), QPoint(0, 100));
    }
    {
        // Half off the left edge, as a user may leave it, the title bar still in reach: it
        // stays.
        TestWindow t;
        TMainWin& w = start(t, -200, 100);
        QCOMPARE(w.frameGeometry().topLeft(), QPoint(-200, 100));
    }
}

void TestWindowFixes::framesAreReachedAndPlacedBeside() {
    // Frames of several window managers: a thin border with a 20-pixel title bar (openbox),
    // a title bar alone (metacity), a thick border and no frame at all.
    const QMargins frames[] = {{1, 20, 1, 1}, {0, 37, 0, 0}, {4, 28, 4, 4}, {}};
    const QRect small(0, 0, 1280, 1024), wide(0, 0, 2560, 1600);
    const QRect right(1280, 0, 1920, 1080);
    for (const QMargins& m : frames) {
        const QString at = QString("frame %1,%2").arg(m.left()).arg(m.top());
        const QSize main = QSize(500, 168).grownBy(m);
        const QSize phone = QSize(400, 272).grownBy(m);
        // A corner left on a screen stays, on the primary screen or the one to its right.
        QCOMPARE(ReachableFrame({200, 150}, main, m.top() + 21, {small}), QPoint(200, 150));
        QCOMPARE(ReachableFrame({1500, 40}, main, m.top() + 21, {small, right}), QPoint(1500, 40));
        // A title bar above the screen, or a frame beyond it, comes whole onto the primary one.
        QCOMPARE(ReachableFrame({-1, -20}, main, m.top() + 21, {small}), QPoint(0, 0));
        QCOMPARE(ReachableFrame({1270, 1020}, main, m.top() + 21, {small}),
                 QPoint(1280 - main.width(), 1024 - main.height()));

        // Beside the main frame, level with it: on its right when there is room.
        const QRect at0(QPoint(0, 0), main);
        QVERIFY2(FrameBeside(at0, phone, small) == QPoint(main.width(), 0), qPrintable(at));
        const QRect moved(QPoint(200, 150), main);
        QCOMPARE(FrameBeside(moved, phone, small), QPoint(200 + main.width(), 150));
        // Against the right edge: on its left.
        const QRect atRight(QPoint(1280 - main.width(), 300), main);
        QCOMPARE(FrameBeside(atRight, phone, small),
                 QPoint(1280 - main.width() - phone.width(), 300));
        // Low on the screen: raised so that the whole frame shows.
        const QRect low(QPoint(100, 900), main);
        QCOMPARE(FrameBeside(low, phone, small), QPoint(100 + main.width(), 1024 - phone.height()));
        // A main window nearly as wide as the screen: the side with more room, kept on it.
        const QRect broad(QPoint(60, 0), QSize(1200, 900).grownBy(m));
        const QPoint b = FrameBeside(broad, phone, small);
        QVERIFY2(b.x() >= 0 && b.x() + phone.width() <= 1280, qPrintable(at));
        QCOMPARE(b.x(), 0);
        // The largest screen: beside the window, not centred on the screen.
        QCOMPARE(FrameBeside(moved, phone, wide), QPoint(200 + main.width(), 150));
    }
}

QTEST_MAIN(TestWindowFixes)
#include "test_window_fixes.moc"
