#include "GuiTestUtil.h"
#include "data/FileNames.h"
#include "map/ListMap.h"
#include "mapwindow/MapWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <filesystem>
#include <map>
#include <set>

using namespace corvana::test;
using corvana::map::MapDot;

namespace {

// The positions fixture with the real outlines beside it.
struct MapData {
    TempDir dir;
    MapData() {
        CopyDataSet(fixtureDir("points"), dir);
        std::filesystem::copy_file(std::string(CORVANA_BIN_DIR) + "/OUTLINE.DAT",
                                   dir.path() / "OUTLINE.DAT");
    }
};

TMapWin& openMap(TMainWin& w) {
    Find<QAction>(w, "MenuMap")->trigger();
    TMapWin* map = w.mapWindow();
    if (!map)
        qFatal("the map did not open");
    map->view()->resize(640, 480);
    return *map;
}

void search(TMainWin& w, const char* mode, const QString& text) {
    Find<QRadioButton>(w, mode)->click();
    QLineEdit* field = Find<QLineEdit>(w, "SearchFirstEdit");
    field->clear();
    QTest::keyClicks(field, text);
}

std::set<int> selectedDots(TMapWin& map) {
    std::set<int> ids;
    for (const MapDot& d : map.view()->canvas().content().dots)
        if (d.selected)
            ids.insert(d.id);
    return ids;
}

QPoint pixelOf(TMapWin& map, int id) {
    for (const MapDot& d : map.view()->canvas().content().dots)
        if (d.id == id)
            return map.view()->canvas().view().toPixel(d.at).toPoint();
    qFatal("no dot %d", id);
}

// A results list of the test's own, for a map that is given nothing else.
class Lines : public corvana::ResultLines {
public:
    std::vector<corvana::ResultItem> lines;
    std::set<std::size_t> selected;
    bool visible = true;
    const std::vector<corvana::ResultItem>& items() const override { return lines; }
    bool isSelected(std::size_t row) const override { return selected.count(row) > 0; }
    bool shown() const override { return visible; }
};

} // namespace

class TestMapWindow : public QObject {
    Q_OBJECT
private slots:
    void menuItemAndShortcut();
    void eachKindOfLineOnTheMap();
    void nearbyListDrawsItsCircle();
    void clickedDotSelectsItsLine();
    void clickedDotScrollsItsLineIntoView();
    void listSelectionMarksDots();
    void keysWheelAndHover();
    void notesWithoutOutlinesOrLocations();
    void copyImage();
    void stackOfZipCodesIsOneMark();
    void marksSteppedThroughFromTheKeyboard();
    void zipCodesWithoutAnAreaAreHollow();
    void helpTableHasEveryMapShortcut();
    void savedAndPrintedImages();
    void placeFollowsTheMainWindow();
    void focusPaletteAndFonts();
    void settingsWrittenOnlyOnceTheMapWasOpened();
    void reopensAtStartClampedToTheScreen();
    void readsTheListOnlyThroughItsSource();
    void sizeByPopulationIsRemembered();
};

void TestMapWindow::menuItemAndShortcut() {
    TestWindow t;
    TMainWin& w = t.open();
    QAction* map = Find<QAction>(w, "MenuMap");
    QCOMPARE(map->text(), QString("&Map"));
    QCOMPARE(map->shortcut(), QKeySequence("Ctrl+M"));
    QVERIFY(map->isCheckable());
    // No other command of the window has the key, nor another item of the File menu the
    // letter.
    for (QAction* other : w.findChildren<QAction*>())
        if (other != map && !other->shortcut().isEmpty())
            QVERIFY2(other->shortcut() != map->shortcut(), qPrintable(other->text()));
    for (QAction* other : Find<QMenu>(w, "MenuFile")->actions())
        if (other != map)
            QVERIFY(!other->text().contains("&M", Qt::CaseInsensitive));
    // Start-up does not open it; the menu opens and closes it.
    QVERIFY(!w.mapWindow());
    map->trigger();
    QVERIFY(w.mapWindow() && w.mapWindow()->isVisible());
    QCOMPARE(w.mapWindow()->windowTitle(), QString("Corvana Map"));
    map->trigger();
    QVERIFY(!w.mapWindow()->isVisible());
    map->trigger();
    w.mapWindow()->close();
    QVERIFY(!map->isChecked());
}

