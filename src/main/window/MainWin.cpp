#include "main/window/MainWin.h"

#include "data/Errors.h"
#include "data/FileNames.h"
#include "format/SystemZone.h"
#include "main/app/Messages.h"
#include "main/app/TimeFormat.h"
#include "main/dialogs/DialogCommands.h"
#include "main/printing/CopyOrPrint.h"
#include "main/style/CorvanaStyle.h"
#include "main/widgets/ItemHeightDelegate.h"
#include "main/widgets/SpinButton.h"
#include "mapwindow/MapWindow.h"
#include "settings/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWindow>

#include <algorithm>
#include <filesystem>

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

// The first field's typing rule applied to each character of a field's text.
QString typedText(corvana::SearchMode mode, const QString& text) {
    QString out;
    for (QChar c : text)
        if (corvana::FieldTakes(mode, c.unicode()))
            out += QChar(char16_t(corvana::FieldCase(mode, c.unicode())));
    return out;
}

// Tab enters a group of choices at its checked one, whichever of them had the focus last.
void TabStopOnChecked(std::initializer_list<QRadioButton*> group) {
    for (QRadioButton* b : group)
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
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

void TMainWin::MenuPrintClick() {
    DoCopyOrPrint(true);
}

void TMainWin::ButtonPrintClick() {
    DoCopyOrPrint(true);
}

void TMainWin::MenuCopyClick() {
    DoCopyOrPrint(false);
}

void TMainWin::ButtonCopyClick() {
    DoCopyOrPrint(false);
}

void TMainWin::DoCopyOrPrint(bool printMode) {
    // The records are read again when the command runs, so the output follows the settings of
    // that moment, not those of the search that listed the lines.
    auto collect = [this](int format, bool allItems) {
        return corvana::CollectOutput(OutputItems(*AnswerBox, listItems_, allItems), format, data_,
                                      settings_);
    };
    dialogs_->CopyOrPrint(printMode, *AnswerBox, listItems_, collect,
                          {ScaleFactor, screenSize(), this});
}

void TMainWin::MenuNearbyClick() {
    const corvana::ResultItem* first = nullptr;
    const corvana::ResultItem* selected = nullptr;
    for (int row = 0; row < AnswerBox->count() && row < int(listItems_.size()) && !selected;
         ++row) {
        const corvana::ResultItem& line = listItems_[std::size_t(row)];
        if (!line.record())
            continue;
        if (!first)
            first = &line;
        if (AnswerBox->item(row)->isSelected())
            selected = &line;
    }
    const corvana::ResultItem* centre = selected ? selected : first;
    if (ended_ || !MenuNearby->isEnabled() || !centre)
        return;
    const corvana::geo::PointsLoad& load = points();
    if (!load.points) {
        messages().message(this, corvana::caption::Error, fromCore(load.message));
        return;
    }
    const std::uint32_t record = *centre->record();
    const std::optional<double> miles = dialogs_->NearbyMiles(
        fromCore(corvana::ListedZipCode(*centre)), {ScaleFactor, screenSize(), this});
    if (miles)
        applyResult(corvana::SearchNearby(*load.points, record, *miles, searchContext()));
}

void TMainWin::showListMenu(QPoint at) {
    if (ended_ || !AnswerBox->isEnabled())
        return;
    QMenu menu(this);
    menu.setToolTipsVisible(true);
    menu.addAction(MenuNearby);
    menu.addSeparator();
    menu.addAction(MenuCopy);
    menu.addAction(MenuPrint);
    menu.exec(at);
}

void TMainWin::updateNearbyCommand() {
    MenuNearby->setEnabled(
        hasLocations_ && AnswerBox->isEnabled() &&
        std::any_of(listItems_.begin(), listItems_.end(),
                    [](const corvana::ResultItem& line) { return line.record().has_value(); }));
}

void TMainWin::dropNearbyList() {
    if (!nearby_)
        return;
    nearby_.reset();
    AnswerBoxLabel->clear();
    AnswerBox->setAccessibleName({});
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

    // The state field and its spinner sit on the line of the first search field, which they
    // replace in State mode.
    SearchFirstCombo->move(264, 8);
    TheSpinner->move(355, 8);

    data_.dir = env_.dataDir;
    const corvana::IniFile ini = corvana::IniFile::load(env_.settingsPath);
    settings_ = corvana::LoadSettings(ini, corvana::ClockUserZone(clock()));
    mapSettings_ = corvana::LoadMapSettings(ini);
    move(settings_.mainWindowLeft, settings_.mainWindowTop);

    ScreenWidth = env_.screen.width();
    ScreenHeight = env_.screen.height();
    const WindowSize* size = findWindowSize(settings_.windowSize);
    if (!size || !screenHolds(*size, ScreenWidth, ScreenHeight))
        size = findWindowSize(640);
    ScaleFactor = size->factor;
    checkSizeItem(size->size);

    if (settings_.alwaysOnTop) {
        SetItOnTop(true);
        MenuAlwaysOnTop->setChecked(true);
    }

    SaveFormLayout();

    corvana::LoadResult loaded = corvana::LoadInData(data_);
    if (!loaded.fatal.empty()) {
        FatalEnd(loaded.fatal);
        return;
    }
    if (loaded.ioError)
        messages().message(this, corvana::caption::Error, fromCore(*loaded.ioError));
    // Only whether the locations are there: they are read when first wanted.
    std::error_code noLocations;
    hasLocations_ =
        std::filesystem::exists(data_.path(corvana::filenames::PointsDat), noLocations);
    if (!hasLocations_) {
        MenuNearby->setStatusTip(corvana::msg::NoLocations);
        MenuNearby->setToolTip(corvana::msg::NoLocations);
    }

    {
        // No mode is set up yet, so a change of the state list has nothing to search again,
        // and the list is to stand on the state of the last run.
        QSignalBlocker block(StateCombo);
        for (const std::string& abbrev : corvana::StateAbbreviations(data_)) {
            SearchFirstCombo->addItem(fromCore(abbrev));
            StateCombo->addItem(fromCore(abbrev));
        }
        StateCombo->setCurrentIndex(
            StateCombo->findText(fromCore(settings_.singleState), Qt::MatchFixedString));
    }
    if (!settings_.allState)
        chooseSingleState();
    // The list stands on no item, so that the first step down from the empty field reaches
    // the first abbreviation.
    SearchFirstCombo->setCurrentIndex(-1);
    SearchFirstCombo->setEditText({});
}

void TMainWin::FormShow() {
    DaylightInEffect = corvana::IsDaylightPeriod(clock().now());

    RestoreFormLayout(3);
    SearchFirstCombo->resize(Scaled(ScaleFactor, 45) + 25, SearchFirstCombo->height());
    StateCombo->resize(Scaled(ScaleFactor, 45) + 20, StateCombo->height());
    TheSpinner->move(SearchFirstCombo->x() + SearchFirstCombo->width() + 10, TheSpinner->y());

    setWindowTitle("Corvana");

    if (settings_.allState)
        AllStates->setChecked(true);
    else
        SingleState->setChecked(true);
    TabStopOnChecked({AllStates, SingleState});

    mode_ = corvana::ModeFromNumber(settings_.lastSearch).value_or(corvana::SearchMode::Zip);
    QRadioButton* modeButtons[] = {SearchZip, SearchCity, SearchState, SearchCounty, SearchArea};
    modeButtons[corvana::ModeNumber(mode_) - 1]->setChecked(true);
    StartSearch();
    // The map reopens if it was open at the last close, leaving the keys to this window.
    if (mapSettings_.open && !ended_) {
        MenuMap->setChecked(true);
        MenuMapClick();
        activateWindow();
    }
}

void TMainWin::FormClose() {
    if (ended_)
        return;
    ended_ = true;
    settings_.mainWindowLeft = x();
    settings_.mainWindowTop = y();
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
        // Left and top name the outer corner of the frame, as they are stored at close. Some
        // window systems learn the frame only once the window is up and put the client area
        // at the position asked for: the window would creep by its title bar every run.
        framePlacement_ = pos();
        if (windowHandle())
            windowHandle()->installEventFilter(this);
        FormShow();
    }
}

