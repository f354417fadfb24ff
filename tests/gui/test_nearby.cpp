// The ZIP codes around a ZIP line: the command, its radius dialog and the list it leaves, how
// copy takes that list and how the next search replaces it.

#include "DialogTestUtil.h"

#include "main/dialogs/NearbyRadius.h"
#include "main/printing/CopyOrPrint.h"
#include "output/CopyOutput.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

using namespace corvana::test;

namespace {

// Runs the nearby command with `miles` given in its dialog; without, the dialog is cancelled.
void Nearby(TMainWin& w, std::optional<double> miles) {
    WhenModal<TNearbyRadius>([miles](TNearbyRadius& d) {
        if (!miles)
            return;
        d.Miles->setValue(*miles);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuNearby")->trigger();
}

// The commands of the menu that `open` brings up, closed again unseen; empty when none opens.
QStringList PopupCommands(const std::function<void()>& open) {
    auto seen = std::make_shared<QStringList>();
    QTimer::singleShot(0, [seen] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    *seen << a->objectName() + (a->isEnabled() ? "" : " (off)");
            menu->close();
        }
    });
    open();
    QCoreApplication::processEvents();
    return *seen;
}

QString Heading(TMainWin& w) {
    return Find<QLabel>(w, "AnswerBoxLabel")->text();
}

void Type(TMainWin& w, const char* text) {
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), text);
}

} // namespace

class TestNearby : public QObject {
    Q_OBJECT
private slots:
    void listsTheCoresLinesNearestFirst();
    void centreIsTheFirstSelectedZipLine();
    void copyTakesTheNearbyOrderInEveryFormat();
    void keyboardAndContextMenuReachTheCommand();
    void offWithoutLocationsAndSaysWhy();
    void damagedLocationsAreReportedAndTheListStays();
    void unreadableLocationsAreNotTakenForNone();
    void radiusIsRememberedOnlyOnceUsed();
    void nextSearchReplacesTheNearbyList();
    void leavesOutBoxesWhenAskedAndRemembersIt();
    void peopleToReachFromTheKeyboard();
    void peopleOffWithoutFiguresAndSaysWhy();
    void aLineCutAtTheEdgeReadsWholeInItsTip();
};

