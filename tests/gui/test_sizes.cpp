#include "GuiTestUtil.h"
#include "main/widgets/SpinButton.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace corvana::test;

namespace {

struct ControlState {
    QString name;
    QRect geometry;
    int fontSize;
    bool hidden;
    bool enabled;
    bool operator==(const ControlState&) const = default;
};

QList<ControlState> controlStates(TMainWin& w) {
    QList<ControlState> out;
    for (QWidget* c : w.centralWidget()->findChildren<QWidget*>()) {
        if (c->objectName().isEmpty() || c->objectName().startsWith("qt_"))
            continue; // the inner parts of composite controls
        out.push_back(
            {c->objectName(), c->geometry(), c->font().pixelSize(), c->isHidden(), c->isEnabled()});
    }
    return out;
}

QAction* checkedSize(TMainWin& w) {
    QAction* checked = nullptr;
    for (QAction* a : Find<QMenu>(w, "MenuScreenSize")->actions()) {
        if (a->isChecked()) {
            if (checked)
                return nullptr; // two check marks
            checked = a;
        }
    }
    return checked;
}

// The actions that other parts of the program carry out open modal dialogs; a test of the
// shortcut only needs to see that the action fired.
void detach(QAction* a) {
    QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
}

} // namespace

class TestSizes : public QObject {
    Q_OBJECT
private slots:
    void sizesBackAndForthWithoutDrift();
    void sizeChangeWithResultsListed();
    void screenTooSmall_data();
    void screenTooSmall();
    void sameSizeDoesNothing();
    void storedSizeTheScreenCouldNotShow();
    void chosenSizeIsStored();
    void alwaysOnTop();
    void menuShortcutsBeatTheEditingKeys();
};

void TestSizes::sizesBackAndForthWithoutDrift() {
    TestWindow t;
    TMainWin& w = t.open();
    QList<ControlState> design = controlStates(w);
    QVERIFY(design.size() >= 23);

    Find<QAction>(w, "N400x300")->trigger();
    QCOMPARE(checkedSize(w), Find<QAction>(w, "N400x300"));
    QCOMPARE(w.settings().windowSize, 400);
    QCOMPARE(w.scaleFactor(), 0.66);
    QCOMPARE(w.clientSize(), QSize(330, 98));
    QCOMPARE(w.centralWidget()->size(), QSize(330, 98));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->geometry(), QRect(174, 5, 46, 18));
    QCOMPARE(Find<QLabel>(w, "Label1")->font().pixelSize(), 12);

    Find<QAction>(w, "N1280x1024")->trigger();
    QCOMPARE(w.clientSize(), QSize(1000, 298));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->geometry(), QRect(528, 16, 140, 54));
    QCOMPARE(Find<TSpinButton>(w, "TheSpinner")->x(),
             Find<QComboBox>(w, "SearchFirstCombo")->x() + 90 + 25 + 10);

    Find<QAction>(w, "N1024x768")->trigger();
    QCOMPARE(w.clientSize(), QSize(800, 238));
    Find<QAction>(w, "N480x360")->trigger();
    QCOMPARE(w.clientSize(), QSize(375, 111));

    Find<QAction>(w, "N640x480")->trigger();
    QCOMPARE(w.clientSize(), QSize(500, 149));
    QList<ControlState> now = controlStates(w);
    for (int i = 0; i < design.size(); ++i)
        QVERIFY2(now[i] == design[i], qPrintable(design[i].name));
    QCOMPARE(now.size(), design.size());
    QVERIFY(t.messages.boxes.empty());
}

void TestSizes::sizeChangeWithResultsListed() {
    TestWindow t;
    TMainWin& w = t.open();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "970");
    QStringList items = ItemTexts(Find<QListWidget>(w, "AnswerBox"));

    Find<QAction>(w, "N400x300")->trigger();
    QCOMPARE(w.clientSize(), QSize(330, 265)); // the layout's own full height
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->isVisible());
    QVERIFY(Find<QPushButton>(w, "ButtonCopy")->isVisible());
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), items);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString("970"));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->width(), 46);

    // A search sets the full height by the factor itself.
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "0");
    QCOMPARE(w.clientSize(), QSize(330, 264));

    Find<QAction>(w, "N1024x768")->trigger();
    QCOMPARE(w.clientSize(), QSize(800, 642));
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Backspace);
    QCOMPARE(w.clientSize(), QSize(800, 641));
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    QCOMPARE(w.clientSize(), QSize(800, 238));
}

void TestSizes::screenTooSmall_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("text");
    QTest::newRow("800") << 800 << QSize(799, 600)
                         << "Your current screen resolution does not support 800 x 600 pixels.";
    QTest::newRow("1024") << 1024 << QSize(1280, 767)
                          << "Your current screen resolution does not support 1024 x 768 pixels.";
    QTest::newRow("1280") << 1280 << QSize(1280, 1000)
                          << "Your current screen resolution does not support 1280 x 1024 "
                             "pixels.";
}

