#include "main/window/MainWin.h"

#include "data/Errors.h"
#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "format/SystemZone.h"
#include "main/app/Messages.h"
#include "main/app/TimeFormat.h"
#include "main/dialogs/DialogCommands.h"
#include "main/printing/CopyOrPrint.h"
#include "main/style/CorvanaStyle.h"
#include "main/widgets/ItemHeightDelegate.h"
#include "main/window/CommandRow.h"
#include "main/window/DetailsCommand.h"
#include "main/window/FramePlacement.h"
#include "main/window/MainMenus.h"
#include "main/window/PhoneCommand.h"
#include "main/window/ResultsView.h"
#include "main/window/SearchPanel.h"
#include "mapwindow/MapWindow.h"
#include "settings/IniFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int DesignClientWidth = 500;
constexpr int DesignClientHeight = 401;
constexpr int CompactHeight = 149;

struct WindowSize {
    int size;
    double factor;
    int needWidth, needHeight; // the screen a size requires; 0: any screen
};

constexpr WindowSize WindowSizes[] = {
    {400, 0.66, 0, 0},     {480, 0.75, 0, 0},      {640, 1.0, 0, 0},
    {800, 1.25, 800, 600}, {1024, 1.6, 1024, 768}, {1280, 2.0, 1280, 1024},
};

const WindowSize* findWindowSize(int size) {
    for (const WindowSize& s : WindowSizes)
        if (s.size == size)
            return &s;
    return nullptr;
}

bool screenHolds(const WindowSize& s, int width, int height) {
    return width >= s.needWidth && height >= s.needHeight;
}

} // namespace

void TMainWin::MenuPreferencesClick() {
    dialogs_->Preferences({ScaleFactor, screenSize(), this});
}

void TMainWin::MenuTimeZoneClick() {
    dialogs_->TimeZone({ScaleFactor, screenSize(), this});
}

void TMainWin::MenuAboutClick() {
    dialogs_->About({ScaleFactor, screenSize(), this});
}

void TMainWin::MenuZipVersionClick() {
    dialogs_->ZipVersion(data_, this);
}

void TMainWin::help(const QString& keyword) {
    dialogs_->Help(keyword);
}

void TMainWin::MenuContentsClick() {
    dialogs_->Contents();
}

void TMainWin::MenuUpdatesClick() {
    dialogs_->Updates();
}

void TMainWin::MenuOtherProductsClick() {
    dialogs_->OtherProducts({ScaleFactor, screenSize(), this});
}

void TMainWin::MenuPrinterSetupClick() {
    dialogs_->PrinterSetup({ScaleFactor, screenSize(), this});
}

corvana::CollectedOutput TMainWin::CollectOutput(int format, bool allItems) const {
    corvana::CollectedOutput out =
        corvana::CollectOutput(corvana::OutputItems(*results_, allItems), format, data_, settings_);
    if (nearby_)
        out.heading = nearbyHeading_;
    return out;
}

void TMainWin::DoCopyOrPrint(bool printMode) {
    // The records are read again when the command runs, so the output follows the settings of
    // that moment, not those of the search that listed the lines.
    auto collect = [this](int format, bool allItems) { return CollectOutput(format, allItems); };
    dialogs_->CopyOrPrint(printMode, *results_, collect, {ScaleFactor, screenSize(), this});
}