void TMainWin::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

bool TMainWin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && framePlacement_) {
        if (windowHandle()->isExposed()) {
            QPoint wanted = *framePlacement_;
            framePlacement_.reset();
            windowHandle()->removeEventFilter(this);
            if (pos() != wanted)
                move(wanted);
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && arrowKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == AnswerBox && event->type() == QEvent::KeyPress) {
        // The list's menu from the keyboard opens under the current line.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            const QRect line = AnswerBox->visualRect(AnswerBox->currentIndex());
            showListMenu(AnswerBox->viewport()->mapToGlobal(line.isValid() ? line.bottomLeft()
                                                                           : QPoint()));
            return true;
        }
    }
    if (watched == AnswerBox && event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
        showCurrentItem();
    if (event->type() == QEvent::ShortcutOverride) {
        // Leaving the override unaccepted lets the menu's shortcut run instead of the editing
        // key of the control (Ctrl+C, Ctrl+X, Ctrl+Z, Ctrl+A ...). A command that is switched
        // off leaves the key to the control.
        auto* key = static_cast<QKeyEvent*>(event);
        QKeySequence pressed(key->keyCombination());
        for (QAction* a : shortcutActions_) {
            if (a->isEnabled() && a->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainWin::arrowKey(QObject* watched, QKeyEvent* key) {
    const int k = key->key();
    const bool vertical = k == Qt::Key_Up || k == Qt::Key_Down;
    if (watched == SearchFirstCombo) {
        if (!vertical || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        stepAbbreviationList(k == Qt::Key_Down);
        return true;
    }
    const QObject* modeButtons[] = {SearchZip, SearchCity, SearchState, SearchCounty, SearchArea};
    if (std::find(std::begin(modeButtons), std::end(modeButtons), watched) ==
            std::end(modeButtons) ||
        (!vertical && k != Qt::Key_Left && k != Qt::Key_Right))
        return false;
    // The group checks the neighbouring button, which sets up that mode, and then gives the
    // button the focus; the set-up put it in the search field, as a click does, and there it
    // goes back. The buttons stand in a column: left steps up and right down.
    const corvana::SearchMode before = mode_;
    QKeyEvent step(key->type(),
                   k == Qt::Key_Left    ? Qt::Key_Up
                   : k == Qt::Key_Right ? Qt::Key_Down
                                        : k,
                   key->modifiers());
    watched->event(&step);
    if (mode_ != before && !ended_)
        focusFirstField();
    return true;
}

void TMainWin::stepAbbreviationList(bool down) {
    // The list steps from the abbreviation in the field, and from its top for any other text.
    const int count = SearchFirstCombo->count();
    const int at = SearchFirstCombo->findText(SearchFirstCombo->currentText(),
                                              Qt::MatchExactly | Qt::MatchCaseSensitive);
    const int next = at < 0 ? 0 : std::clamp(at + (down ? 1 : -1), 0, count - 1);
    if (count == 0 || next == at)
        return;
    SearchFirstCombo->setCurrentIndex(next);
    // The list may already stand on that item while the field holds other text.
    SearchFirstCombo->setEditText(SearchFirstCombo->itemText(next));
}

void TMainWin::showCurrentItem() {
    // Reached by the keyboard, the list marks the line the keys act on: the current one while it
    // is in sight, else the top line in sight. A click makes the line it hits the current one.
    const QModelIndex current = AnswerBox->currentIndex();
    if (AnswerBox->count() == 0 || (current.isValid() && AnswerBox->viewport()->rect().contains(
                                                             AnswerBox->visualRect(current))))
        return;
    QModelIndex top = AnswerBox->indexAt(QPoint(0, 0));
    if (!top.isValid())
        top = AnswerBox->model()->index(0, 0);
    AnswerBox->selectionModel()->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    AnswerBox->scrollTo(top);
}

void TMainWin::focusFirstField() {
    if (mode_ == corvana::SearchMode::State)
        SearchFirstCombo->setFocus();
    else
        SearchFirstEdit->setFocus();
}

void TMainWin::SaveFormLayout() {
    ::SaveFormLayout(components_, client_, DesignLayout_, messages(), this);
}

void TMainWin::RestoreFormLayout(int placement) {
    int p = ScalePercent(ScaleFactor);
    SetStylePercent(this, p);
    QSize client = ::RestoreFormLayout(components_, DesignLayout_, p);
    static_cast<ItemHeightDelegate*>(AnswerBox->itemDelegate())->height =
        ScaleValue(AnswerItemHeight, p);
    AnswerBox->doItemsLayout();
    setClientSize(client);
    fitButtonTexts();
    if (placement == 1 || placement == 2) {
        QRect current = frameGeometry();
        move(PlaceWindow(placement, current.size(), pos(), current, {ScreenWidth, ScreenHeight}));
    }
}

void TMainWin::ChooseWindowSize(int size) {
    // Choosing an item flips its check mark before we decide; put the marks back first.
    checkSizeItem(checkedSize_);
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
    checkSizeItem(size);
    settings_.windowSize = size;
    ScaleFactor = s->factor;
    RestoreFormLayout(3);
    FirstSearchSizeIt();
    update();
}

void TMainWin::MenuAlwaysOnTopClick() {
    // The action has already flipped its own check mark.
    settings_.alwaysOnTop = MenuAlwaysOnTop->isChecked();
    SetItOnTop(settings_.alwaysOnTop);
}

void TMainWin::MenuTerminateClick() {
    close();
}

void TMainWin::MenuMapClick() {
    if (ended_)
        return;
    if (!MenuMap->isChecked()) {
        if (map_)
            map_->close();
        return;
    }
    if (!map_) {
        MapSource source{AnswerBox,
                         &data_,
                         // A hidden list (a mode just chosen, an emptied field) shows nothing.
                         [this]() -> const std::vector<corvana::ResultItem>& {
                             static const std::vector<corvana::ResultItem> none;
                             return AnswerBox->isEnabled() ? listItems_ : none;
                         },
                         [this] { return nearby_; },
                         [this]() -> const corvana::geo::PointsLoad& { return points(); },
                         screenSize()};
        map_ = new TMapWin(std::move(source), mapSettings_, this);
        connect(this, &TMainWin::listChanged, map_, &TMapWin::follow);
        connect(map_, &TMapWin::closed, MenuMap, [this] { MenuMap->setChecked(false); });
    }
    map_->show();
    map_->raise();
}

void TMainWin::SearchZipClick() {
    mode_ = corvana::SearchMode::Zip;
    StartSearch();
}

void TMainWin::SearchCityClick() {
    mode_ = corvana::SearchMode::City;
    StartSearch();
}

void TMainWin::SearchStateClick() {
    mode_ = corvana::SearchMode::State;
    StartSearch();
}

void TMainWin::SearchCountyClick() {
    mode_ = corvana::SearchMode::County;
    StartSearch();
}

void TMainWin::SearchAreaClick() {
    mode_ = corvana::SearchMode::Area;
    StartSearch();
}

void TMainWin::StartSearch() {
    if (ended_)
        return;
    const bool stateMode = mode_ == corvana::SearchMode::State;
    settings_.lastSearch = std::uint16_t(corvana::ModeNumber(mode_));
    TabStopOnChecked({SearchZip, SearchCity, SearchState, SearchCounty, SearchArea});

    SearchFirstLabel->setText(corvana::ModeLabel(mode_));
    SearchFirstEdit->setAccessibleName(SearchFirstLabel->text());
    SearchFirstLabel->setBuddy(stateMode ? static_cast<QWidget*>(SearchFirstCombo)
                                         : SearchFirstEdit);
    {
        // A shorter limit cuts the old text, which is about to be emptied anyway; that cut
        // must not search in the new mode.
        QSignalBlocker block(SearchFirstEdit);
        if (!stateMode)
            SearchFirstEdit->setMaxLength(corvana::FieldLength(mode_));
    }

    if (stateMode) {
        SearchFirstEdit->hide();
        SearchFirstEdit->setEnabled(false);
        SearchFirstCombo->show();
        SearchFirstCombo->setEnabled(true);
        TheSpinner->show();
        TheSpinner->setEnabled(true);
        // The list, too, stands on no abbreviation: stepping starts again from its top.
        SearchFirstCombo->setCurrentIndex(-1);
        SearchFirstCombo->setEditText({});
        focusFirstField();
    } else {
        SearchFirstCombo->hide();
        SearchFirstCombo->setEnabled(false);
        TheSpinner->hide();
        TheSpinner->setEnabled(false);
        SearchFirstEdit->show();
        SearchFirstEdit->setEnabled(true);
        FirstSearchSizeIt();
        SearchFirstEdit->clear();
        focusFirstField();
    }
    if (ended_)
        return;

    bool statePanel = corvana::HasStateChoice(mode_);
    StatePanel->setVisible(statePanel);
    StatePanel->setEnabled(statePanel);

    setClientHeight(Scaled(ScaleFactor, CompactHeight));

    for (QWidget* w : {static_cast<QWidget*>(AnswerBox), static_cast<QWidget*>(SearchSecondEdit),
                       static_cast<QWidget*>(ButtonCopy), static_cast<QWidget*>(ButtonPrint),
                       static_cast<QWidget*>(RangeSelect)}) {
        w->hide();
        w->setEnabled(false);
    }
    SearchSecondLabel->hide();
    MenuPrint->setEnabled(false);
    MenuCopy->setEnabled(false);
    dropNearbyList();
    updateNearbyCommand();
    emit listChanged(); // the list is hidden: a view of it shows nothing
}

void TMainWin::FirstSearchSizeIt() {
    int width = mode_ == corvana::SearchMode::Zip    ? Scaled(ScaleFactor, 70)
                : mode_ == corvana::SearchMode::Area ? Scaled(ScaleFactor, 45)
                                                     : Scaled(ScaleFactor, 220);
    if (mode_ != corvana::SearchMode::State)
        SearchFirstEdit->resize(width, SearchFirstEdit->height());
    SearchFirstCombo->resize(Scaled(ScaleFactor, 45) + 25, SearchFirstCombo->height());
    StateCombo->resize(Scaled(ScaleFactor, 45) + 20, StateCombo->height());
    TheSpinner->move(SearchFirstCombo->x() + SearchFirstCombo->width() + 10, TheSpinner->y());
    if (!AnswerBox->isEnabled())
        setClientHeight(Scaled(ScaleFactor, CompactHeight));
}

corvana::SearchRequest TMainWin::request() const {
    corvana::SearchRequest r;
    r.mode = mode_;
    if (mode_ == corvana::SearchMode::State) {
        r.text = toCore(SearchSecondEdit->text());
        r.chosenStates = ChosenStates;
    } else {
        r.text = toCore(SearchFirstEdit->text());
        r.singleState = toCore(StateCombo->currentText());
    }
    return r;
}

void TMainWin::SearchFirstEditChange() {
    if (ended_ || mode_ == corvana::SearchMode::State)
        return;
    QString text = SearchFirstEdit->text();
    QString typed = typedText(mode_, text);
    if (typed.size() != text.size()) {
        // The caret stays where it was before the keystroke that brought the stray character;
        // setting the text runs this handler again on the rest alone.
        int caret = SearchFirstEdit->cursorPosition();
        SearchFirstEdit->setText(typed);
        SearchFirstEdit->setCursorPosition(std::clamp(caret - 1, 0, int(typed.size())));
        return;
    }
    applyResult(corvana::RunSearch(request(), searchContext()));
}

void TMainWin::chooseStates(const std::string& abbrev) {
    ChosenStates = corvana::ChooseStates(data_, abbrev);
}

void TMainWin::SearchFirstComboChange() {
    if (ended_ || mode_ != corvana::SearchMode::State || spinnerSetting_)
        return;
    QString text = SearchFirstCombo->currentText();
    QString upper = typedText(mode_, text);
    if (upper != text) {
        // Putting the capitals back is itself a change: that run does the rest.
        QLineEdit* edit = SearchFirstCombo->lineEdit();
        int caret = edit->cursorPosition();
        SearchFirstCombo->setEditText(upper);
        edit->setCursorPosition(caret);
        return;
    }
    if (text.size() < 2) {
        SearchSecondLabel->hide();
        SearchSecondEdit->hide();
        SearchSecondEdit->setEnabled(false);
        return;
    }
    chooseStates(toCore(text));
    if (ChosenStates.empty()) {
        SearchSecondLabel->hide();
        SearchSecondEdit->hide();
        SearchSecondEdit->setEnabled(false);
        messages().message(this, corvana::caption::Sorry, "No matching state abbreviations found.");
        return;
    }
    SearchSecondLabel->show();
    SearchSecondEdit->show();
    SearchSecondEdit->setEnabled(true);
    SearchSecondEdit->setFocus();
    if (!SearchSecondEdit->text().isEmpty())
        applyResult(corvana::RunSearch(request(), searchContext()));
}

void TMainWin::TheSpinnerUpClick() {
    stepSpinner(false);
}

void TMainWin::TheSpinnerDownClick() {
    stepSpinner(true);
}

void TMainWin::stepSpinner(bool down) {
    int count = SearchFirstCombo->count();
    // With no abbreviations at all there is nothing to step to.
    if (ended_ || mode_ != corvana::SearchMode::State || count == 0)
        return;
    QString text = typedText(mode_, SearchFirstCombo->currentText());
    int pos = SearchFirstCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (pos < 0)
        pos = 0;
    else if (down)
        pos = (pos + 1) % count;
    else
        pos = (pos + count - 1) % count;
    QString abbrev = SearchFirstCombo->itemText(pos);
    chooseStates(toCore(abbrev));

    // The abbreviation comes from the list, so it is known: the field's own change handler
    // has nothing to add to what follows here.
    spinnerSetting_ = true;
    SearchFirstCombo->setEditText(abbrev);
    spinnerSetting_ = false;

    SearchSecondLabel->show();
    SearchSecondEdit->show();
    SearchSecondEdit->setEnabled(true);
    SearchSecondEdit->setFocus();
    applyResult(corvana::RunSearch(request(), searchContext()));
}

void TMainWin::SearchSecondEditChange() {
    if (ended_ || mode_ != corvana::SearchMode::State)
        return;
    applyResult(corvana::RunSearch(request(), searchContext()));
}

void TMainWin::rerunStateFilteredSearch() {
    if (corvana::HasStateChoice(mode_))
        applyResult(corvana::RunSearch(request(), searchContext()));
}

void TMainWin::AllStatesClick() {
    if (ended_ || settings_.allState)
        return;
    settings_.allState = true;
    rerunStateFilteredSearch();
}

void TMainWin::SingleStateClick() {
    if (ended_ || !settings_.allState)
        return;
    settings_.allState = false;
    chooseSingleState();
    rerunStateFilteredSearch();
}

void TMainWin::chooseSingleState() {
    // A search limited to one state needs a state to look in: the first, until the user picks
    // another.
    if (StateCombo->currentIndex() < 0) {
        QSignalBlocker block(StateCombo);
        StateCombo->setCurrentIndex(0);
    }
    if (StateCombo->currentIndex() >= 0)
        settings_.singleState = toCore(StateCombo->currentText());
}

void TMainWin::StateComboChange() {
    if (ended_)
        return;
    if (StateCombo->currentIndex() >= 0)
        settings_.singleState = toCore(StateCombo->currentText());
    if (settings_.allState)
        return;
    rerunStateFilteredSearch();
}

void TMainWin::RangeSelectClick() {
    AnswerBox->setSelectionMode(RangeSelect->isChecked() ? QAbstractItemView::ExtendedSelection
                                                         : QAbstractItemView::MultiSelection);
}

void TMainWin::applyResult(corvana::SearchResult result) {
    if (ended_)
        return;
    const bool wasShown = AnswerBox->isEnabled();
    setClientHeight(Scaled(ScaleFactor, result.listShown ? DesignClientHeight : CompactHeight));
    AnswerBox->setVisible(result.listShown);
    AnswerBox->setEnabled(result.listShown);
    AnswerBoxLabel->setVisible(result.listShown);

    for (QWidget* w : {static_cast<QWidget*>(ButtonCopy), static_cast<QWidget*>(ButtonPrint),
                       static_cast<QWidget*>(RangeSelect)}) {
        w->setVisible(result.outputControls);
        w->setEnabled(result.outputControls);
    }
    MenuPrint->setEnabled(result.outputControls);
    MenuCopy->setEnabled(result.outputControls);

    if (result.heading) {
        AnswerBoxLabel->setText(fromCore(std::string(result.heading->text)));
        AnswerBox->setAccessibleName(AnswerBoxLabel->text());
    }
    if (result.cleared) {
        nearby_ = result.nearby;
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
    // The items come in the list's order; adding them in one go keeps a long list quick.
    QStringList texts;
    texts.reserve(qsizetype(items.size()));
    for (const corvana::ResultItem& item : items)
        texts.push_back(fromCore(item.text));
    AnswerBox->clear();
    AnswerBox->addItems(texts);
    listItems_ = std::move(items);
    emit listChanged();
}

const corvana::geo::PointsLoad& TMainWin::points() {
    if (!points_)
        points_ = corvana::geo::LoadPoints(data_);
    return *points_;
}
