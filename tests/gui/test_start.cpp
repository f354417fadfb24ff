#include "GuiTestUtil.h"
#include "main/SpinButton.h"

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
    for (QAction* a : w.MenuScreenSize->actions())
        QCOMPARE(a->isChecked(), a == w.N640x480);
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!w.MenuAlwaysOnTop->isChecked());
    QCOMPARE(w.searchMode(), 1);
    QVERIFY(w.SearchZip->isChecked());
    QVERIFY(w.AllStates->isChecked());
    QVERIFY(!w.SingleState->isChecked());
    QCOMPARE(w.StateCombo->currentIndex(), -1);
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

    QCOMPARE(w.SearchPanel->geometry(), QRect(4, 4, 149, 141));
    QCOMPARE(w.SearchArea->geometry(), QRect(12, 116, 113, 21));
    QCOMPARE(w.SearchFirstEdit->geometry(), QRect(264, 8, 70, 27));
    QCOMPARE(w.AnswerBox->geometry(), QRect(4, 176, 493, 189));
    QCOMPARE(w.ButtonCopy->geometry(), QRect(340, 368, 157, 29));
    QCOMPARE(w.ButtonPrint->geometry(), QRect(236, 368, 96, 29));
    QCOMPARE(w.RangeSelect->geometry(), QRect(8, 372, 173, 21));
    // The state field and its spinner take the place of the first field.
    QCOMPARE(w.SearchFirstCombo->geometry(), QRect(264, 8, 70, 27));
    QCOMPARE(w.TheSpinner->geometry(), QRect(344, 8, 20, 27));
    QCOMPARE(w.StatePanel->geometry(), QRect(256, 40, 141, 97));
    QCOMPARE(w.StateCombo->geometry(), QRect(40, 60, 65, 27));
    QCOMPARE(w.Bevel1->geometry(), QRect(156, 4, 341, 141));
    QCOMPARE(w.AnswerBoxLabel->geometry(), QRect(4, 148, 493, 25));

    QCOMPARE(w.Label1->text(), QString("Search By"));
    QCOMPARE(w.SearchFirstLabel->text(), QString("Zip Code"));
    QCOMPARE(w.SearchSecondLabel->text(), QString("City"));
    QCOMPARE(w.ButtonCopy->text(), QString("&Copy To Clipboard"));
    QCOMPARE(w.RangeSelect->text(), QString("&Range Selecting"));
    QCOMPARE(w.SearchFirstEdit->maxLength(), 5);
    QCOMPARE(w.SearchSecondEdit->maxLength(), 30);
    QCOMPARE(w.SearchFirstCombo->lineEdit()->maxLength(), 2);
    QCOMPARE(w.SearchFirstCombo->maxVisibleItems(), 18);
    QCOMPARE(w.StateCombo->maxVisibleItems(), 13);
    QCOMPARE(w.AnswerBox->selectionMode(), QAbstractItemView::MultiSelection);
    QVERIFY(!w.AnswerBox->isSortingEnabled());

    QCOMPARE(w.SearchFirstEdit->font().family(), QString("Arial"));
    QCOMPARE(w.SearchFirstEdit->font().pixelSize(), 17);
    QCOMPARE(w.Label1->font().pixelSize(), 18);
    QCOMPARE(w.AnswerBox->font().pixelSize(), 15);
    QCOMPARE(w.AnswerBoxLabel->font().pixelSize(), 20);
    QVERIFY(w.AnswerBoxLabel->font().bold());

    for (QWidget* shown :
         {static_cast<QWidget*>(w.SearchPanel), static_cast<QWidget*>(w.Bevel1),
          static_cast<QWidget*>(w.SearchFirstEdit), static_cast<QWidget*>(w.SearchFirstLabel)})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    for (QWidget* hidden :
         {static_cast<QWidget*>(w.SearchSecondEdit), static_cast<QWidget*>(w.AnswerBox),
          static_cast<QWidget*>(w.ButtonCopy), static_cast<QWidget*>(w.ButtonPrint),
          static_cast<QWidget*>(w.RangeSelect), static_cast<QWidget*>(w.SearchFirstCombo),
          static_cast<QWidget*>(w.TheSpinner), static_cast<QWidget*>(w.StatePanel),
          static_cast<QWidget*>(w.SearchSecondLabel)}) {
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        if (hidden != w.SearchSecondLabel)
            QVERIFY2(!hidden->isEnabled(), qPrintable(hidden->objectName()));
    }
    QVERIFY(!w.MenuPrint->isEnabled());
    QVERIFY(!w.MenuCopy->isEnabled());
    QCOMPARE(w.Bevel1->focusPolicy(), Qt::NoFocus);

    // Tab order: the mode buttons, the two fields, the list and its controls, the state field
    // and its spinner, the state filter.
    QList<QWidget*> expected = {w.SearchZip,
                                w.SearchCity,
                                w.SearchState,
                                w.SearchCounty,
                                w.SearchArea,
                                w.SearchFirstEdit,
                                w.SearchSecondEdit,
                                w.AnswerBox,
                                w.ButtonCopy,
                                w.ButtonPrint,
                                w.RangeSelect,
                                w.SearchFirstCombo,
                                w.TheSpinner->upButton(),
                                w.TheSpinner->downButton(),
                                w.AllStates,
                                w.SingleState,
                                w.StateCombo};
    QList<QWidget*> chain;
    QWidget* next = w.SearchZip;
    do {
        if (expected.contains(next) && !chain.contains(next))
            chain << next;
        next = next->nextInFocusChain();
    } while (next != w.SearchZip);
    QCOMPARE(chain, expected);
}

