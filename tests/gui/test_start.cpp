#include "DialogTestUtil.h"
#include "main/dialogs/SetTimeZone.h"
#include "main/widgets/SpinButton.h"

#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace corvana::test;

namespace {

std::string misc(const TestWindow& t, std::string_view key) {
    return t.savedIni().get("Misc", key, "<missing>", 15);
}

QStringList comboItems(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QStringList actionTexts(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        QString text = a->isSeparator() ? "-" : a->text();
        if (!a->shortcut().isEmpty())
            text += " " + a->shortcut().toString();
        out << text;
    }
    return out;
}

const QStringList SmallAbbreviations = {"AE", "AZ", "CO", "CT", "HI", "IL", "MA",
                                        "NM", "NY", "OK", "OR", "TX", "UT"};

} // namespace

class TestStart : public QObject {
    Q_OBJECT
private slots:
    void withoutSettingsFile();
    void controlsAsDesigned();
    void menuTree();
    void tooLargeOrUnknownWindowSize_data();
    void tooLargeOrUnknownWindowSize();
    void smallestSize();
    void lastSearchOutOfRange_data();
    void lastSearchOutOfRange();
    void storedStateOfTheWindow();
    void daylightIsDecidedAtShow();
    void firstRunTakesTheSystemZone();
    void fatalDataErrorBeforeTheWindowAppears();
    void everyFatalMessageButOneEnding();
    void partialRecordAtStartIsReportedAndTheProgramGoesOn();
    void closeStoresPositionAndSettings();
    void closeWhenTheSettingsCannotBeSaved();
};

void TestStart::withoutSettingsFile() {
    TestWindow t;
    TMainWin& w = t.open();
    QVERIFY(t.messages.boxes.empty());
    QVERIFY(w.isVisible());
    QCOMPARE(w.windowTitle(), QString("Corvana"));
    QCOMPARE(w.pos(), QPoint(0, 0));
    QCOMPARE(w.scaleFactor(), 1.0);
    QCOMPARE(w.clientSize(), QSize(500, 149));
    QCOMPARE(w.centralWidget()->size(), QSize(500, 149));
    for (QAction* a : Find<QMenu>(w, "MenuScreenSize")->actions())
        QCOMPARE(a->isChecked(), a == Find<QAction>(w, "N640x480"));
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!Find<QAction>(w, "MenuAlwaysOnTop")->isChecked());
    QCOMPARE(w.searchMode(), 1);
    QVERIFY(Find<QRadioButton>(w, "SearchZip")->isChecked());
    QVERIFY(Find<QRadioButton>(w, "AllStates")->isChecked());
    QVERIFY(!Find<QRadioButton>(w, "SingleState")->isChecked());
    QCOMPARE(Find<QComboBox>(w, "StateCombo")->currentIndex(), -1);
    // Nothing is written before the window closes.
    QVERIFY(!std::filesystem::exists(t.iniPath()));

    w.close();
    QCOMPARE(t.endings, 1);
    corvana::IniFile ini = t.savedIni();
    QCOMPARE(ini.get("Misc", "Window Size", "", 15), std::string("640"));
    QCOMPARE(ini.get("Misc", "Last Search", "", 15), std::string("1"));
    QCOMPARE(ini.get("Misc", "All State", "", 15), std::string("Yes"));
    QCOMPARE(ini.get("Preferences", "Show County", "", 15), std::string("Yes"));
    QCOMPARE(ini.get("Print Font", "Font Name", "", 150), std::string("Arial"));
    QCOMPARE(ini.get("Time Zone", "Time Zone", "", 15), std::string("8"));
}