void TestMapWindow::eachKindOfLineOnTheMap() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    const auto& content = [&]() -> const corvana::map::MapContent& {
        return map.view()->canvas().content();
    };

    search(w, "SearchZip", "841"); // three ZIP lines
    QCOMPARE(content().dots.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(content().dots[std::size_t(i)].id, i);
    QVERIFY(content().states.empty() && content().counties.empty());
    QCOMPARE(map.description(), QString("Map of 3 ZIP codes around Salt Lake City, UT"));
    QCOMPARE(map.view()->accessibleDescription(), map.description());
    QCOMPARE(map.view()->accessibleName(), QString("Map"));
    // Each dot carries its ZIP code, and their city is named at their middle, without its state.
    std::set<std::string> zips;
    for (const auto& dot : content().dots)
        zips.insert(dot.zip);
    QCOMPARE(zips, (std::set<std::string>{"84101", "84102", "84110"}));
    QCOMPARE(content().places.size(), std::size_t(1));
    const corvana::map::NamedPlace& city = content().places.front();
    QCOMPARE(city.name, std::string("Salt Lake City"));
    QCOMPARE(city.zipCodes, 3);
    double latitude = 0;
    for (const auto& dot : content().dots)
        latitude += dot.at.latitude / 3;
    QVERIFY(std::abs(city.at.latitude - latitude) < 1e-9);

    search(w, "SearchZip", "8"); // the states of the digit
    QVERIFY(content().dots.empty());
    QCOMPARE(content().states, std::vector<int>{49});
    QCOMPARE(map.description(), QString("Map of Utah"));

    search(w, "SearchZip", "84"); // two prefixes, both in Salt Lake County
    QCOMPARE(content().counties, std::vector<int>{49035});
    QCOMPARE(map.description(), QString("Map of 2 ZIP code areas"));

    search(w, "SearchCity", "sa"); // cities: their ZIP codes' counties, named when they fit
    QCOMPARE(content().counties, (std::vector<int>{2016, 49035, 72127}));
    QVERIFY(!content().countiesListed);
    QVERIFY(map.description().startsWith("Map of 4 cities"));
    QCOMPARE(content().places.size(), std::size_t(4)); // each city at its ZIP codes' middle

    search(w, "SearchCounty", "s"); // counties, each named
    QCOMPARE(content().counties, (std::vector<int>{49035, 72127}));
    QVERIFY(content().countiesListed);
    QVERIFY(map.view()->canvas().view().isFitted());

    search(w, "SearchCounty", "salt"); // their ZIP lines again
    QCOMPARE(content().dots.size(), std::size_t(4));
    QVERIFY(content().counties.empty());

    // A hidden list leaves nothing on the map: a new mode, then an emptied field.
    Find<QRadioButton>(w, "SearchArea")->click();
    QVERIFY(content().dots.empty() && content().counties.empty());
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "801");
    QVERIFY(!content().dots.empty());
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    QVERIFY(content().dots.empty());
}

void TestMapWindow::nearbyListDrawsItsCircle() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    search(w, "SearchZip", "84101");
    const auto& load = w.points();
    QVERIFY(load.points);
    const std::uint32_t record = *w.shownItems().front().record();
    auto listed = corvana::map::MapOfList(w.shownItems(), w.data(), &*load.points, nullptr,
                                          corvana::NearbyCentre{record, 10});
    QVERIFY(listed.content.circle);
    QCOMPARE(listed.content.circle->radiusKm, 16.09344);
    QCOMPARE(listed.content.circle->centre.latitude, 40.75621);
    QCOMPARE(listed.content.circle->centre.longitude, -111.90090);
    QCOMPARE(listed.place, QString("Salt Lake City, UT"));
    // Without locations: no dots, no circle.
    auto bare = corvana::map::MapOfList(w.shownItems(), w.data(), nullptr, nullptr,
                                        corvana::NearbyCentre{record, 10});
    QVERIFY(bare.content.dots.empty() && !bare.content.circle);
}

