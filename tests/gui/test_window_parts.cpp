#include "main/layout/Layout.h"
#include "main/window/CommandRow.h"
#include "main/window/MainMenus.h"
#include "main/window/ResultsView.h"
#include "main/window/StateChoice.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

corvana::ResultItem zipLine(const char* text, std::uint32_t record) {
    return {text, corvana::ZipItem(record)};
}

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

} // namespace

// The parts of the main window, each on its own: what they tell the window and what they keep.
class TestWindowParts : public QObject {
    Q_OBJECT
private slots:
    void resultsChooseTheNearbyCentre();
    void resultsHeadingNamesTheList();
    void menusKeepTheirSlotsAndShortcuts();
    void commandRowSignals();
    void stateChoiceKeepsTheSettings();
};

void TestWindowParts::resultsChooseTheNearbyCentre() {
    QWidget client;
    std::vector<LayoutComponent> components;
    ResultsView results(&client, components, nullptr);
    QCOMPARE(components.size(), std::size_t(2));
    QVERIFY(!results.chosenRecord());

    results.showItems({{"AK Alaska", corvana::StateItem{}},
                       zipLine("99501 Anchorage", 10),
                       zipLine("99502 Anchorage", 20),
                       {"No match", corvana::NoMatchItem{}}});
    QCOMPARE(results.list()->count(), 4);
    QVERIFY(results.hasRecords());
    // No ZIP line selected: the first ZIP line.
    QCOMPARE(results.chosenRecord()->record(), std::optional<std::uint32_t>(10));
    // A selected line that is no ZIP line does not count.
    results.list()->item(0)->setSelected(true);
    QCOMPARE(results.chosenRecord()->record(), std::optional<std::uint32_t>(10));
    results.list()->item(2)->setSelected(true);
    QCOMPARE(results.chosenRecord()->record(), std::optional<std::uint32_t>(20));

    results.showItems({{"AK Alaska", corvana::StateItem{}}});
    QVERIFY(!results.hasRecords());
    QVERIFY(!results.chosenRecord());

    results.setRangeSelecting(true);
    QCOMPARE(results.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    results.setRangeSelecting(false);
    QCOMPARE(results.list()->selectionMode(), QAbstractItemView::MultiSelection);
}

void TestWindowParts::resultsHeadingNamesTheList() {
    QWidget client;
    std::vector<LayoutComponent> components;
    ResultsView results(&client, components, nullptr);
    results.setHeading("Zip Codes Within 5 Miles");
    QCOMPARE(results.list()->accessibleName(), QString("Zip Codes Within 5 Miles"));
    results.clearHeading();
    QVERIFY(results.list()->accessibleName().isEmpty());
    QVERIFY(!results.listShown());
    results.setListShown(true);
    QVERIFY(results.listShown());
}

void TestWindowParts::menusKeepTheirSlotsAndShortcuts() {
    QMainWindow window;
    std::vector<LayoutComponent> components;
    MainMenus menus(window.menuBar(), components, nullptr);
    // The layout record has a slot for each menu and item that was there before the map and
    // the nearby command; none of them is drawn.
    QCOMPARE(components.size(), std::size_t(27));
    for (const LayoutComponent& c : components)
        QCOMPARE(c.kind, LayoutKind::None);

    // Copy and nearby go before a field's editing keys only while they are on.
    QVERIFY(!menus.takesShortcut(ctrl(Qt::Key_C)));
    QVERIFY(!menus.takesShortcut(ctrl(Qt::Key_E)));
    QVERIFY(menus.takesShortcut(ctrl(Qt::Key_X)));
    QVERIFY(menus.takesShortcut(ctrl(Qt::Key_M)));
    QVERIFY(!menus.takesShortcut(ctrl(Qt::Key_B)));
    menus.setOutputCommands(true);
    menus.setNearbyEnabled(true);
    QVERIFY(menus.takesShortcut(ctrl(Qt::Key_C)));
    QVERIFY(menus.takesShortcut(ctrl(Qt::Key_P)));
    QVERIFY(menus.takesShortcut(ctrl(Qt::Key_E)));

    const std::vector<QAction*> listMenu = menus.listMenuCommands();
    QCOMPARE(listMenu.size(), std::size_t(5));
    QCOMPARE(listMenu[0]->objectName(), QString("MenuZipDetails"));
    QCOMPARE(listMenu[1]->objectName(), QString("MenuNearby"));
    QVERIFY(!listMenu[2]);
    QCOMPARE(listMenu[3]->objectName(), QString("MenuCopy"));
    QCOMPARE(listMenu[4]->objectName(), QString("MenuPrint"));
    QVERIFY(!menus.zipDetailsEnabled());
    menus.setZipDetailsEnabled(true);
    QVERIFY(menus.zipDetailsEnabled());

    // Choosing a size says which; the check marks stay for the window to set.
    QSignalSpy sizes(&menus, &MainMenus::windowSizeChosen);
    menus.checkSize(640);
    window.findChild<QAction*>("N800x600")->trigger();
    QCOMPARE(sizes.count(), 1);
    QCOMPARE(sizes.at(0).at(0).toInt(), 800);
    menus.checkSize(menus.checkedSize());
    QVERIFY(window.findChild<QAction*>("N640x480")->isChecked());
    QVERIFY(!window.findChild<QAction*>("N800x600")->isChecked());
}

void TestWindowParts::commandRowSignals() {
    QWidget client;
    std::vector<LayoutComponent> components;
    CommandRow row(&client, components, nullptr);
    QCOMPARE(components.size(), std::size_t(3));
    auto* copy = client.findChild<QPushButton*>("ButtonCopy");
    auto* range = client.findChild<QCheckBox*>("RangeSelect");
    QVERIFY(!copy->isEnabled());
    row.setShown(true);
    QVERIFY(copy->isEnabled() && range->isEnabled());

    QSignalSpy copied(&row, &CommandRow::copyChosen);
    QSignalSpy printed(&row, &CommandRow::printChosen);
    QSignalSpy ranged(&row, &CommandRow::rangeSelectingToggled);
    copy->click();
    range->click();
    QCOMPARE(copied.count(), 1);
    QCOMPARE(printed.count(), 0);
    QCOMPARE(ranged.count(), 1);
    QCOMPARE(ranged.at(0).at(0).toBool(), true);
}

void TestWindowParts::stateChoiceKeepsTheSettings() {
    QWidget client;
    std::vector<LayoutComponent> components;
    corvana::Settings settings{};
    settings.allState = true;
    settings.singleState = "AL";
    StateChoice states(&client, components, settings, nullptr);
    states.fillStates({"AK", "AL", "AZ"});
    states.showChoice();
    QCOMPARE(states.singleState(), std::string("AL"));
    QVERIFY(client.findChild<QRadioButton*>("AllStates")->isChecked());

    QSignalSpy changed(&states, &StateChoice::changed);
    auto* list = client.findChild<QComboBox*>("StateCombo");
    // Under All States another single state is remembered but searches nothing new.
    list->setCurrentIndex(2);
    QCOMPARE(settings.singleState, std::string("AZ"));
    QCOMPARE(changed.count(), 0);
    client.findChild<QRadioButton*>("SingleState")->setChecked(true);
    QVERIFY(!settings.allState);
    QCOMPARE(changed.count(), 1);
    list->setCurrentIndex(0);
    QCOMPARE(settings.singleState, std::string("AK"));
    QCOMPARE(changed.count(), 2);

    // Once the window has ended, nothing changes any more.
    states.stop();
    list->setCurrentIndex(1);
    QCOMPARE(settings.singleState, std::string("AK"));
    QCOMPARE(changed.count(), 2);
}

QTEST_MAIN(TestWindowParts)
#include "test_window_parts.moc"