void TMainWin::MenuNearbyClick() {
    const corvana::ResultItem* centre = results_->chosenRecord();
    if (ended_ || !menus_->nearbyEnabled() || !centre)
        return;
    const corvana::geo::PointsLoad& load = points();
    if (!load.points) {
        messages().message(this, corvana::caption::Error, fromCore(load.message));
        return;
    }
    const std::uint32_t record = *centre->record();
    // Damaged or missing facts say nothing of kinds: the box is off and every ZIP code listed.
    const corvana::ZipFacts* facts = details_->facts();
    const corvana::PeopleLoad& people = this->people();
    const auto circle = dialogs_->Nearby(fromCore(corvana::ListedZipCode(*centre)),
                                         {ScaleFactor, screenSize(), this}, facts != nullptr,
                                         people.people ? QString() : fromCore(people.message));
    if (!circle)
        return;
    const corvana::KindChoice kinds{settings_.nearbyStandardOnly ? corvana::KindSet::standardOnly()
                                                                 : corvana::KindSet::all(),
                                    facts};
    if (!circle->people || !people.people) {
        applyResult(
            corvana::SearchNearby(*load.points, record, circle->miles, searchContext(), kinds));
        return;
    }
    corvana::ReachSearchResult reach =
        corvana::SearchReach(*load.points, *people.people, record,
                             corvana::ReachRequest{std::nullopt, std::uint64_t(*circle->people)},
                             searchContext(), kinds);
    if (!reach.reach.reached) {
        messages().message(this, corvana::caption::Error, fromCore(corvana::ReachShortfall(reach)));
        return;
    }
    // The heading carries the people the list holds, on the screen and on the printed page.
    if (reach.list.heading)
        reach.list.heading->text = corvana::ReachHeading(reach);
    applyResult(std::move(reach.list));
}

void TMainWin::updateNearbyCommand() {
    menus_->setNearbyEnabled(hasLocations_ && results_->listShown() && results_->hasRecords());
    details_->update();
}

void TMainWin::dropNearbyList() {
    if (!nearby_)
        return;
    nearby_.reset();
    results_->clearHeading();
    showItems({});
}

corvana::SearchContext TMainWin::searchContext() const {
    return {data_, settings_, corvana::TimeContext{DaylightInEffect, &clock(), timeFormatter_}};
}

void TMainWin::FormCreate() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setClientSize({DesignClientWidth, DesignClientHeight});

    data_.dir = env_.dataDir;
    const corvana::IniFile ini = corvana::IniFile::load(env_.settingsPath);
    settings_ = corvana::LoadSettings(ini, corvana::ClockUserZone(clock()));
    mapSettings_ = corvana::LoadMapSettings(ini);

    ScreenWidth = env_.screen.width();
    ScreenHeight = env_.screen.height();
    const WindowSize* size = findWindowSize(settings_.windowSize);
    if (!size || !screenHolds(*size, ScreenWidth, ScreenHeight))
        size = findWindowSize(640);
    ScaleFactor = size->factor;
    menus_->checkSize(size->size);
    // Allowances for a title bar and the borders, which are not known before the window is up.
    constexpr int TitleBarAllowance = 32;
    constexpr int BorderAllowance = 8;
    std::vector<QRect> screens{QRect(QPoint(0, 0), env_.screen)};
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(screen->geometry());
    const int strip = TitleBarAllowance + menuBar()->sizeHint().height();
    startCorner_ = ReachableFrame(
        {settings_.mainWindowLeft, settings_.mainWindowTop},
        {Scaled(ScaleFactor, DesignClientWidth) + 2 * BorderAllowance, strip}, strip, screens);
    PlaceFrame(*this, startCorner_);

    if (settings_.alwaysOnTop) {
        SetItOnTop(true);
        menus_->setAlwaysOnTop(true);
    }

    SaveFormLayout();

    corvana::LoadResult loaded = corvana::LoadInData(data_);
    if (!loaded.fatal.empty()) {
        FatalEnd(loaded.fatal);
        return;
    }
    if (loaded.ioError)
        messages().message(this, corvana::caption::Error, fromCore(*loaded.ioError));
    // Only whether the locations are there: they are read when first wanted, and a file there
    // that cannot be read says so then.
    hasLocations_ = !corvana::DataFileMissing(data_.path(corvana::filenames::PointsDat));
    if (!hasLocations_)
        menus_->setNearbyUnavailable(corvana::msg::NoLocations);
    phone_->checkData();
    search_->fillStates(corvana::StateAbbreviations(data_));
}

void TMainWin::FormShow() {
    DaylightInEffect = corvana::IsDaylightPeriod(clock().now());

    RestoreFormLayout(3);
    search_->sizeStateFields(ScaleFactor);

    setWindowTitle("Corvana");

    search_->showStateChoice();
    search_->chooseMode(
        corvana::ModeFromNumber(settings_.lastSearch).value_or(corvana::SearchMode::Zip));
    StartSearch();
    // The map reopens if it was open at the last close, leaving the keys to this window.
    if (mapSettings_.open && !ended_) {
        menus_->setMapOpen(true);
        MenuMapClick();
        activateWindow();
    }
}