void TestStart::menuTree() {
    TestWindow t;
    TMainWin& w = t.open();
    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Configure", "&Help"}));
    QCOMPARE(actionTexts(w.MenuFile), (QStringList{"Screen Si&ze", "-", "&Print Ctrl+P",
                                                   "Printer &Setup Ctrl+S", "-", "E&xit Ctrl+X"}));
    QCOMPARE(actionTexts(w.MenuScreenSize),
             (QStringList{"400 x 300 Ctrl+F1", "480 x 360 Ctrl+F2", "&640 x 480 Ctrl+F3",
                          "&800 x 600 Ctrl+F4", "&1024 x 768 Ctrl+F5", "1&280 x 1024 Ctrl+F6"}));
    QCOMPARE(actionTexts(w.MenuEdit), (QStringList{"&Copy Ctrl+C"}));
    QCOMPARE(
        actionTexts(w.MenuConfigure),
        (QStringList{"&Always On Top Ctrl+W", "-", "&Preferences Ctrl+R", "&Time Zone Ctrl+Z"}));
    QCOMPARE(actionTexts(w.MenuHelp),
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
    for (QAction* a : w.MenuScreenSize->actions())
        QCOMPARE(a->isChecked(), a == w.N640x480);
    w.close();
    QCOMPARE(misc(t, "Window Size"), stored.toStdString());
}

void TestStart::smallestSize() {
    TestWindow t;
    t.screen = {400, 300};
    t.writeIni("[Misc]\nWindow Size=400\n");
    TMainWin& w = t.open();
    QCOMPARE(w.scaleFactor(), 0.66);
    QVERIFY(w.N400x300->isChecked());
    QVERIFY(!w.N640x480->isChecked());
    QCOMPARE(w.clientSize(), QSize(330, 98));
    QCOMPARE(w.centralWidget()->size(), QSize(330, 98));
    QCOMPARE(w.SearchFirstEdit->geometry(), QRect(174, 5, 46, 18));
    QCOMPARE(w.SearchFirstEdit->font().pixelSize(), 11);
    QCOMPARE(w.SearchFirstCombo->width(), 29 + 25);
    QCOMPARE(w.StateCombo->width(), 29 + 20);
    QCOMPARE(w.TheSpinner->x(), w.SearchFirstCombo->x() + w.SearchFirstCombo->width() + 10);
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
    QRadioButton* buttons[] = {w.SearchZip, w.SearchCity, w.SearchState, w.SearchCounty,
                               w.SearchArea};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(buttons[i]->isChecked(), i == mode - 1);
    QCOMPARE(w.SearchFirstEdit->text(), QString());
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
    QVERIFY(w.MenuAlwaysOnTop->isChecked());
    QVERIFY(w.SingleState->isChecked());
    QCOMPARE(w.searchMode(), 3);
    QVERIFY(w.SearchFirstCombo->isVisible());
    QVERIFY(w.TheSpinner->isVisible());
    QVERIFY(!w.SearchFirstEdit->isVisible());
    QCOMPARE(w.SearchFirstLabel->text(), QString("State"));
    QCOMPARE(w.focusWidget(), w.SearchFirstCombo);

    // The state file has two lines for Texas: each list names it once, in order.
    QCOMPARE(comboItems(w.SearchFirstCombo), SmallAbbreviations);
    QCOMPARE(comboItems(w.StateCombo), SmallAbbreviations);
    QVERIFY(t.messages.boxes.empty());
}

void TestStart::daylightIsDecidedAtShow() {
    TestWindow summer;
    summer.clock.time = {2024, 7, 1, 12, 0, 0, 0};
    TMainWin& w = summer.open();
    QVERIFY(w.daylightInEffect());
    summer.clock.time = {2024, 1, 15, 12, 0, 0, 0};
    w.SearchFirstEdit->setText("841");
    QVERIFY(w.daylightInEffect());

    TestWindow winter;
    QVERIFY(!winter.open().daylightInEffect());
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
    QCOMPARE(w.SearchFirstCombo->count(), 0);

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
    QCOMPARE(w.SearchFirstCombo->count(), SmallAbbreviations.size());
}

void TestStart::closeStoresPositionAndSettings() {
    TestWindow t;
    TMainWin& w = t.open();
    w.move(120, 70);
    w.SearchCounty->click();
    w.SingleState->click();
    w.MenuTerminate->trigger();
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
    w.MenuTerminate->trigger();
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