void TestStart::controlsAsDesigned() {
    TestWindow t;
    TMainWin& w = t.open();

    QCOMPARE(Find<QFrame>(w, "SearchPanel")->geometry(), QRect(4, 4, 149, 141));
    QCOMPARE(Find<QRadioButton>(w, "SearchArea")->geometry(), QRect(12, 116, 113, 21));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->geometry(), QRect(264, 8, 70, 27));
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->geometry(), QRect(4, 176, 493, 189));
    QCOMPARE(Find<QPushButton>(w, "ButtonCopy")->geometry(), QRect(340, 368, 157, 29));
    QCOMPARE(Find<QPushButton>(w, "ButtonPrint")->geometry(), QRect(236, 368, 96, 29));
    QCOMPARE(Find<QCheckBox>(w, "RangeSelect")->geometry(), QRect(8, 372, 173, 21));
    // The state field and its spinner take the place of the first field.
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->geometry(), QRect(264, 8, 70, 27));
    QCOMPARE(Find<TSpinButton>(w, "TheSpinner")->geometry(), QRect(344, 8, 20, 27));
    QCOMPARE(Find<QFrame>(w, "StatePanel")->geometry(), QRect(256, 40, 141, 97));
    QCOMPARE(Find<QComboBox>(w, "StateCombo")->geometry(), QRect(40, 60, 65, 27));
    QCOMPARE(Find<QFrame>(w, "Bevel1")->geometry(), QRect(156, 4, 341, 141));
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->geometry(), QRect(4, 148, 493, 25));

    QCOMPARE(Find<QLabel>(w, "Label1")->text(), QString("Search By"));
    QCOMPARE(Find<QLabel>(w, "SearchFirstLabel")->text(), QString("Zip Code"));
    QCOMPARE(Find<QLabel>(w, "SearchSecondLabel")->text(), QString("City"));
    QCOMPARE(Find<QPushButton>(w, "ButtonCopy")->text(), QString("Cop&y To Clipboard"));
    QCOMPARE(Find<QCheckBox>(w, "RangeSelect")->text(), QString("&Range Selecting"));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->maxLength(), 5);
    QCOMPARE(Find<QLineEdit>(w, "SearchSecondEdit")->maxLength(), 30);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit()->maxLength(), 2);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->maxVisibleItems(), 18);
    QCOMPARE(Find<QComboBox>(w, "StateCombo")->maxVisibleItems(), 13);
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->selectionMode(), QAbstractItemView::MultiSelection);
    QVERIFY(!Find<QListWidget>(w, "AnswerBox")->isSortingEnabled());

    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->font().family(), QString("Arial"));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->font().pixelSize(), 17);
    QCOMPARE(Find<QLabel>(w, "Label1")->font().pixelSize(), 18);
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->font().pixelSize(), 15);
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->font().pixelSize(), 20);
    QVERIFY(Find<QLabel>(w, "AnswerBoxLabel")->font().bold());

    for (QWidget* shown : {static_cast<QWidget*>(Find<QFrame>(w, "SearchPanel")),
                           static_cast<QWidget*>(Find<QFrame>(w, "Bevel1")),
                           static_cast<QWidget*>(Find<QLineEdit>(w, "SearchFirstEdit")),
                           static_cast<QWidget*>(Find<QLabel>(w, "SearchFirstLabel"))})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    for (QWidget* hidden : {static_cast<QWidget*>(Find<QLineEdit>(w, "SearchSecondEdit")),
                            static_cast<QWidget*>(Find<QListWidget>(w, "AnswerBox")),
                            static_cast<QWidget*>(Find<QPushButton>(w, "ButtonCopy")),
                            static_cast<QWidget*>(Find<QPushButton>(w, "ButtonPrint")),
                            static_cast<QWidget*>(Find<QCheckBox>(w, "RangeSelect")),
                            static_cast<QWidget*>(Find<QComboBox>(w, "SearchFirstCombo")),
                            static_cast<QWidget*>(Find<TSpinButton>(w, "TheSpinner")),
                            static_cast<QWidget*>(Find<QFrame>(w, "StatePanel")),
                            static_cast<QWidget*>(Find<QLabel>(w, "SearchSecondLabel"))}) {
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        if (hidden != Find<QLabel>(w, "SearchSecondLabel"))
            QVERIFY2(!hidden->isEnabled(), qPrintable(hidden->objectName()));
    }
    QVERIFY(!Find<QAction>(w, "MenuPrint")->isEnabled());
    QVERIFY(!Find<QAction>(w, "MenuCopy")->isEnabled());
    QCOMPARE(Find<QFrame>(w, "Bevel1")->focusPolicy(), Qt::NoFocus);

    // Tab order: the mode buttons, the state field and its spinner where State mode shows
    // them, the two fields, the list and its controls, the state filter.
    QList<QWidget*> expected = {Find<QRadioButton>(w, "SearchZip"),
                                Find<QRadioButton>(w, "SearchCity"),
                                Find<QRadioButton>(w, "SearchState"),
                                Find<QRadioButton>(w, "SearchCounty"),
                                Find<QRadioButton>(w, "SearchArea"),
                                Find<QComboBox>(w, "SearchFirstCombo"),
                                Find<TSpinButton>(w, "TheSpinner")->upButton(),
                                Find<TSpinButton>(w, "TheSpinner")->downButton(),
                                Find<QLineEdit>(w, "SearchFirstEdit"),
                                Find<QLineEdit>(w, "SearchSecondEdit"),
                                Find<QListWidget>(w, "AnswerBox"),
                                Find<QCheckBox>(w, "RangeSelect"),
                                Find<QPushButton>(w, "ButtonPrint"),
                                Find<QPushButton>(w, "ButtonCopy"),
                                Find<QRadioButton>(w, "AllStates"),
                                Find<QRadioButton>(w, "SingleState"),
                                Find<QComboBox>(w, "StateCombo")};
    QList<QWidget*> chain;
    QWidget* next = Find<QRadioButton>(w, "SearchZip");
    do {
        if (expected.contains(next) && !chain.contains(next))
            chain << next;
        next = next->nextInFocusChain();
    } while (next != Find<QRadioButton>(w, "SearchZip"));
    QCOMPARE(chain, expected);
}