void TestMapWindow::clickedDotSelectsItsLine() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchCity", "salt lake"); // 84101, 84102, 84110 (84101 and 84110 share a place)
    QListWidget* list = w.resultsList();
    QCOMPARE(list->count(), 3);

    // The list selects several lines, one click each: a second click takes a line off again.
    QTest::mouseClick(map.view(), Qt::LeftButton, {}, pixelOf(map, 1));
    QVERIFY(list->item(1)->isSelected());
    QCOMPARE(list->currentRow(), 1);
    const QPoint shared = pixelOf(map, 0);
    QTest::mouseClick(map.view(), Qt::LeftButton, {}, shared);
    const int top = map.view()->canvas().dotAt(shared)->id;
    QVERIFY(list->item(top)->isSelected() && list->item(1)->isSelected());
    QTest::mouseClick(map.view(), Qt::LeftButton, {}, pixelOf(map, 1));
    QVERIFY(!list->item(1)->isSelected());

    // Selecting ranges: a click selects its line alone, Ctrl adds the lines of a mark, all of
    // them (here the two that share a place).
    Find<QCheckBox>(w, "RangeSelect")->click();
    QTest::mouseClick(map.view(), Qt::LeftButton, {}, pixelOf(map, 1));
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(1)});
    QTest::mouseClick(map.view(), Qt::LeftButton, Qt::ControlModifier, shared);
    QCOMPARE(list->selectedItems().size(), 3);

    // A drag moves the map and selects nothing.
    list->clearSelection();
    const QPointF before = map.view()->canvas().view().toPixel({40.76, -111.9});
    QTest::mousePress(map.view(), Qt::LeftButton, {}, pixelOf(map, 1));
    QMouseEvent move(QEvent::MouseMove, QPointF(pixelOf(map, 1) + QPoint(40, 0)),
                     map.view()->mapToGlobal(QPointF(pixelOf(map, 1) + QPoint(40, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(map.view(), &move);
    QTest::mouseRelease(map.view(), Qt::LeftButton, {}, pixelOf(map, 1) + QPoint(40, 0));
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(map.view()->canvas().view().toPixel({40.76, -111.9}).x(), before.x() + 40);
}

void TestMapWindow::clickedDotScrollsItsLineIntoView() {
    // The real data: County "SAN" lists a thousand ZIP codes, most of them out of sight.
    TestWindow t(CORVANA_BIN_DIR);
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchCity", "salt lake");
    QCOMPARE(
        map.description(),
        QString("Map of %1 ZIP codes around Salt Lake City, UT").arg(w.resultsList()->count()));
    search(w, "SearchCounty", "SAN");
    QListWidget* list = w.resultsList();
    QVERIFY(list->count() > 1000);
    const auto& dots = map.view()->canvas().content().dots;
    QVERIFY(dots.size() > 1000);
    auto inSight = [&](int row) {
        return list->viewport()->rect().contains(list->visualItemRect(list->item(row)));
    };
    // A dot on top at its own pixel whose line lies below the list's end in sight.
    for (auto it = dots.rbegin(); it != dots.rend(); ++it) {
        const QPoint at = map.view()->canvas().view().toPixel(it->at).toPoint();
        const MapDot* hit = map.view()->canvas().dotAt(at);
        if (!map.view()->rect().contains(at) || !hit || hit->id != it->id || inSight(it->id))
            continue;
        QTest::mouseClick(map.view(), Qt::LeftButton, {}, at);
        QVERIFY(list->item(it->id)->isSelected());
        QVERIFY(inSight(it->id));
        QCOMPARE(selectedDots(map), std::set<int>{it->id});
        return;
    }
    QFAIL("no dot of a line out of sight");
}

void TestMapWindow::listSelectionMarksDots() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchZip", "841");
    QListWidget* list = w.resultsList();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    QCOMPARE(selectedDots(map), (std::set<int>{0, 2}));
    list->item(0)->setSelected(false);
    QCOMPARE(selectedDots(map), std::set<int>{2});
    // A new list starts with nothing marked, the view fitted to it.
    map.view()->canvas().key(Qt::Key_Plus);
    search(w, "SearchZip", "9");
    search(w, "SearchZip", "969");
    QVERIFY(selectedDots(map).empty());
    QVERIFY(map.view()->canvas().view().isFitted());
}

void TestMapWindow::keysWheelAndHover() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchZip", "841");
    TMapView* view = map.view();
    const auto& mapView = view->canvas().view();
    const double fitted = mapView.scale();

    QTest::keyClick(view, Qt::Key_Plus);
    QCOMPARE(mapView.scale(), fitted * 1.5);
    QTest::keyClick(view, Qt::Key_Minus);
    QCOMPARE(mapView.scale(), fitted);
    const double lon = mapView.centre().longitude;
    QTest::keyClick(view, Qt::Key_Right);
    QVERIFY(mapView.centre().longitude > lon);
    QVERIFY(!mapView.isFitted());
    QTest::keyClick(view, Qt::Key_Home);
    QVERIFY(mapView.isFitted());
    // The View menu does the same.
    Find<QAction>(map, "MenuZoomIn")->trigger();
    QCOMPARE(mapView.scale(), fitted * 1.5);
    Find<QAction>(map, "MenuFittedView")->trigger();
    QVERIFY(mapView.isFitted());

    // One notch of the wheel zooms in at the pointer: the place under it stays.
    const QPointF at(200, 150);
    const corvana::map::GeoPoint before = mapView.toGeo(at);
    QWheelEvent wheel(at, view->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QCOMPARE(mapView.scale(), fitted * 1.25);
    QVERIFY(std::abs(mapView.toGeo(at).longitude - before.longitude) < 1e-9);

    // Resting on a dot shows its line; elsewhere nothing.
    Find<QAction>(map, "MenuFittedView")->trigger();
    const QPoint dot = pixelOf(map, 1);
    QHelpEvent onDot(QEvent::ToolTip, dot, view->mapToGlobal(dot));
    QApplication::sendEvent(view, &onDot);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), w.resultsList()->item(1)->text());
    QHelpEvent offDot(QEvent::ToolTip, QPoint(2, 2), view->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(view, &offDot);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestMapWindow::notesWithoutOutlinesOrLocations() {
    {
        TestWindow t(fixtureDir("points")); // positions, no outlines
        TMainWin& w = t.open();
        TMapWin& map = openMap(w);
        search(w, "SearchZip", "841");
        QCOMPARE(map.view()->canvas().note(), QString(corvana::map::msg::OutlinesNotFound));
        QCOMPARE(map.view()->canvas().content().dots.size(), std::size_t(3));
        QCOMPARE(map.description(), QString("Map of 3 ZIP codes around Salt Lake City, UT, "
                                            "without state and county outlines"));
    }
    {
        TestWindow t(fixtureDir("small")); // neither
        TMainWin& w = t.open();
        TMapWin& map = openMap(w);
        search(w, "SearchZip", "970");
        QVERIFY(map.view()->canvas().content().dots.empty());
        QCOMPARE(map.view()->canvas().note(),
                 QString(corvana::map::msg::OutlinesNotFound) + "\nThis data has no locations.");
        QVERIFY(!map.view()->canvas().image().isNull());
    }
}

void TestMapWindow::copyImage() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchZip", "841");
    QApplication::clipboard()->clear();
    Find<QAction>(map, "MenuCopyImage")->trigger();
    // The picture under the list's heading, which names it.
    const QImage copied = QApplication::clipboard()->image();
    QCOMPARE(copied.width(), map.view()->width());
    QVERIFY(copied.height() > map.view()->height());
    QCOMPARE(map.heading(), Find<QLabel>(w, "AnswerBoxLabel")->text());
    QCOMPARE(copied.convertToFormat(QImage::Format_ARGB32),
             map.view()->canvas().image(1.0, map.heading()).convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(Find<QAction>(map, "MenuCopyImage")->text(), QString("&Copy Image"));
    QCOMPARE(Find<QAction>(map, "MenuSaveImage")->text(), QString::fromUtf8("&Save Image\u2026"));
    QCOMPARE(Find<QAction>(map, "MenuCopyImage")->shortcut(), QKeySequence("Ctrl+C"));
    QCOMPARE(Find<QAction>(map, "MenuSaveImage")->shortcut(), QKeySequence("Ctrl+S"));
    QCOMPARE(Find<QAction>(map, "MenuFittedView")->shortcut(), QKeySequence("Home"));
}

void TestMapWindow::sizeByPopulationIsRemembered() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    search(w, "SearchZip", "841");
    TMapWin& map = openMap(w);
    auto* size = Find<QAction>(map, "MenuSizeByPopulation");
    QVERIFY(size->isEnabled() && size->isCheckable() && !size->isChecked());
    QVERIFY(!map.view()->canvas().content().sizedByPeople);
    size->trigger();
    const corvana::map::MapContent& content = map.view()->canvas().content();
    QVERIFY(content.sizedByPeople);
    const auto saltLake = std::find_if(content.dots.begin(), content.dots.end(),
                                       [](const auto& d) { return d.zip == "84101"; });
    QVERIFY(saltLake != content.dots.end());
    QCOMPARE(saltLake->people, std::optional<std::uint32_t>(7358));
    QVERIFY(map.view()->canvas().legendText().contains("Dot size: people"));
    if (const QByteArray dir = qgetenv("CORVANA_SCREENSHOT_DIR"); !dir.isEmpty())
        map.titledImage().save(QString::fromLocal8Bit(dir) + "/map-window-sized.png");
    w.close();
    QCOMPARE(t.savedIni().get("Map", "Size By Population", "", 15), std::string("Yes"));

    // The next run opens the map sized as it was left.
    TMainWin& again = t.open();
    QVERIFY(again.mapWindow());
    QVERIFY(Find<QAction>(*again.mapWindow(), "MenuSizeByPopulation")->isChecked());
    again.close();

    // Data without figures: the command is off and says why.
    TestWindow bare(fixtureDir("small"));
    TMapWin& plain = openMap(bare.open());
    auto* off = Find<QAction>(plain, "MenuSizeByPopulation");
    QVERIFY(!off->isEnabled());
    QCOMPARE(off->toolTip(), QString("This data has no population figures."));
}

void TestMapWindow::settingsWrittenOnlyOnceTheMapWasOpened() {
    TestWindow t;
    t.writeIni("[Misc]\nWindow Size=640\n");
    t.open().close();
    const std::string first = readFile(t.iniPath());
    QVERIFY(!t.savedIni().has("Map"));
    // A run that leaves the map closed leaves the file as it was.
    t.open().close();
    QCOMPARE(readFile(t.iniPath()), first);

    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    map.move(100, 120);
    map.resize(500, 400);
    w.close();
    corvana::MapSettings saved = corvana::LoadMapSettings(t.savedIni());
    QCOMPARE(saved, map.placement(true));
    QVERIFY(saved.present && saved.open);
    QCOMPARE(QSize(saved.width, saved.height), QSize(500, 400));
    QVERIFY(readFile(t.iniPath()).starts_with(first));

    // Closed before the end: kept closed, and where it was.
    TMainWin& again = t.open();
    QVERIFY(again.mapWindow() && again.mapWindow()->isVisible());
    QVERIFY(Find<QAction>(again, "MenuMap")->isChecked());
    again.mapWindow()->close();
    again.close();
    saved = corvana::LoadMapSettings(t.savedIni());
    QVERIFY(!saved.open);
    QCOMPARE(QSize(saved.width, saved.height), QSize(500, 400));
    // A file with the section but the map closed keeps its bytes too.
    const std::string closed = readFile(t.iniPath());
    t.open().close();
    QCOMPARE(readFile(t.iniPath()), closed);
}

void TestMapWindow::reopensAtStartClampedToTheScreen() {
    TestWindow t;
    t.screen = QSize(1024, 768);
    t.writeIni("[Map]\nLeft=5000\nTop=-50\nWidth=3000\nHeight=400\nOpen=Yes\n");
    TMainWin& w = t.open();
    TMapWin* map = w.mapWindow();
    QVERIFY(map && map->isVisible());
    // The whole frame on the screen; the client area as high as it was left.
    QCOMPARE(map->frameGeometry().width(), 1024);
    QCOMPARE(map->height(), 400);
    QCOMPARE(map->pos(), QPoint(0, 0));
    QCOMPARE(ClampToScreen({900, 700, 300, 200}, {1024, 768}, {240, 180}),
             QRect(724, 568, 300, 200));
    QCOMPARE(ClampToScreen({10, 10, 50, 50}, {1024, 768}, {240, 180}), QRect(10, 10, 240, 180));

    // Left beside the main window where that was; the main window is moved before the map is
    // opened again: the map opens beside it, not under it. Unmoved, the map comes back where it
    // was left, over the main window or not.
    for (bool moveFirst : {false, true}) {
        TestWindow moved;
        moved.screen = QSize(1280, 1024);
        moved.writeIni("[Misc]\nMain Window Left=0\nMain Window Top=0\n"
                       "[Map]\nLeft=100\nTop=120\nWidth=640\nHeight=480\nOpen=No\n");
        TMainWin& there = moved.open();
        if (moveFirst)
            there.move(200, 150);
        TMapWin& map = openMap(there);
        QCOMPARE(map.frameGeometry().intersects(there.frameGeometry()), !moveFirst);
        if (moveFirst)
            QCOMPARE(map.frameGeometry().top(), there.frameGeometry().top());
    }

    // Never placed: beside the main window, on its right when there is room.
    TestWindow fresh;
    TMainWin& main = fresh.open();
    TMapWin& beside = openMap(main);
    QVERIFY(beside.x() > main.frameGeometry().right());
    QVERIFY(beside.frameGeometry().right() < fresh.screen.width());

    // The largest window leaves too little room on either side: the map takes what there is
    // rather than hide the window.
    TestWindow large;
    large.writeIni("[Misc]\nWindow Size=1280\nMain Window Left=0\n");
    TMainWin& wide = large.open();
    TMapWin& narrow = openMap(wide);
    QVERIFY(narrow.x() > wide.frameGeometry().right());
    QVERIFY(narrow.width() >= 240);
    QCOMPARE(narrow.frameGeometry().right() + 1, large.screen.width());
}

void TestMapWindow::stackOfZipCodesIsOneMark() {
    // The real data: 16 P.O.-box ZIP codes of prefix 841 share the point 40.6681,-111.9083.
    TestWindow t(CORVANA_BIN_DIR);
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchZip", "841");
    QListWidget* list = w.resultsList();
    auto& canvas = map.view()->canvas();
    const QPoint at = canvas.view().toPixel({40.6681, -111.9083}).toPoint();
    const std::vector<int> ids = canvas.markAt(at);
    QCOMPARE(ids.size(), std::size_t(16));
    // One mark and its count in the legend; the tooltip names ten lines and the rest.
    QVERIFY(canvas.legendText().contains("ZIP codes at one point"));
    const QStringList tip = map.view()->markText(ids).split('\n');
    QCOMPARE(tip.size(), 11);
    QCOMPARE(tip.front(), list->item(ids.front())->text());
    QCOMPARE(tip.back(), QString("and 6 more"));

    // Without Range Selecting each click steps to the mark's next line, scrolled into view.
    auto stackSelected = [&] {
        std::vector<int> rows;
        for (int id : ids)
            if (list->item(id)->isSelected())
                rows.push_back(id);
        return rows;
    };
    for (std::size_t click = 0; click <= ids.size(); ++click) {
        QTest::mouseClick(map.view(), Qt::LeftButton, {}, at);
        const int expected = ids[click % ids.size()];
        QCOMPARE(stackSelected(), std::vector<int>{expected});
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(expected))));
    }
    // With it a click selects all of them, and Ctrl takes them off again.
    Find<QCheckBox>(w, "RangeSelect")->click();
    QTest::mouseClick(map.view(), Qt::LeftButton, {}, at);
    QCOMPARE(stackSelected(), ids);
    QCOMPARE(list->selectedItems().size(), 16);
    QTest::mouseClick(map.view(), Qt::LeftButton, Qt::ControlModifier, at);
    QVERIFY(list->selectedItems().isEmpty());
}