void TestNearby::aLineCutAtTheEdgeReadsWholeInItsTip() {
    // The real data's long city names: "84119 West Valley City, UT (Salt Lake) (801) …  7.1 mi
    // (11.3 km)" runs past the list's edge.
    TestWindow t(CORVANA_BIN_DIR);
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    Type(w, "84101");
    list->setCurrentRow(0);
    Nearby(w, 10);
    QWidget* viewport = list->viewport();
    auto askTip = [&](int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
    };
    // The longest line is wider than the list: its tip holds all of it, distance and all.
    int longest = 0;
    const QFontMetrics fm(list->font());
    for (int row = 0; row < list->count(); ++row)
        if (fm.horizontalAdvance(list->item(row)->text()) >
            fm.horizontalAdvance(list->item(longest)->text()))
            longest = row;
    const QString line = list->item(longest)->text();
    QVERIFY2(fm.horizontalAdvance(line) > viewport->width(), qPrintable(line));
    QVERIFY(line.endsWith(" km)"));
    askTip(longest);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), line);
    // A short line shows whole and has no tip.
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    Type(w, "09001");
    QVERIFY(fm.horizontalAdvance(list->item(0)->text()) < viewport->width() / 2);
    askTip(0);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestNearby::listsTheCoresLinesNearestFirst() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    auto* command = Find<QAction>(w, "MenuNearby");
    QVERIFY(!command->isEnabled());
    Type(w, "84");
    QVERIFY(!command->isEnabled()); // the main cities of the prefixes: no ZIP line
    Type(w, "1");
    QVERIFY(command->isEnabled());
    QVERIFY(command->statusTip().isEmpty());
    const QString searchLine = list->item(0)->text();
    QVERIFY(searchLine.startsWith("84101 Salt Lake City, UT"));
    const std::uint32_t record = *w.shownItems()[0].record();

    QSignalSpy changed(&w, &TMainWin::listChanged);
    WhenModal<TNearbyRadius>([&w](TNearbyRadius& d) {
        QCOMPARE(d.parentWidget(), &w);
        QCOMPARE(d.size(), QSize(300, 139));
        QCOMPARE(d.windowTitle(), QString("Nearby Zip Codes"));
        QCOMPARE(d.Label1->text(), QString("&Miles Around 84101"));
        QCOMPARE(d.miles(), 10.0);
        QTest::keyClicks(d.Miles, "15");
        QTest::keyClick(d.Miles, Qt::Key_Return);
    });
    command->trigger();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(w.settings().nearbyMiles, 15.0);
    QCOMPARE(Heading(w), QString("Zip Codes Within 15 Miles Of 84101"));
    QCOMPARE(list->accessibleName(), Heading(w));
    QCOMPARE(w.nearbyCentre(), (corvana::NearbyCentre{record, 15}));

    // The core's own answer, line for line: the centre first with the line a search shows, the
    // farthest last although it comes first by name.
    const corvana::geo::PointsLoad& load = w.points();
    QVERIFY(load.points);
    const corvana::SearchResult core =
        corvana::SearchNearby(*load.points, record, 15, w.searchContext());
    QStringList expected;
    for (const corvana::ResultItem& item : core.items)
        expected << fromCore(item.text);
    QCOMPARE(ItemTexts(list), expected);
    QCOMPARE(expected.size(), 4);
    // Each line is followed by its distance from the centre
    QCOMPARE(list->item(0)->text(), searchLine + "  0.0 mi (0.0 km)");
    QVERIFY(list->item(3)->text().startsWith("84070 Sandy, UT"));
    QVERIFY(list->item(3)->text().endsWith("  12.2 mi (19.7 km)"));
    double last = 0;
    for (const corvana::ResultItem& item : w.shownItems()) {
        const double km = *item.as<corvana::ZipItem>()->km;
        QVERIFY(km >= last);
        last = km;
    }
    QVERIFY(last > 10 * 1.609344 && last <= 15 * 1.609344);
    QVERIFY(Find<QPushButton>(w, "ButtonCopy")->isEnabled());
    QVERIFY(command->isEnabled());

    // A smaller radius leaves Sandy out; a military post office has no place to measure from.
    Nearby(w, 10);
    QCOMPARE(list->count(), 3);
    QCOMPARE(Heading(w), QString("Zip Codes Within 10 Miles Of 84101"));
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("09001");
    Nearby(w, 10);
    QCOMPARE(ItemTexts(list), QStringList{"No matching zip codes found."});
    QVERIFY(!command->isEnabled());
}

void TestNearby::centreIsTheFirstSelectedZipLine() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    Type(w, "841");
    QCOMPARE(list->count(), 3);
    const QStringList before = ItemTexts(list);
    list->item(2)->setSelected(true);
    list->item(1)->setSelected(true);

    // Cancelled, the command changes nothing.
    Nearby(w, std::nullopt);
    QCOMPARE(ItemTexts(list), before);
    QVERIFY(!w.nearbyCentre());
    QCOMPARE(Heading(w), QString("Possible Cities"));

    Nearby(w, 2.5);
    QCOMPARE(Heading(w), QString("Zip Codes Within 2.5 Miles Of 84102"));
    QVERIFY(list->item(0)->text().startsWith("84102 "));
    QCOMPARE(w.nearbyCentre()->record, *w.shownItems()[0].record());
}