void TestStart::menuTree() {
    TestWindow t;
    TMainWin& w = t.open();
    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Configure", "&Help"}));
    QCOMPARE(actionTexts(Find<QMenu>(w, "MenuFile")),
             (QStringList{"Screen Si&ze", "-", "&Print Ctrl+P", "Printer &Setup Ctrl+S", "-",
                          "&Map Ctrl+M", "-", "E&xit Ctrl+X"}));
    QCOMPARE(actionTexts(Find<QMenu>(w, "MenuScreenSize")),
             (QStringList{"400 x 300 Ctrl+F1", "480 x 360 Ctrl+F2", "&640 x 480 Ctrl+F3",
                          "&800 x 600 Ctrl+F4", "&1024 x 768 Ctrl+F5", "1&280 x 1024 Ctrl+F6"}));
    QCOMPARE(actionTexts(Find<QMenu>(w, "MenuEdit")),
             (QStringList{"&Copy Ctrl+C", QString::fromUtf8("&Nearby Zip Codes\u2026 Ctrl+E"),
                          QString::fromUtf8("Zip Code &Details\u2026"),
                          QString::fromUtf8("&Phone Number\u2026 Ctrl+T")}));
    QCOMPARE(
        actionTexts(Find<QMenu>(w, "MenuConfigure")),
        (QStringList{"&Always On Top Ctrl+W", "-", "&Preferences Ctrl+R", "&Time Zone Ctrl+Z"}));
    QCOMPARE(actionTexts(Find<QMenu>(w, "MenuHelp")),
             (QStringList{"&Contents Ctrl+N", "&About Ctrl+A", "&Zip Data Version Ctrl+D",
                          "&Updates Ctrl+U", "&Other Products"}));
}

void TestStart::tooLargeOrUnknownWindowSize_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QSize>("screen");
    QTest::newRow("800 on 640x480") << "800" << QSize(640, 480);
    QTest::newRow("1024 on 1024x600") << "1024" << QSize(1024, 600);
    QTest::newRow("1280 on 1280x960") << "1280" << QSize(1280, 960);
    QTest::newRow("700") << "700" << QSize(1920, 1080);
}

void TestStart::tooLargeOrUnknownWindowSize() {
    QFETCH(QString, stored);
    QFETCH(QSize, screen);
    TestWindow t;
    t.screen = screen;
    t.writeIni("[Misc]\nWindow Size=" + stored.toStdString() + "\n");
    TMainWin& w = t.open();
    QCOMPARE(w.scaleFactor(), 1.0);
    QCOMPARE(w.clientSize(), QSize(500, 149));
    for (QAction* a : Find<QMenu>(w, "MenuScreenSize")->actions())
        QCOMPARE(a->isChecked(), a == Find<QAction>(w, "N640x480"));
    w.close();
    QCOMPARE(misc(t, "Window Size"), stored.toStdString());
}

void TestStart::smallestSize() {
    TestWindow t;
    t.screen = {400, 300};
    t.writeIni("[Misc]\nWindow Size=400\n");
    TMainWin& w = t.open();
    QCOMPARE(w.scaleFactor(), 0.66);
    QVERIFY(Find<QAction>(w, "N400x300")->isChecked());
    QVERIFY(!Find<QAction>(w, "N640x480")->isChecked());
    QCOMPARE(w.clientSize(), QSize(330, 98));
    QCOMPARE(w.centralWidget()->size(), QSize(330, 98));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->geometry(), QRect(174, 5, 46, 18));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->font().pixelSize(), 11);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->width(), 29 + 25);
    QCOMPARE(Find<QComboBox>(w, "StateCombo")->width(), 29 + 20);
    QCOMPARE(Find<TSpinButton>(w, "TheSpinner")->x(),
             Find<QComboBox>(w, "SearchFirstCombo")->x() +
                 Find<QComboBox>(w, "SearchFirstCombo")->width() + 10);
}