void TestMapWindow::marksSteppedThroughFromTheKeyboard() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchCity", "salt lake"); // 84101, 84102, 84110 (84101 and 84110 share a place)
    QListWidget* list = w.resultsList();
    QCOMPARE(list->count(), 3);
    auto step = [&](const char* action) { Find<QAction>(map, action)->trigger(); };
    auto selected = [&] {
        std::set<int> rows;
        for (auto* item : list->selectedItems())
            rows.insert(list->row(item));
        return rows;
    };
    const QString described = map.view()->accessibleDescription();
    // From no selection to the first mark, its first line; on through the stack's lines; on to
    // the next mark; back. Each step selects its line alone, marks its dot and says which.
    step("MenuNextMark");
    QCOMPARE(selected(), std::set<int>{0});
    QCOMPARE(selectedDots(map), std::set<int>{0});
    QVERIFY(map.view()->accessibleDescription().startsWith(
        "Mark 1 of 2, ZIP code 1 of 2 at this point: 84101"));
    step("MenuNextLineOfMark");
    QCOMPARE(selected(), std::set<int>{2});
    QVERIFY(map.view()->accessibleDescription().startsWith(
        "Mark 1 of 2, ZIP code 2 of 2 at this point: 84110"));
    step("MenuNextMark");
    QCOMPARE(selected(), std::set<int>{1});
    QVERIFY(map.view()->accessibleDescription().startsWith("Mark 2 of 2: 84102"));
    QVERIFY(map.view()->accessibleDescription() != described);
    step("MenuPreviousMark");
    QCOMPARE(selected(), std::set<int>{0});
    QCOMPARE(list->currentRow(), 0);
    // The keys are the menu's: N, P and Space.
    QCOMPARE(Find<QAction>(map, "MenuNextMark")->shortcut(), QKeySequence(Qt::Key_N));
    QCOMPARE(Find<QAction>(map, "MenuPreviousMark")->shortcut(), QKeySequence(Qt::Key_P));
    QCOMPARE(Find<QAction>(map, "MenuNextLineOfMark")->shortcut(), QKeySequence(Qt::Key_Space));
}