void TestNearby::copyTakesTheNearbyOrderInEveryFormat() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    Type(w, "84101");
    Nearby(w, 15);
    auto* list = Find<QListWidget>(w, "AnswerBox");
    QStringList zips;
    for (int i = 0; i < list->count(); ++i)
        zips << list->item(i)->text().left(5);
    QCOMPARE(zips, (QStringList{"84101", "84110", "84102", "84070"}));

    // Nothing selected: the whole list, in its order.
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        d.FormatList->setCurrentRow(0);
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuCopy")->trigger();
    QCOMPARE(
        Shown(t.messages),
        QStringList{"Notice: No items have been selected.  Would you like to Copy all items?"});
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("Salt Lake City, UT 84101\r\nSalt Lake City, UT 84110\r\n"
                     "Salt Lake City, UT 84102\r\nSandy, UT 84070\r\n"));

    // Selected lines: those, in list order.
    list->item(3)->setSelected(true);
    list->item(1)->setSelected(true);
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        d.FormatList->setCurrentRow(19); // "[ZIP]"
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(w, "ButtonCopy"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("84110\r\n84070\r\n"));

    // Printed pages of the list open with what it is; a search's list prints only its lines.
    QCOMPARE(w.CollectOutput(0, true).heading, std::string("Zip Codes Within 15 Miles Of 84101"));
    auto* field = Find<QLineEdit>(w, "SearchFirstEdit");
    field->clear();
    Type(w, "8410");
    QCOMPARE(w.CollectOutput(0, true).heading, std::string());
    field->clear();
    Type(w, "84101");
    Nearby(w, 15);

    // Every format writes each line of the list, one after the other in the list's order.
    for (int format = 0; format < 33; ++format) {
        const std::vector<corvana::ResultItem>& lines = w.shownItems();
        const corvana::CollectedOutput all =
            corvana::CollectOutput(lines, format, w.data(), w.settings());
        std::string oneByOne;
        for (const corvana::ResultItem& line : lines)
            oneByOne += corvana::CollectOutput({line}, format, w.data(), w.settings()).text;
        QVERIFY2(all.fatal.empty() && !all.ioError, qPrintable(QString::number(format)));
        QCOMPARE(all.text, oneByOne);
        QVERIFY(std::count(all.text.begin(), all.text.end(), '\n') >= 4);
    }
}

void TestNearby::keyboardAndContextMenuReachTheCommand() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* list = Find<QListWidget>(w, "AnswerBox");
    Type(w, "841");

    const QStringList menu{"MenuZipDetails", "MenuNearby", "MenuCopy", "MenuPrint"};
    QCOMPARE(PopupCommands([&] { QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier); }), menu);
    QCOMPARE(PopupCommands([&] { QTest::keyClick(list, Qt::Key_Menu); }), menu);
    // What the window system makes of a right click.
    QCOMPARE(PopupCommands([&] {
                 const QPoint at = list->visualItemRect(list->item(1)).center();
                 QContextMenuEvent click(QContextMenuEvent::Mouse, at,
                                         list->viewport()->mapToGlobal(at));
                 QApplication::sendEvent(list->viewport(), &click);
             }),
             menu);
    QCOMPARE(PopupCommands([&] { QTest::keyClick(list, Qt::Key_F10); }), QStringList());
    list->clearSelection();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // The shortcut works from the search field, before the field's own use of the key.
    QCOMPARE(Find<QAction>(w, "MenuNearby")->shortcut(), QKeySequence("Ctrl+E"));
    WhenModal<TNearbyRadius>(
        [](TNearbyRadius& d) { QTest::mouseClick(d.OkButton, Qt::LeftButton); });
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(Heading(w), QString("Zip Codes Within 10 Miles Of 84101"));
}