void TMainWin::FormClose() {
    if (ended_)
        return;
    ended_ = true;
    search_->stop();
    results_->setMenuCommands({});
    details_->closeWindow();
    phone_->closeWindow();
    // The frame's corner as the window system has it now: the widget's own idea of the frame
    // may date from before the window manager framed the window, and the toolkit's of where
    // the window is from before the window manager answered a move.
    const QPoint frame = FrameCorner(*this);
    settings_.mainWindowLeft = frame.x();
    settings_.mainWindowTop = frame.y();
    // Read the file again so that whatever else it holds survives the rewrite.
    corvana::IniFile ini = corvana::IniFile::load(env_.settingsPath);
    corvana::SaveSettings(settings_, ini);
    // A file keeps its bytes unless the map was opened in this run.
    if (map_) {
        corvana::SaveMapSettings(map_->placement(map_->isVisible()), ini);
        map_->hide();
    }
    // The program ends all the same: the user asked to quit, and the file as it was stays
    // whole. Only the user hears that this session's settings were lost.
    if (!ini.save(env_.settingsPath))
        messages().message(this, corvana::caption::Error,
                           "The settings could not be saved to " +
                               QString::fromStdString(env_.settingsPath) + ".");
    data_.states.clear();
    data_.counties.clear();
    if (env_.onEnd)
        env_.onEnd();
}

void TMainWin::FatalEnd(const std::vector<std::string>& fatal) {
    for (const std::string& text : fatal)
        messages().message(this, corvana::caption::Fatal, fromCore(text));
    FormClose();
    close();
}

void TMainWin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !ended_) {
        shown_ = true;
        FormShow();
    }
}

void TMainWin::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