void TestMapWindow::zipCodesWithoutAnAreaAreHollow() {
    // 84110 is a post-office box: of Zip "841" its dot alone has no area.
    auto hollowZips = [](TMapWin& map) {
        std::set<std::string> zips;
        for (const MapDot& d : map.view()->canvas().content().dots)
            if (d.noArea)
                zips.insert(d.zip);
        return zips;
    };
    {
        MapData data;
        TestWindow t(data.dir.str());
        TMainWin& w = t.open();
        TMapWin& map = openMap(w);
        search(w, "SearchZip", "84110");
        QCOMPARE(hollowZips(map), std::set<std::string>{"84110"});
        QVERIFY(map.view()->canvas().legendText().contains("Without an area"));
        // Of Zip "841" it shares its point with 84101, which has an area: the mark is filled,
        // and the legend has no hollow mark to explain.
        search(w, "SearchZip", "841");
        QCOMPARE(map.view()->canvas().content().dots.size(), std::size_t(3));
        QCOMPARE(hollowZips(map), std::set<std::string>{"84110"});
        QCOMPARE(map.view()->canvas().markAt(pixelOf(map, 0)).size(), std::size_t(2));
        QVERIFY(!map.view()->canvas().legendText().contains("Without an area"));
        search(w, "SearchZip", "8410"); // only ZIP codes with an area
        QVERIFY(hollowZips(map).empty());
        QVERIFY(map.view()->canvas().note().isEmpty());
    }
    {
        // The real data: of Zip "100", four boxes share 40.7808,-73.9772, a hollow mark.
        TestWindow t(CORVANA_BIN_DIR);
        TMainWin& w = t.open();
        TMapWin& map = openMap(w);
        search(w, "SearchZip", "100");
        const QPoint at = map.view()->canvas().view().toPixel({40.7808, -73.9772}).toPoint();
        const std::vector<int> ids = map.view()->canvas().markAt(at);
        QCOMPARE(ids.size(), std::size_t(4));
        for (int id : ids)
            for (const MapDot& d : map.view()->canvas().content().dots)
                if (d.id == id)
                    QVERIFY2(d.noArea, d.zip.c_str());
        QVERIFY(map.view()->canvas().legendText().contains("Without an area"));
    }
    // Without the facts file, or with a damaged one, every dot is filled, as before there
    // were kinds, and nothing is said about it.
    for (const char* damage : {"missing", "cut", "other data"}) {
        MapData data;
        const auto facts = data.dir.path() / corvana::filenames::FactsDat;
        QVERIFY(std::filesystem::exists(facts));
        if (std::string(damage) == "missing") {
            std::filesystem::remove(facts);
        } else if (std::string(damage) == "cut") {
            std::filesystem::resize_file(facts, std::filesystem::file_size(facts) / 2);
        } else {
            // A facts file of another data set: its record count differs.
            std::filesystem::copy_file(std::string(CORVANA_BIN_DIR) + "/" +
                                           corvana::filenames::FactsDat,
                                       facts, std::filesystem::copy_options::overwrite_existing);
        }
        TestWindow t(data.dir.str());
        TMainWin& w = t.open();
        TMapWin& map = openMap(w);
        search(w, "SearchZip", "84110");
        QCOMPARE(map.view()->canvas().content().dots.size(), std::size_t(1));
        QVERIFY2(hollowZips(map).empty(), damage);
        QVERIFY2(!map.view()->canvas().legendText().contains("Without an area"), damage);
        QVERIFY2(map.view()->canvas().note().isEmpty(), damage);
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY2(!(qobject_cast<QMessageBox*>(top) && top->isVisible()), damage);
    }
}