void TestNearby::offWithoutLocationsAndSaysWhy() {
    TestWindow t; // built from a table without positions
    TMainWin& w = t.open();
    QVERIFY(!w.hasLocations());
    Type(w, "970");
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->count() > 1);
    auto* command = Find<QAction>(w, "MenuNearby");
    QVERIFY(!command->isEnabled());
    QCOMPARE(command->statusTip(), QString("This data has no locations."));
    QCOMPARE(command->toolTip(), command->statusTip());
    QCOMPARE(
        PopupCommands([&] { QTest::keyClick(Find<QListWidget>(w, "AnswerBox"), Qt::Key_Menu); }),
        (QStringList{"MenuZipDetails", "MenuNearby (off)", "MenuCopy", "MenuPrint"}));
    w.MenuNearbyClick();
    QCOMPARE(Heading(w), QString("Possible Cities"));
    QVERIFY(t.messages.boxes.empty());
}

void TestNearby::damagedLocationsAreReportedAndTheListStays() {
    TempDir data;
    CopyDataSet(fixtureDir("points"), data);
    data.write("POINTS.DAT", "not the locations");
    TestWindow t(data.str());
    TMainWin& w = t.open();
    Type(w, "841");
    const QStringList before = ItemTexts(Find<QListWidget>(w, "AnswerBox"));
    w.MenuNearbyClick();
    QCOMPARE(Shown(t.messages), QStringList{"Error: " + fromCore(w.points().message)});
    QVERIFY(!w.points().message.empty());
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), before);
    QVERIFY(!w.nearbyCentre());
}

// A locations file that is there but cannot even be looked at (a link to itself) is no data
// without locations: the command stays on and, used, says the file could not be read.
void TestNearby::unreadableLocationsAreNotTakenForNone() {
    TempDir data;
    CopyDataSet(fixtureDir("points"), data);
    data.remove("POINTS.DAT");
    std::filesystem::create_symlink("POINTS.DAT", data.path() / "POINTS.DAT");
    TestWindow t(data.str());
    TMainWin& w = t.open();
    QVERIFY(w.hasLocations());
    Type(w, "841");
    w.MenuNearbyClick();
    QCOMPARE(Shown(t.messages),
             QStringList{"Error: File containing ZIP code locations could not be read."});
    QVERIFY(!w.nearbyCentre());
}

void TestNearby::radiusIsRememberedOnlyOnceUsed() {
    TestWindow t(fixtureDir("points"));
    t.open().close();
    const std::string first = readFile(t.iniPath());
    QVERIFY(first.find("Nearby") == std::string::npos);
    {
        TMainWin& w = t.open();
        Type(w, "841");
        w.close();
    }
    QCOMPARE(readFile(t.iniPath()), first);

    {
        TMainWin& w = t.open();
        Type(w, "841");
        Nearby(w, 2.5);
        w.close();
    }
    QCOMPARE(t.savedIni().get("Misc", "Nearby Miles", "", 15), std::string("2.5"));

    TMainWin& w = t.open();
    Type(w, "841");
    WhenModal<TNearbyRadius>([](TNearbyRadius& d) { QCOMPARE(d.Miles->value(), 2.5); });
    Find<QAction>(w, "MenuNearby")->trigger();
}

void TestNearby::nextSearchReplacesTheNearbyList() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    auto* edit = Find<QLineEdit>(w, "SearchFirstEdit");
    Type(w, "84101");
    Nearby(w, 15);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(Heading(w), QString("Possible Cities"));
    QVERIFY(!w.nearbyCentre());
    QStringList sorted = ItemTexts(list);
    sorted.sort();
    QCOMPARE(ItemTexts(list), sorted);
    QCOMPARE(list->count(), 2);

    // A keystroke whose search lists nothing yet takes the nearby list away all the same.
    Find<QRadioButton>(w, "SearchArea")->click();
    Type(w, "801");
    Nearby(w, 15);
    QVERIFY(w.nearbyCentre());
    QSignalSpy changed(&w, &TMainWin::listChanged);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(!w.nearbyCentre());
    QVERIFY(w.shownItems().empty());
    QCOMPARE(changed.count(), 1);
    QVERIFY(!list->isVisible());
    QVERIFY(Heading(w).isEmpty());
    QVERIFY(!Find<QAction>(w, "MenuNearby")->isEnabled());

    // So does a change of mode.
    Type(w, "1");
    Nearby(w, 15);
    QVERIFY(w.nearbyCentre());
    Find<QRadioButton>(w, "SearchState")->click();
    QVERIFY(!w.nearbyCentre());
    QVERIFY(!Find<QAction>(w, "MenuNearby")->isEnabled());
}