void TestStart::lastSearchOutOfRange_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mode");
    QTest::newRow("0") << "0" << 1;
    QTest::newRow("6") << "6" << 1;
    QTest::newRow("-1") << "-1" << 1;
    QTest::newRow("4") << "4" << 4;
}

void TestStart::lastSearchOutOfRange() {
    QFETCH(QString, stored);
    QFETCH(int, mode);
    TestWindow t;
    t.writeIni("[Misc]\nLast Search=" + stored.toStdString() + "\n");
    TMainWin& w = t.open();
    QCOMPARE(w.searchMode(), mode);
    QRadioButton* buttons[] = {
        Find<QRadioButton>(w, "SearchZip"), Find<QRadioButton>(w, "SearchCity"),
        Find<QRadioButton>(w, "SearchState"), Find<QRadioButton>(w, "SearchCounty"),
        Find<QRadioButton>(w, "SearchArea")};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(buttons[i]->isChecked(), i == mode - 1);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString());
    QCOMPARE(w.clientSize().height(), 149);
    w.close();
    QCOMPARE(misc(t, "Last Search"), std::to_string(mode));
}

void TestStart::storedStateOfTheWindow() {
    TestWindow t;
    t.writeIni("[Misc]\nMain Window Left=30\nMain Window Top=40\nAlways On Top=yes\n"
               "All State=No\nLast Search=3\n");
    TMainWin& w = t.open();
    QCOMPARE(w.pos(), QPoint(30, 40));
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(Find<QAction>(w, "MenuAlwaysOnTop")->isChecked());
    QVERIFY(Find<QRadioButton>(w, "SingleState")->isChecked());
    QCOMPARE(w.searchMode(), 3);
    QVERIFY(Find<QComboBox>(w, "SearchFirstCombo")->isVisible());
    QVERIFY(Find<TSpinButton>(w, "TheSpinner")->isVisible());
    QVERIFY(!Find<QLineEdit>(w, "SearchFirstEdit")->isVisible());
    QCOMPARE(Find<QLabel>(w, "SearchFirstLabel")->text(), QString("State"));
    QCOMPARE(w.focusWidget(), Find<QComboBox>(w, "SearchFirstCombo"));

    // The state file has two lines for Texas: each list names it once, in order.
    QCOMPARE(comboItems(Find<QComboBox>(w, "SearchFirstCombo")), SmallAbbreviations);
    QCOMPARE(comboItems(Find<QComboBox>(w, "StateCombo")), SmallAbbreviations);
    QVERIFY(t.messages.boxes.empty());
}

void TestStart::daylightIsDecidedAtShow() {
    TestWindow summer;
    summer.clock.time = {2024, 7, 1, 12, 0, 0, 0};
    TMainWin& w = summer.open();
    QVERIFY(w.daylightInEffect());
    summer.clock.time = {2024, 1, 15, 12, 0, 0, 0};
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("841");
    QVERIFY(w.daylightInEffect());

    TestWindow winter;
    QVERIFY(!winter.open().daylightInEffect());
}

void TestStart::firstRunTakesTheSystemZone() {
    auto zoneAtClose = [](TestWindow& t) {
        t.open().close();
        const corvana::IniFile ini = t.savedIni();
        return ini.get("Time Zone", "Time Zone", "-", 15) + " " +
               ini.get("Time Zone", "Daylight Savings", "-", 15);
    };
    {
        // Phoenix: Mountain time all year.
        TestWindow t;
        t.clock.winterOffset = t.clock.summerOffset = -7 * 3600;
        TMainWin& w = t.open();
        QCOMPARE(w.settings().timeZone, 5);
        QVERIFY(!w.settings().daylightSavings);
        // The time-zone dialog shows what the window uses.
        WhenModal<TSetTimeZone>([](TSetTimeZone& d) {
            QCOMPARE(d.TZone->currentIndex(), 5);
            QVERIFY(!d.Daylight->isChecked());
        });
        Find<QAction>(w, "MenuTimeZone")->trigger();
        QCOMPARE(zoneAtClose(t), std::string("5 No"));
    }
    {
        TestWindow t;
        t.clock.winterOffset = -5 * 3600;
        t.clock.summerOffset = -4 * 3600;
        QCOMPARE(zoneAtClose(t), std::string("7 Yes"));
        // The next run reads what the first one stored, whatever the zone is then.
        t.clock.winterOffset = t.clock.summerOffset = 0;
        QCOMPARE(zoneAtClose(t), std::string("7 Yes"));
    }
    {
        // Stored keys win, even empty ones; only the missing key comes from the system.
        TestWindow t;
        t.clock.winterOffset = -5 * 3600;
        t.clock.summerOffset = -4 * 3600;
        t.writeIni("[Time Zone]\nTime Zone=\n");
        QCOMPARE(zoneAtClose(t), std::string("0 Yes"));
        t.writeIni("[Time Zone]\nDaylight Savings=No\n");
        QCOMPARE(zoneAtClose(t), std::string("7 No"));
    }
    {
        // A zone off the scale (India, five and a half hours ahead) keeps the old defaults.
        TestWindow t;
        t.clock.winterOffset = t.clock.summerOffset = 5 * 3600 + 1800;
        QCOMPARE(zoneAtClose(t), std::string("8 Yes"));
    }
}