void TestMapWindow::helpTableHasEveryMapShortcut() {
    // The help's table of keys names the map's commands in rows "Map: A, B" beside "Key A,
    // Key B"; every command of the map's menus with a shortcut is there with its own key.
    QFile file(QString(CORVANA_BIN_DIR) + "/CORVA.HLP");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString help = QString::fromLatin1(file.readAll());
    std::map<QString, QString> keyOf;
    static const QRegularExpression row("<tr><td>Map: ([^<]*)</td><td>([^<]*)</td></tr>");
    for (auto it = row.globalMatch(help); it.hasNext();) {
        const auto m = it.next();
        const QStringList names = m.captured(1).split(", "), keys = m.captured(2).split(", ");
        QCOMPARE(names.size(), keys.size());
        for (qsizetype i = 0; i < names.size(); ++i)
            keyOf[names[i].toLower()] = keys[i];
    }
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    int commands = 0;
    for (QAction* action : map.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        ++commands;
        QString name = action->text().remove('&').remove(QChar(0x2026)).toLower();
        const auto found = keyOf.find(name);
        QVERIFY2(found != keyOf.end(), qPrintable(name));
        QCOMPARE(found->second, action->shortcut().toString(QKeySequence::PortableText));
    }
    QVERIFY(commands >= 7);
}

