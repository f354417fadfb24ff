#include "GuiTestUtil.h"
#include "main/SpinButton.h"

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
    for (QAction* a : w.MenuScreenSize->actions()) {
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

    w.N400x300->trigger();
    QCOMPARE(checkedSize(w), w.N400x300);
    QCOMPARE(w.settings().windowSize, 400);
    QCOMPARE(w.scaleFactor(), 0.66);
    QCOMPARE(w.clientSize(), QSize(330, 98));
    QCOMPARE(w.centralWidget()->size(), QSize(330, 98));
    QCOMPARE(w.SearchFirstEdit->geometry(), QRect(174, 5, 46, 18));
    QCOMPARE(w.Label1->font().pixelSize(), 12);

    w.N1280x1024->trigger();
    QCOMPARE(w.clientSize(), QSize(1000, 298));
    QCOMPARE(w.SearchFirstEdit->geometry(), QRect(528, 16, 140, 54));
    QCOMPARE(w.TheSpinner->x(), w.SearchFirstCombo->x() + 90 + 25 + 10);

    w.N1024x768->trigger();
    QCOMPARE(w.clientSize(), QSize(800, 238));
    w.N480x360->trigger();
    QCOMPARE(w.clientSize(), QSize(375, 111));

    w.N640x480->trigger();
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
    QTest::keyClicks(w.SearchFirstEdit, "970");
    QStringList items = ItemTexts(w.AnswerBox);

    w.N400x300->trigger();
    QCOMPARE(w.clientSize(), QSize(330, 265)); // the layout's own full height
    QVERIFY(w.AnswerBox->isVisible());
    QVERIFY(w.ButtonCopy->isVisible());
    QCOMPARE(ItemTexts(w.AnswerBox), items);
    QCOMPARE(w.SearchFirstEdit->text(), QString("970"));
    QCOMPARE(w.SearchFirstEdit->width(), 46);

    // A search sets the full height by the factor itself.
    QTest::keyClicks(w.SearchFirstEdit, "0");
    QCOMPARE(w.clientSize(), QSize(330, 264));

    w.N1024x768->trigger();
    QCOMPARE(w.clientSize(), QSize(800, 642));
    QTest::keyClick(w.SearchFirstEdit, Qt::Key_Backspace);
    QCOMPARE(w.clientSize(), QSize(800, 641));
    w.SearchFirstEdit->clear();
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
    QAction* item = size == 800 ? w.N800x600 : size == 1024 ? w.N1024x768 : w.N1280x1024;
    item->trigger();
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("Error"));
    QCOMPARE(t.messages.boxes[0].text, text);
    QCOMPARE(checkedSize(w), w.N640x480);
    QCOMPARE(w.settings().windowSize, 640);
    QCOMPARE(w.clientSize(), QSize(500, 149));
    QCOMPARE(controlStates(w), before);
}

void TestSizes::sameSizeDoesNothing() {
    TestWindow t;
    TMainWin& w = t.open();
    QTest::keyClicks(w.SearchFirstEdit, "97");
    w.SearchFirstEdit->move(0, 0); // a restore of the layout would put this right
    w.N640x480->trigger();
    QCOMPARE(checkedSize(w), w.N640x480);
    QCOMPARE(w.SearchFirstEdit->pos(), QPoint(0, 0));
    QCOMPARE(w.clientSize(), QSize(500, 401));
}

void TestSizes::storedSizeTheScreenCouldNotShow() {
    TestWindow t;
    t.screen = {640, 480};
    t.writeIni("[Misc]\nWindow Size=800\n");
    TMainWin& w = t.open();
    w.N800x600->trigger();
    QVERIFY(t.messages.boxes.empty());
    QCOMPARE(checkedSize(w), w.N640x480);
    QCOMPARE(w.scaleFactor(), 1.0);
    w.N640x480->trigger();
    QCOMPARE(w.settings().windowSize, 640);
    QCOMPARE(checkedSize(w), w.N640x480);
    w.close();
    QCOMPARE(t.savedIni().get("Misc", "Window Size", "", 15), std::string("640"));
}

void TestSizes::chosenSizeIsStored() {
    TestWindow t;
    TMainWin& w = t.open();
    w.N1280x1024->trigger();
    w.close();
    QCOMPARE(t.savedIni().get("Misc", "Window Size", "", 15), std::string("1280"));

    TestWindow next;
    next.writeIni(t.savedIni().text());
    TMainWin& again = next.open();
    QCOMPARE(again.scaleFactor(), 2.0);
    QCOMPARE(checkedSize(again), again.N1280x1024);
    QCOMPARE(again.clientSize(), QSize(1000, 298));
}

void TestSizes::alwaysOnTop() {
    TestWindow t;
    TMainWin& w = t.open();
    w.MenuAlwaysOnTop->trigger();
    QVERIFY(w.MenuAlwaysOnTop->isChecked());
    QVERIFY(w.settings().alwaysOnTop);
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(w.isVisible());
    w.MenuAlwaysOnTop->trigger();
    QVERIFY(!w.MenuAlwaysOnTop->isChecked());
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
    for (QAction* a : {w.MenuCopy, w.MenuTimeZone, w.MenuAbout, w.MenuPreferences})
        detach(a);
    QSignalSpy copy(w.MenuCopy, &QAction::triggered);
    QSignalSpy timeZone(w.MenuTimeZone, &QAction::triggered);
    QSignalSpy about(w.MenuAbout, &QAction::triggered);

    // With "&Copy" switched off, Ctrl+C stays the field's own key.
    QTest::keyClicks(w.SearchFirstEdit, "97");
    QTest::keyClick(w.SearchFirstEdit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copy.count(), 0);

    QTest::keyClicks(w.SearchFirstEdit, "0");
    QTest::keyClick(w.SearchFirstEdit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copy.count(), 1);
    QTest::keyClick(w.SearchFirstEdit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(timeZone.count(), 1);
    QCOMPARE(w.SearchFirstEdit->text(), QString("970")); // no undo
    QTest::keyClick(w.SearchFirstEdit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(about.count(), 1);
    QVERIFY(!w.SearchFirstEdit->hasSelectedText());
    QTest::keyClick(w.SearchFirstEdit, Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(w.settings().windowSize, 400);

    // The state field and the city field give way the same.
    QTest::mouseClick(w.SearchState, Qt::LeftButton, {}, QPoint(6, 10));
    QTest::keyClicks(w.SearchFirstCombo, "ut");
    QTest::keyClick(w.SearchFirstCombo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(timeZone.count(), 2);
    QCOMPARE(w.SearchFirstCombo->currentText(), QString("UT"));
    QTest::keyClick(w.SearchFirstCombo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(about.count(), 2);
    QTest::keyClicks(w.SearchSecondEdit, "Sandy");
    QTest::keyClick(w.SearchSecondEdit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(timeZone.count(), 3);
    QCOMPARE(w.SearchSecondEdit->text(), QString("Sandy"));

    QTest::keyClick(w.SearchSecondEdit, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(w.ended());
    QCOMPARE(t.endings, 1);
    QCOMPARE(w.SearchSecondEdit->text(), QString("Sandy")); // nothing was cut
}

QTEST_MAIN(TestSizes)
#include "test_sizes.moc"