void TestStart::fatalDataErrorBeforeTheWindowAppears() {
    TempDir data;
    CopyDataSet(fixtureDir("small"), data);
    data.remove("STATE.DAT");
    TestWindow t(data.str());
    t.writeIni("[Misc]\nWindow Size=480\nLast Search=4\n; kept\n[Other]\nKey=1\n");
    TMainWin& w = t.open();

    QVERIFY(w.ended());
    QVERIFY(!w.isVisible());
    QCOMPARE(t.endings, 1);
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("FATAL ERROR"));
    QCOMPARE(t.messages.boxes[0].text,
             QString("File containing state definitions could not be found."));
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->count(), 0);

    // The settings go back as they were read, and the rest of the file survives.
    corvana::IniFile ini = t.savedIni();
    QCOMPARE(ini.get("Misc", "Window Size", "", 15), std::string("480"));
    QCOMPARE(ini.get("Misc", "Last Search", "", 15), std::string("4"));
    QCOMPARE(ini.get("Other", "Key", "", 15), std::string("1"));
    QVERIFY(ini.text().find("; kept") != std::string::npos);

    w.close();
    QCOMPARE(t.endings, 1);
}

void TestStart::everyFatalMessageButOneEnding() {
    TempDir data;
    CopyDataSet(fixtureDir("small"), data);
    data.remove("ZIPCODE.IDX");
    data.remove("AREA.DAT");
    TestWindow t(data.str());
    TMainWin& w = t.open();
    QVERIFY(w.ended());
    QCOMPARE(t.endings, 1);
    QCOMPARE(t.messages.texts(), (QStringList{"Zip Code Index File could not be found.",
                                              "Area Code Data File could not be found."}));
    QCOMPARE(t.messages.boxes[1].caption, QString("FATAL ERROR"));
    QVERIFY(std::filesystem::exists(t.iniPath()));
}

void TestStart::partialRecordAtStartIsReportedAndTheProgramGoesOn() {
    TempDir data;
    CopyDataSet(fixtureDir("small"), data);
    std::string area = readFile(data.path() / "AREA.DAT");
    data.write("AREA.DAT", area.substr(0, area.size() - 2));
    TestWindow t(data.str());
    TMainWin& w = t.open();
    QVERIFY(!w.ended());
    QVERIFY(w.isVisible());
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("Error"));
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->count(), SmallAbbreviations.size());
}

void TestStart::closeStoresPositionAndSettings() {
    TestWindow t;
    TMainWin& w = t.open();
    w.move(120, 70);
    Find<QRadioButton>(w, "SearchCounty")->click();
    Find<QRadioButton>(w, "SingleState")->click();
    Find<QAction>(w, "MenuTerminate")->trigger();
    QVERIFY(w.ended());
    QVERIFY(!w.isVisible());
    QCOMPARE(t.endings, 1);
    QCOMPARE(misc(t, "Main Window Left"), std::string("120"));
    QCOMPARE(misc(t, "Main Window Top"), std::string("70"));
    QCOMPARE(misc(t, "Last Search"), std::string("4"));
    QCOMPARE(misc(t, "All State"), std::string("No"));
    QVERIFY(w.data().states.empty());
}

void TestStart::closeWhenTheSettingsCannotBeSaved() {
    TestWindow t;
    TMainWin& w = t.open();
    // A directory where the file should be: the rename onto it fails.
    std::filesystem::create_directory(t.iniPath());
    t.messages.boxes.clear();
    Find<QAction>(w, "MenuTerminate")->trigger();
    QVERIFY(w.ended());
    QVERIFY(!w.isVisible());
    QCOMPARE(t.endings, 1);
    QCOMPARE(t.messages.texts(), QStringList{"The settings could not be saved to " +
                                             QString::fromStdString(t.iniPath()) + "."});
    QCOMPARE(t.messages.boxes.front().caption, QString("Error"));
    QVERIFY(std::filesystem::is_directory(t.iniPath()));
}

QTEST_MAIN(TestStart)
#include "test_start.moc"