void TestMapWindow::savedAndPrintedImages() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    search(w, "SearchCity", "salt lake");
    // A file name from the heading, without what a name may not hold.
    QVERIFY(!map.heading().isEmpty());
    QCOMPARE(map.suggestedImageName(), map.heading().simplified() + ".png");
    Find<QLabel>(w, "AnswerBoxLabel")->setText(" a/b: *c* ");
    QCOMPARE(map.suggestedImageName(), QString("a b c.png"));
    Find<QLabel>(w, "AnswerBoxLabel")->setText("..");
    QCOMPARE(map.suggestedImageName(), QString("Map.png"));
    // A folder that is gone falls back to the pictures folder or home.
    TempDir saved;
    corvana::MapSettings settings = map.placement(true);
    QVERIFY(settings.imageFolder.empty());
    const QString start = map.imageFolder();
    QVERIFY(QFileInfo(start).isDir());

    // One page of a PDF, the titled map fitted to it.
    const QString pdf = QString::fromStdString(saved.str() + "/map.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    map.printTo(printer);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    QCOMPARE(Find<QAction>(map, "MenuPrintMap")->shortcut(), QKeySequence("Ctrl+P"));
}

void TestMapWindow::placeFollowsTheMainWindow() {
    TestWindow t;
    t.screen = QSize(1600, 1000);
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    auto beside = [&] {
        const QRect main = w.frameGeometry(), own = map.frameGeometry();
        return !own.intersects(main) && own.left() >= 0 && own.right() < t.screen.width() &&
               own.bottom() < t.screen.height();
    };
    QVERIFY(beside());
    // Every screen size keeps it beside, without a gap growing between them.
    for (int size : {1280, 400, 1024, 640}) {
        w.ChooseWindowSize(size);
        QVERIFY2(beside(), qPrintable(QString::number(size)));
        if (map.x() > w.x())
            QCOMPARE(map.x() - (w.frameGeometry().right() + 1), 8);
    }
    // Once the user moved it, it stays where it was put.
    map.move(20, 20);
    w.ChooseWindowSize(1024);
    QCOMPARE(map.pos(), QPoint(20, 20));
}