void TestSizes::screenTooSmall() {
    QFETCH(int, size);
    QFETCH(QSize, screen);
    QFETCH(QString, text);
    TestWindow t;
    t.screen = screen;
    TMainWin& w = t.open();
    QList<ControlState> before = controlStates(w);
    QAction* item = size == 800    ? Find<QAction>(w, "N800x600")
                    : size == 1024 ? Find<QAction>(w, "N1024x768")
                                   : Find<QAction>(w, "N1280x1024");
    item->trigger();
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("Error"));
    QCOMPARE(t.messages.boxes[0].text, text);
    QCOMPARE(checkedSize(w), Find<QAction>(w, "N640x480"));
    QCOMPARE(w.settings().windowSize, 640);
    QCOMPARE(w.clientSize(), QSize(500, 149));
    QCOMPARE(controlStates(w), before);
}

void TestSizes::sameSizeDoesNothing() {
    TestWindow t;
    TMainWin& w = t.open();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "97");
    Find<QLineEdit>(w, "SearchFirstEdit")
        ->move(0, 0); // a restore of the layout would put this right
    Find<QAction>(w, "N640x480")->trigger();
    QCOMPARE(checkedSize(w), Find<QAction>(w, "N640x480"));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->pos(), QPoint(0, 0));
    QCOMPARE(w.clientSize(), QSize(500, 401));
}

void TestSizes::storedSizeTheScreenCouldNotShow() {
    TestWindow t;
    t.screen = {640, 480};
    t.writeIni("[Misc]\nWindow Size=800\n");
    TMainWin& w = t.open();
    Find<QAction>(w, "N800x600")->trigger();
    QVERIFY(t.messages.boxes.empty());
    QCOMPARE(checkedSize(w), Find<QAction>(w, "N640x480"));
    QCOMPARE(w.scaleFactor(), 1.0);
    Find<QAction>(w, "N640x480")->trigger();
    QCOMPARE(w.settings().windowSize, 640);
    QCOMPARE(checkedSize(w), Find<QAction>(w, "N640x480"));
    w.close();
    QCOMPARE(t.savedIni().get("Misc", "Window Size", "", 15), std::string("640"));
}

void TestSizes::chosenSizeIsStored() {
    TestWindow t;
    TMainWin& w = t.open();
    Find<QAction>(w, "N1280x1024")->trigger();
    w.close();
    QCOMPARE(t.savedIni().get("Misc", "Window Size", "", 15), std::string("1280"));

    TestWindow next;
    next.writeIni(t.savedIni().text());
    TMainWin& again = next.open();
    QCOMPARE(again.scaleFactor(), 2.0);
    QCOMPARE(checkedSize(again), Find<QAction>(again, "N1280x1024"));
    QCOMPARE(again.clientSize(), QSize(1000, 298));
}

void TestSizes::alwaysOnTop() {
    TestWindow t;
    TMainWin& w = t.open();
    Find<QAction>(w, "MenuAlwaysOnTop")->trigger();
    QVERIFY(Find<QAction>(w, "MenuAlwaysOnTop")->isChecked());
    QVERIFY(w.settings().alwaysOnTop);
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(w.isVisible());
    Find<QAction>(w, "MenuAlwaysOnTop")->trigger();
    QVERIFY(!Find<QAction>(w, "MenuAlwaysOnTop")->isChecked());
    QVERIFY(!w.settings().alwaysOnTop);
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(w.isVisible());
    w.close();
    QCOMPARE(t.savedIni().get("Misc", "Always On Top", "", 15), std::string("No"));
}

void TestSizes::menuShortcutsBeatTheEditingKeys() {
    TestWindow t;
    TMainWin& w = t.open();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (QAction* a : {Find<QAction>(w, "MenuCopy"), Find<QAction>(w, "MenuTimeZone"),
                       Find<QAction>(w, "MenuAbout"), Find<QAction>(w, "MenuPreferences")})
        detach(a);
    QSignalSpy copy(Find<QAction>(w, "MenuCopy"), &QAction::triggered);
    QSignalSpy timeZone(Find<QAction>(w, "MenuTimeZone"), &QAction::triggered);
    QSignalSpy about(Find<QAction>(w, "MenuAbout"), &QAction::triggered);

    // With "&Copy" switched off, Ctrl+C stays the field's own key.
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "97");
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copy.count(), 0);

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "0");
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copy.count(), 1);
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(timeZone.count(), 1);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString("970")); // no undo
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(about.count(), 1);
    QVERIFY(!Find<QLineEdit>(w, "SearchFirstEdit")->hasSelectedText());
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(w.settings().windowSize, 400);

    // The state field and the city field give way the same.
    QTest::mouseClick(Find<QRadioButton>(w, "SearchState"), Qt::LeftButton, {}, QPoint(6, 10));
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo"), "ut");
    QTest::keyClick(Find<QComboBox>(w, "SearchFirstCombo"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(timeZone.count(), 2);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("UT"));
    QTest::keyClick(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit(), Qt::Key_A,
                    Qt::ControlModifier);
    QCOMPARE(about.count(), 2);
    QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "Sandy");
    QTest::keyClick(Find<QLineEdit>(w, "SearchSecondEdit"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(timeZone.count(), 3);
    QCOMPARE(Find<QLineEdit>(w, "SearchSecondEdit")->text(), QString("Sandy"));

    QTest::keyClick(Find<QLineEdit>(w, "SearchSecondEdit"), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(w.ended());
    QCOMPARE(t.endings, 1);
    QCOMPARE(Find<QLineEdit>(w, "SearchSecondEdit")->text(), QString("Sandy")); // nothing was cut
}

QTEST_MAIN(TestSizes)
#include "test_sizes.moc"