bool TMainWin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Leaving the override unaccepted lets the menu's shortcut run instead of the editing
        // key of the control (Ctrl+C, Ctrl+X, Ctrl+Z, Ctrl+A ...). A command that is switched
        // off leaves the key to the control.
        auto* key = static_cast<QKeyEvent*>(event);
        if (menus_->takesShortcut(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainWin::SaveFormLayout() {
    ::SaveFormLayout(components_, client_, DesignLayout_, messages(), this);
}

void TMainWin::RestoreFormLayout(int placement) {
    int p = ScalePercent(ScaleFactor);
    SetStylePercent(this, p);
    QSize client = ::RestoreFormLayout(components_, DesignLayout_, p);
    results_->setItemHeight(ScaleValue(AnswerItemHeight, p));
    setClientSize(client);
    search_->fitTexts();
    commands_->fitTexts(client_.width());
    if (placement == 1 || placement == 2) {
        QRect current = frameGeometry();
        move(PlaceWindow(placement, current.size(), pos(), current, {ScreenWidth, ScreenHeight}));
    }
}

void TMainWin::ChooseWindowSize(int size) {
    // Choosing an item flips its check mark before we decide; put the marks back first.
    menus_->checkSize(menus_->checkedSize());
    const WindowSize* s = findWindowSize(size);
    if (ended_ || !s || settings_.windowSize == size)
        return;
    if (!screenHolds(*s, ScreenWidth, ScreenHeight)) {
        messages().message(this, corvana::caption::Error,
                           QString("Your current screen resolution does not support %1 x %2 "
                                   "pixels.")
                               .arg(s->needWidth)
                               .arg(s->needHeight));
        return;
    }
    menus_->checkSize(size);
    settings_.windowSize = size;
    ScaleFactor = s->factor;
    RestoreFormLayout(3);
    FirstSearchSizeIt();
    phone_->rescale();
    update();
}

void TMainWin::BringToFront() {
    if (ended_)
        return;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

void TMainWin::MenuAlwaysOnTopClick(bool onTop) {
    // The command has already flipped its own check mark.
    settings_.alwaysOnTop = onTop;
    SetItOnTop(onTop);
}

void TMainWin::MenuMapClick() {
    if (ended_)
        return;
    if (!menus_->mapOpen()) {
        if (map_)
            map_->close();
        return;
    }
    if (!map_) {
        MapSource source{results_,
                         &data_,
                         [this] { return nearby_; },
                         [this] { return results_->heading(); },
                         [this] { return results_->textPixels(); },
                         [this]() -> const corvana::geo::PointsLoad& { return points(); },
                         screenSize(),
                         [this](QWidget& window, QPoint corner) {
                             PlaceFrame(window, corner, FrameExtents(*this));
                         }};
        // The map's place was saved beside the main window where that was then. Once the main
        // window has been moved in this run, a saved place that lies under it is given up for
        // one beside it; otherwise the map comes back where it was left, over the window or not.
        corvana::MapSettings place = mapSettings_;
        const QRect saved(place.left, place.top, place.width, place.height);
        if (place.width > 0 && place.height > 0 && FrameCorner(*this) != startCorner_ &&
            saved.intersects(frameGeometry()))
            place.width = place.height = 0;
        map_ = new TMapWin(std::move(source), place, this);
        connect(this, &TMainWin::listChanged, map_, &TMapWin::follow);
        connect(results_, &ResultsView::selectionChanged, map_, &TMapWin::followSelection);
        connect(map_, &TMapWin::linesClicked, results_, &ResultsView::clickLines);
        connect(map_, &TMapWin::lineStepped, results_, &ResultsView::chooseLine);
        connect(map_, &TMapWin::closed, menus_, [this] { menus_->setMapOpen(false); });
    }
    map_->show();
    map_->raise();
}

void TMainWin::StartSearch() {
    if (ended_)
        return;
    settings_.lastSearch = std::uint16_t(corvana::ModeNumber(search_->mode()));
    search_->setUpMode(ScaleFactor);
    if (ended_)
        return;

    setClientHeight(Scaled(ScaleFactor, CompactHeight));

    results_->setListShown(false);
    commands_->setShown(false);
    menus_->setOutputCommands(false);
    dropNearbyList();
    updateNearbyCommand();
    emit listChanged(); // the list is hidden: a view of it shows nothing
}

void TMainWin::FirstSearchSizeIt() {
    search_->sizeFields(ScaleFactor);
    if (!results_->listShown())
        setClientHeight(Scaled(ScaleFactor, CompactHeight));
}

void TMainWin::runSearch() {
    if (!ended_)
        applyResult(corvana::RunSearch(search_->request(), searchContext()));
}

void TMainWin::applyResult(corvana::SearchResult result) {
    if (ended_)
        return;
    const bool wasShown = results_->listShown();
    setClientHeight(Scaled(ScaleFactor, result.listShown ? DesignClientHeight : CompactHeight));
    results_->setListShown(result.listShown);
    results_->setHeadingShown(result.listShown);
    commands_->setShown(result.outputControls);
    menus_->setOutputCommands(result.outputControls);

    if (result.heading)
        results_->setHeading(fromCore(std::string(result.heading->text)));
    if (result.cleared) {
        nearby_ = result.nearby;
        nearbyHeading_ = result.nearby && result.heading ? result.heading->text : std::string();
        showItems(std::move(result.items));
    } else if (nearby_) {
        dropNearbyList(); // which empties the list and so tells its views
    } else if (wasShown != result.listShown) {
        emit listChanged();
    }
    updateNearbyCommand();

    if (!result.fatal.empty())
        FatalEnd(result.fatal);
    else if (result.ioError)
        messages().message(this, corvana::caption::Error, fromCore(*result.ioError));
}

void TMainWin::showItems(std::vector<corvana::ResultItem> items) {
    results_->showItems(std::move(items));
    emit listChanged();
}

const corvana::PeopleLoad& TMainWin::people() {
    if (!people_)
        people_ = corvana::LoadPeople(data_);
    return *people_;
}

const corvana::geo::PointsLoad& TMainWin::points() {
    if (!points_)
        points_ = corvana::geo::LoadPoints(data_);
    return *points_;
}