void TestMapWindow::focusPaletteAndFonts() {
    MapData data;
    TestWindow t(data.dir.str());
    TMainWin& w = t.open();
    TMapWin& map = openMap(w);
    // Open, the map has the keys at once.
    QCOMPARE(map.focusWidget(), map.view());
    // A dark palette gives a dark map; a light one a light map.
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    map.setPalette(dark);
    QVERIFY(map.view()->canvas().colours().land.lightness() < 80);
    QVERIFY(map.view()->canvas().colours().text.lightness() > 200);
    search(w, "SearchCity", "salt lake");
    const QImage night = map.titledImage();
    const QPoint land = map.view()->canvas().view().toPixel({40.0, -111.5}).toPoint();
    QVERIFY(
        QColor(night.pixel(land + QPoint(0, night.height() - map.view()->height()))).lightness() <
        80);
    map.setPalette(QPalette(QColor(0xf0, 0xf0, 0xf0)));
    QVERIFY(map.view()->canvas().colours().land.lightness() > 200);
    // The names follow the main window's size.
    const double small = map.view()->canvas().fontPixels();
    w.ChooseWindowSize(1280);
    QVERIFY(map.view()->canvas().fontPixels() > small * 1.5);
    // The legend and the scale bar are described for a screen reader.
    search(w, "SearchCity", "salt lake");
    map.view()->repaint();
    QCOMPARE(map.view()->legend()->accessibleName(), QString("Legend"));
    QVERIFY(map.view()->legend()->accessibleDescription().startsWith("ZIP code: blue dot"));
    QVERIFY(map.view()->scaleBar()->accessibleDescription().contains(" mi"));
    QVERIFY(map.view()->scaleBar()->accessibleDescription().contains(" km"));
}

QTEST_MAIN(TestMapWindow)
void TestMapWindow::readsTheListOnlyThroughItsSource() {
    MapData data;
    corvana::DataSet set;
    set.dir = data.dir.str();
    QVERIFY(corvana::LoadInData(set).ok());
    corvana::Settings settings;
    corvana::SystemClock clock;
    Lines lines;
    lines.lines = corvana::SearchTheZip("841", {set, settings, {false, &clock}}).items;
    QVERIFY(lines.lines.size() >= 3);
    std::optional<corvana::geo::PointsLoad> points;
    QString heading = "Zip Codes Of The Test";
    MapSource source{&lines,
                     &set,
                     [] { return std::optional<corvana::NearbyCentre>(); },
                     [&] { return heading; },
                     [] { return 15; },
                     [&]() -> const corvana::geo::PointsLoad& {
                         if (!points)
                             points = corvana::geo::LoadPoints(set);
                         return *points;
                     },
                     QSize(1280, 1024),
                     {}};
    corvana::MapSettings placed;
    placed.width = 640;
    placed.height = 480;
    TMapWin map(std::move(source), placed, nullptr);
    map.show();
    map.view()->resize(640, 480);
    map.follow();
    QCOMPARE(map.view()->canvas().content().dots.size(), lines.lines.size());
    QCOMPARE(map.view()->dotText(1), fromCore(lines.lines[1].text));
    QCOMPARE(map.view()->dotText(int(lines.lines.size())), QString());
    QCOMPARE(map.heading(), heading);
    heading.clear();
    QCOMPARE(map.heading(), map.description());

    // The selection is read when the window says it changed.
    lines.selected = {0, 2};
    map.followSelection();
    QCOMPARE(selectedDots(map), (std::set<int>{0, 2}));

    // A click on a dot asks for its line and selects nothing by itself.
    QSignalSpy clicked(&map, &TMapWin::linesClicked);
    QTest::mouseClick(map.view(), Qt::LeftButton, Qt::ControlModifier, pixelOf(map, 1));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked[0][0].value<QList<int>>(), QList<int>{1});
    QCOMPARE(clicked[0][1].value<Qt::KeyboardModifiers>(),
             Qt::KeyboardModifiers(Qt::ControlModifier));
    QCOMPARE(lines.selected, (std::set<std::size_t>{0, 2}));

    // A hidden list's lines are stale: the map shows none of them.
    lines.visible = false;
    map.follow();
    QVERIFY(map.view()->canvas().content().dots.empty());
}

#include "test_map_window.moc"