void TestNearby::leavesOutBoxesWhenAskedAndRemembersIt() {
    TestWindow t(fixtureDir("points"));
    {
        TMainWin& w = t.open();
        Type(w, "84101");
        // Unchanged, the box leaves the settings file without the key.
        WhenModal<TNearbyRadius>([](TNearbyRadius& d) {
            QVERIFY(d.StandardOnly->isEnabled());
            QVERIFY(!d.StandardOnly->isChecked());
            QTest::mouseClick(d.OkButton, Qt::LeftButton);
        });
        Find<QAction>(w, "MenuNearby")->trigger();
        QVERIFY(ItemTexts(Find<QListWidget>(w, "AnswerBox")).join("|").contains("84110"));
        w.close();
    }
    QVERIFY(!t.savedIni().has("Misc", "Nearby Standard Only"));
    {
        TMainWin& w = t.open();
        Type(w, "84101");
        WhenModal<TNearbyRadius>([](TNearbyRadius& d) {
            d.StandardOnly->click();
            QVERIFY(d.StandardOnly->isChecked());
            QTest::mouseClick(d.OkButton, Qt::LeftButton);
        });
        Find<QAction>(w, "MenuNearby")->trigger();
        QStringList zips;
        for (const QString& line : ItemTexts(Find<QListWidget>(w, "AnswerBox")))
            zips << line.left(5);
        QCOMPARE(zips, (QStringList{"84101", "84102"})); // 84110 is a post-office box
        QCOMPARE(Heading(w), QString("Zip Codes Within 10 Miles Of 84101"));
        w.close();
    }
    QCOMPARE(t.savedIni().get("Misc", "Nearby Standard Only", "", 15), std::string("Yes"));
    {
        TMainWin& w = t.open();
        Type(w, "84101");
        WhenModal<TNearbyRadius>([](TNearbyRadius& d) { QVERIFY(d.StandardOnly->isChecked()); });
        Find<QAction>(w, "MenuNearby")->trigger();
        w.close();
    }

    // Data that does not say which ZIP codes have an area: the box is off, the choice kept.
    TempDir data;
    CopyDataSet(fixtureDir("points"), data);
    std::filesystem::remove(std::filesystem::path(data.str()) / "ZIPFACTS.DAT");
    TestWindow without(data.str());
    without.writeIni("[Misc]\nNearby Standard Only=Yes\n");
    TMainWin& w = without.open();
    Type(w, "84101");
    WhenModal<TNearbyRadius>([](TNearbyRadius& d) {
        QVERIFY(!d.StandardOnly->isEnabled());
        QVERIFY(!d.StandardOnly->isChecked());
        QVERIFY(!d.StandardOnly->toolTip().isEmpty());
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuNearby")->trigger();
    QVERIFY(ItemTexts(Find<QListWidget>(w, "AnswerBox")).join("|").contains("84110"));
    QVERIFY(w.settings().nearbyStandardOnly);
}

void TestNearby::peopleToReachFromTheKeyboard() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    Type(w, "84101");
    const int rows = list->count();

    // Tab to the unit, Down to "people to reach", Tab back to the people and type them.
    WhenModal<TNearbyRadius>([](TNearbyRadius& d) {
        QCOMPARE(d.size(), QSize(300, 139));
        QVERIFY(d.Unit->isEnabled());
        QVERIFY(!d.Unit->accessibleName().isEmpty());
        QVERIFY(!d.People->accessibleName().isEmpty());
        QVERIFY(!d.people());
        QTest::keyClick(d.Miles, Qt::Key_Tab);
        QCOMPARE(d.focusWidget(), d.Unit);
        QTest::keyClick(d.Unit, Qt::Key_Down);
        QVERIFY(d.People->isVisible() && !d.Miles->isVisible());
        QCOMPARE(d.Label1->text(), QString("&People Around 84101"));
        QCOMPARE(d.Label1->buddy(), d.People);
        QTest::keyClick(d.Unit, Qt::Key_Backtab);
        QCOMPARE(d.focusWidget(), d.People);
        d.People->selectAll();
        QTest::keyClicks(d.People, "26524");
        QTest::keyClick(d.People, Qt::Key_Return);
    });
    Find<QAction>(w, "MenuNearby")->trigger();
    QCOMPARE(Heading(w), QString("Zip Codes Within 12.2 Miles Of 84101 (56,913 People)"));
    QStringList zips;
    for (int i = 0; i < list->count(); ++i)
        zips << list->item(i)->text().left(5);
    QCOMPARE(zips, (QStringList{"84101", "84110", "84102", "84070"}));
    QVERIFY(w.nearbyCentre());
    QVERIFY(std::abs(w.nearbyCentre()->radiusMiles - 12.2) < 0.05);
    // The radius of the settings stays the one last asked; printed pages carry the people.
    QCOMPARE(w.settings().nearbyMiles, 10.0);
    QCOMPARE(w.CollectOutput(0, true).heading,
             std::string("Zip Codes Within 12.2 Miles Of 84101 (56,913 People)"));

    // More people than the data holds: said, and the list stays. The dialog opens as it was left.
    WhenModal<TNearbyRadius>([](TNearbyRadius& d) {
        QCOMPARE(d.people(), std::optional<int>(26524));
        QCOMPARE(d.focusWidget(), d.People);
        QTest::keyClicks(d.People, "1000000");
        QTest::keyClick(d.People, Qt::Key_Return);
    });
    Find<QAction>(w, "MenuNearby")->trigger();
    QCOMPARE(Shown(t.messages),
             QStringList{"Error: The Zip Codes of this data hold only 97,264 people."});
    QCOMPARE(list->count(), 4);
    QVERIFY(rows > 0);

    // 0 people is refused in the dialog, which stays open.
    WhenModal<TNearbyRadius>([](TNearbyRadius& d) {
        QTest::keyClicks(d.People, "0");
        d.accept();
        QVERIFY(d.isVisible());
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuNearby")->trigger();
    QVERIFY(Shown(t.messages).last().startsWith("Error: The people to reach"));
}

void TestNearby::peopleOffWithoutFiguresAndSaysWhy() {
    for (const char* bytes : {static_cast<const char*>(nullptr), "CVP1"}) {
        TempDir data;
        CopyDataSet(fixtureDir("points"), data);
        const auto file = std::filesystem::path(data.str()) / "PEOPLE.DAT";
        std::filesystem::remove(file);
        if (bytes)
            data.write("PEOPLE.DAT", bytes);
        TestWindow t(data.str());
        TMainWin& w = t.open();
        Type(w, "84101");
        WhenModal<TNearbyRadius>([bytes](TNearbyRadius& d) {
            QVERIFY(!d.Unit->isEnabled());
            QCOMPARE(d.Unit->toolTip(),
                     QString(bytes ? "File containing population figures is corrupt."
                                   : "This data has no population figures."));
            QVERIFY(!d.people());
            QTest::mouseClick(d.OkButton, Qt::LeftButton);
        });
        Find<QAction>(w, "MenuNearby")->trigger();
        QCOMPARE(Heading(w), QString("Zip Codes Within 10 Miles Of 84101"));
    }
}

QTEST_MAIN(TestNearby)
#include "test_nearby.moc"
