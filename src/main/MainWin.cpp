#include "main/MainWin.h"

#include "data/Errors.h"
#include "main/CopyOrPrint.h"
#include "main/CorvanaStyle.h"
#include "main/DialogCommands.h"
#include "main/Messages.h"
#include "main/SpinButton.h"
#include "main/TimeFormat.h"
#include "settings/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr int DesignClientWidth = 500;
constexpr int DesignClientHeight = 401;
constexpr int CompactHeight = 149;
constexpr int AnswerItemHeight = 17;

struct WindowSize {
    int size;
    double factor;
    int needWidth; // the screen a size requires; 0: any screen
    int needHeight;
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

QFont arial(int pixels, bool bold = false) {
    QFont f("Arial");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

template <typename W> W* placed(W* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
    return w;
}

// The first field's typing rule applied to each character of a field's text.
QString typedText(corvana::SearchMode mode, const QString& text) {
    QString out;
    for (QChar c : text)
        if (corvana::FieldTakes(mode, c.unicode()))
            out += QChar(char16_t(corvana::FieldCase(mode, c.unicode())));
    return out;
}

// Every line of the results list is one fixed height, scaled with the window.
class ItemHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int height = AnswerItemHeight;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(height);
        return s;
    }
};

} // namespace

TMainWin::TMainWin(const MainWinEnv& env, QWidget* parent)
    : QMainWindow(parent), env_(env), timeFormatter_(LocaleTimeFormatter(QLocale::system())) {
    UseCorvanaStyle();
    createControls();
    createMenus();
    FormCreate();
    dialogs_ = std::make_unique<DialogCommands>(settings_, messages(),
                                                QString::fromStdString(data_.path("CORVA.HLP")));
}

TMainWin::~TMainWin() = default;

void TMainWin::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName("Client");
    client->setFont(arial(17));
    setCentralWidget(client);

    SearchPanel = placed(new QFrame(client), 4, 4, 149, 141);
    SearchPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Label1 = placed(new QLabel("Search By", SearchPanel), 8, 4, 133, 25);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(arial(18));
    SearchZip = placed(new QRadioButton("Zip Code", SearchPanel), 12, 28, 113, 21);
    SearchCity = placed(new QRadioButton("City", SearchPanel), 12, 50, 113, 21);
    SearchState = placed(new QRadioButton("State", SearchPanel), 12, 72, 113, 21);
    SearchCounty = placed(new QRadioButton("County", SearchPanel), 12, 94, 113, 21);
    SearchArea = placed(new QRadioButton("Area Code", SearchPanel), 12, 116, 113, 21);

    SearchFirstEdit = placed(new QLineEdit(client), 264, 8, 220, 27);
    SearchFirstEdit->setMaxLength(30);
    SearchSecondEdit = placed(new QLineEdit(client), 264, 40, 220, 27);
    SearchSecondEdit->setMaxLength(30);
    SearchSecondEdit->hide();
    SearchSecondEdit->setEnabled(false);

    AnswerBox = placed(new QListWidget(client), 4, 176, 493, 189);
    AnswerBox->setFont(arial(15));
    AnswerBox->setSelectionMode(QAbstractItemView::MultiSelection);
    AnswerBox->setUniformItemSizes(true);
    AnswerBox->setItemDelegate(new ItemHeightDelegate(AnswerBox));
    AnswerBox->hide();
    AnswerBox->setEnabled(false);

    ButtonCopy = placed(new QPushButton("&Copy To Clipboard", client), 340, 368, 157, 29);
    ButtonPrint = placed(new QPushButton("&Print", client), 236, 368, 96, 29);
    RangeSelect = placed(new QCheckBox("&Range Selecting", client), 8, 372, 173, 21);
    for (QWidget* w : {static_cast<QWidget*>(ButtonCopy), static_cast<QWidget*>(ButtonPrint),
                       static_cast<QWidget*>(RangeSelect)}) {
        w->hide();
        w->setEnabled(false);
    }

    SearchFirstCombo = placed(new QComboBox(client), 384, 76, 86, 27);
    SearchFirstCombo->setEditable(true);
    // Typed letters must stay as typed: no completion from the list, no new items on Enter.
    SearchFirstCombo->setCompleter(nullptr);
    SearchFirstCombo->setInsertPolicy(QComboBox::NoInsert);
    SearchFirstCombo->lineEdit()->setMaxLength(2);
    SearchFirstCombo->setMaxVisibleItems(18);
    SearchFirstCombo->hide();
    SearchFirstCombo->setEnabled(false);

    TheSpinner = placed(new TSpinButton(client), 460, 76, 20, 27);
    TheSpinner->hide();
    TheSpinner->setEnabled(false);

    StatePanel = placed(new QFrame(client), 256, 40, 141, 97);
    StatePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatePanel->hide();
    StatePanel->setEnabled(false);
    AllStates = placed(new QRadioButton("All States", StatePanel), 12, 8, 113, 21);
    SingleState = placed(new QRadioButton("Single State", StatePanel), 12, 32, 113, 21);
    StateCombo = placed(new QComboBox(StatePanel), 40, 60, 65, 27);
    StateCombo->setMaxVisibleItems(13);

    Bevel1 = placed(new QFrame(client), 156, 4, 341, 141);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Raised);
    Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Bevel1->lower();

    SearchFirstLabel = placed(new QLabel(client), 164, 12, 89, 21);
    SearchFirstLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SearchSecondLabel = placed(new QLabel("City", client), 164, 44, 89, 21);
    SearchSecondLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SearchSecondLabel->hide();
    AnswerBoxLabel = placed(new QLabel(client), 4, 148, 493, 25);
    AnswerBoxLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AnswerBoxLabel->setFont(arial(20, true));

    const QString names[] = {"SearchPanel",       "Label1",           "SearchZip",
                             "SearchCity",        "SearchState",      "SearchCounty",
                             "SearchArea",        "SearchFirstEdit",  "SearchSecondEdit",
                             "AnswerBox",         "ButtonCopy",       "ButtonPrint",
                             "RangeSelect",       "SearchFirstCombo", "TheSpinner",
                             "StatePanel",        "AllStates",        "SingleState",
                             "StateCombo",        "Bevel1",           "SearchFirstLabel",
                             "SearchSecondLabel", "AnswerBoxLabel"};
    QWidget* controls[] = {SearchPanel,       Label1,           SearchZip,
                           SearchCity,        SearchState,      SearchCounty,
                           SearchArea,        SearchFirstEdit,  SearchSecondEdit,
                           AnswerBox,         ButtonCopy,       ButtonPrint,
                           RangeSelect,       SearchFirstCombo, TheSpinner,
                           StatePanel,        AllStates,        SingleState,
                           StateCombo,        Bevel1,           SearchFirstLabel,
                           SearchSecondLabel, AnswerBoxLabel};
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        controls[i]->setObjectName(names[i]);
        bool noFont = controls[i] == TheSpinner || controls[i] == Bevel1;
        components_.push_back(
            {controls[i], noFont ? LayoutKind::Geometry : LayoutKind::GeometryAndFont});
    }
    Bevel1->setFocusPolicy(Qt::NoFocus);

    QWidget* tabOrder[] = {SearchZip,
                           SearchCity,
                           SearchState,
                           SearchCounty,
                           SearchArea,
                           SearchFirstEdit,
                           SearchSecondEdit,
                           AnswerBox,
                           ButtonCopy,
                           ButtonPrint,
                           RangeSelect,
                           SearchFirstCombo,
                           TheSpinner->upButton(),
                           TheSpinner->downButton(),
                           AllStates,
                           SingleState,
                           StateCombo};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // The menu's shortcuts come before the editing keys of these controls.
    for (QObject* o :
         {static_cast<QObject*>(SearchFirstEdit), static_cast<QObject*>(SearchSecondEdit),
          static_cast<QObject*>(SearchFirstCombo),
          static_cast<QObject*>(SearchFirstCombo->lineEdit()), static_cast<QObject*>(StateCombo),
          static_cast<QObject*>(AnswerBox)})
        o->installEventFilter(this);

    connect(SearchZip, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SearchZipClick();
    });
    connect(SearchCity, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SearchCityClick();
    });
    connect(SearchState, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SearchStateClick();
    });
    connect(SearchCounty, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SearchCountyClick();
    });
    connect(SearchArea, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SearchAreaClick();
    });
    connect(AllStates, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            AllStatesClick();
    });
    connect(SingleState, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SingleStateClick();
    });
    connect(SearchFirstEdit, &QLineEdit::textChanged, this, &TMainWin::SearchFirstEditChange);
    connect(SearchSecondEdit, &QLineEdit::textChanged, this, &TMainWin::SearchSecondEditChange);
    connect(SearchFirstCombo, &QComboBox::editTextChanged, this, &TMainWin::SearchFirstComboChange);
    connect(StateCombo, &QComboBox::currentIndexChanged, this, &TMainWin::StateComboChange);
    connect(TheSpinner, &TSpinButton::upClick, this, &TMainWin::TheSpinnerUpClick);
    connect(TheSpinner, &TSpinButton::downClick, this, &TMainWin::TheSpinnerDownClick);
    connect(RangeSelect, &QCheckBox::toggled, this, &TMainWin::RangeSelectClick);
}

void TMainWin::createMenus() {
    QMenuBar* bar = menuBar();
    // The menu belongs to the window's own frame, also on desktops with a global menu bar, so
    // that the client area below it has the height the window sets.
    bar->setNativeMenuBar(false);
    auto item = [this](QMenu* menu, const QString& text, QKeySequence shortcut) {
        QAction* a = menu->addAction(text);
        a->setShortcut(shortcut);
        if (!shortcut.isEmpty())
            shortcutActions_.push_back(a);
        components_.push_back({});
        return a;
    };
    auto menu = [this](QMenuBar* b, const QString& text) {
        components_.push_back({});
        return b->addMenu(text);
    };
    auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | Qt::Key(key)); };

    components_.push_back({}); // MainMenu1
    MenuFile = menu(bar, "&File");
    MenuScreenSize = MenuFile->addMenu("Screen Si&ze");
    components_.push_back({});
    N400x300 = item(MenuScreenSize, "400 x 300", ctrl(Qt::Key_F1));
    N480x360 = item(MenuScreenSize, "480 x 360", ctrl(Qt::Key_F2));
    N640x480 = item(MenuScreenSize, "&640 x 480", ctrl(Qt::Key_F3));
    N800x600 = item(MenuScreenSize, "&800 x 600", ctrl(Qt::Key_F4));
    N1024x768 = item(MenuScreenSize, "&1024 x 768", ctrl(Qt::Key_F5));
    N1280x1024 = item(MenuScreenSize, "1&280 x 1024", ctrl(Qt::Key_F6));
    MenuFile->addSeparator();
    components_.push_back({});
    MenuPrint = item(MenuFile, "&Print", ctrl(Qt::Key_P));
    MenuPrinterSetup = item(MenuFile, "Printer &Setup", ctrl(Qt::Key_S));
    MenuFile->addSeparator();
    components_.push_back({});
    MenuTerminate = item(MenuFile, "E&xit", ctrl(Qt::Key_X));

    MenuEdit = menu(bar, "&Edit");
    MenuCopy = item(MenuEdit, "&Copy", ctrl(Qt::Key_C));

    MenuConfigure = menu(bar, "&Configure");
    MenuAlwaysOnTop = item(MenuConfigure, "&Always On Top", ctrl(Qt::Key_W));
    MenuAlwaysOnTop->setCheckable(true);
    MenuConfigure->addSeparator();
    components_.push_back({});
    MenuPreferences = item(MenuConfigure, "&Preferences", ctrl(Qt::Key_R));
    MenuTimeZone = item(MenuConfigure, "&Time Zone", ctrl(Qt::Key_Z));

    MenuHelp = menu(bar, "&Help");
    MenuContents = item(MenuHelp, "&Contents", ctrl(Qt::Key_N));
    MenuAbout = item(MenuHelp, "&About", ctrl(Qt::Key_A));
    MenuZipDataVersion = item(MenuHelp, "&Zip Data Version", ctrl(Qt::Key_D));
    MenuUpdates = item(MenuHelp, "&Updates", ctrl(Qt::Key_U));
    MenuOtherProducts = item(MenuHelp, "&Other Products", {});
    MenuOtherProducts->setObjectName("MenuOtherProducts");

    MenuPrint->setEnabled(false);
    MenuCopy->setEnabled(false);

    const std::pair<QAction*, int> sizes[] = {{N400x300, 400},   {N480x360, 480},
                                              {N640x480, 640},   {N800x600, 800},
                                              {N1024x768, 1024}, {N1280x1024, 1280}};
    for (auto [action, size] : sizes) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, size] { ChooseWindowSize(size); });
    }
    connect(MenuAlwaysOnTop, &QAction::triggered, this, &TMainWin::MenuAlwaysOnTopClick);
    connect(MenuTerminate, &QAction::triggered, this, &TMainWin::MenuTerminateClick);
    connect(MenuPreferences, &QAction::triggered, this, &TMainWin::MenuPreferencesClick);
    connect(MenuTimeZone, &QAction::triggered, this, &TMainWin::MenuTimeZoneClick);
    connect(MenuAbout, &QAction::triggered, this, &TMainWin::MenuAboutClick);
    connect(MenuZipDataVersion, &QAction::triggered, this, &TMainWin::MenuZipVersionClick);
    connect(MenuContents, &QAction::triggered, this, &TMainWin::MenuContentsClick);
    connect(MenuUpdates, &QAction::triggered, this, &TMainWin::MenuUpdatesClick);
    connect(MenuOtherProducts, &QAction::triggered, this, &TMainWin::MenuOtherProductsClick);
    connect(MenuPrinterSetup, &QAction::triggered, this, &TMainWin::MenuPrinterSetupClick);
    connect(MenuPrint, &QAction::triggered, this, &TMainWin::MenuPrintClick);
    connect(MenuCopy, &QAction::triggered, this, &TMainWin::MenuCopyClick);
    connect(ButtonPrint, &QPushButton::clicked, this, &TMainWin::ButtonPrintClick);
    connect(ButtonCopy, &QPushButton::clicked, this, &TMainWin::ButtonCopyClick);
}

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
    dialogs_->PrinterSetup(this);
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
        return corvana::CollectOutput(OutputItems(*AnswerBox, allItems), format, data_, settings_);
    };
    dialogs_->CopyOrPrint(printMode, *AnswerBox, collect, {ScaleFactor, screenSize(), this});
}

corvana::SearchContext TMainWin::searchContext() const {
    const corvana::Clock* clock = env_.clock ? env_.clock : &systemClock_;
    return {data_, settings_, corvana::TimeContext{DaylightInEffect, clock, timeFormatter_}};
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
    settings_ = corvana::LoadSettings(corvana::IniFile::load(env_.settingsPath));
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

    for (const std::string& abbrev : corvana::StateAbbreviations(data_)) {
        SearchFirstCombo->addItem(fromCore(abbrev));
        StateCombo->addItem(fromCore(abbrev));
    }
    StateCombo->setCurrentIndex(-1);
    SearchFirstCombo->setEditText({});
}

void TMainWin::FormShow() {
    const corvana::Clock* clock = env_.clock ? env_.clock : &systemClock_;
    DaylightInEffect = corvana::IsDaylightPeriod(clock->now());

    RestoreFormLayout(3);
    SearchFirstCombo->resize(Scaled(ScaleFactor, 45) + 25, SearchFirstCombo->height());
    StateCombo->resize(Scaled(ScaleFactor, 45) + 20, StateCombo->height());
    TheSpinner->move(SearchFirstCombo->x() + SearchFirstCombo->width() + 10, TheSpinner->y());

    setWindowTitle("Corvana");

    if (settings_.allState)
        AllStates->setChecked(true);
    else
        SingleState->setChecked(true);

    mode_ = corvana::ModeFromNumber(settings_.lastSearch).value_or(corvana::SearchMode::Zip);
    QRadioButton* modeButtons[] = {SearchZip, SearchCity, SearchState, SearchCounty, SearchArea};
    modeButtons[corvana::ModeNumber(mode_) - 1]->setChecked(true);
    StartSearch();
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
    ini.save(env_.settingsPath);
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

void TMainWin::fitButtonTexts() {
    // Text scales by whole pixels of font height and its width does not follow the factor
    // exactly, so at the small sizes a label such as "Single State" may need a little more than
    // its scaled width. Such a control may take the room its text needs within its parent.
    QAbstractButton* buttons[] = {SearchZip,  SearchCity, SearchState, SearchCounty,
                                  SearchArea, AllStates,  SingleState, RangeSelect};
    for (QAbstractButton* b : buttons) {
        int room =
            (b->parentWidget() == centralWidget() ? client_.width() : b->parentWidget()->width()) -
            b->x();
        int need = b->sizeHint().width();
        if (need > b->width())
            b->resize(std::max(b->width(), std::min(need, room)), b->height());
    }
}

void TMainWin::setClientSize(QSize size) {
    client_ = size;
    int menuHeight = menuBar()->heightForWidth(size.width());
    if (menuHeight < 0)
        menuHeight = menuBar()->sizeHint().height();
    setFixedSize(size.width(), size.height() + menuHeight);
}

void TMainWin::setClientHeight(int height) {
    setClientSize({client_.width(), height});
}

void TMainWin::checkSizeItem(int size) {
    checkedSize_ = size;
    const std::pair<QAction*, int> sizes[] = {{N400x300, 400},   {N480x360, 480},
                                              {N640x480, 640},   {N800x600, 800},
                                              {N1024x768, 1024}, {N1280x1024, 1280}};
    for (auto [action, s] : sizes)
        action->setChecked(s == size);
}

void TMainWin::SetItOnTop(bool onTop) {
    bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing the flags of a shown window hides it.
    if (visible)
        show();
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

    SearchFirstLabel->setText(corvana::ModeLabel(mode_));
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
        SearchFirstCombo->setEditText({});
        SearchFirstCombo->setFocus();
    } else {
        SearchFirstCombo->hide();
        SearchFirstCombo->setEnabled(false);
        TheSpinner->hide();
        TheSpinner->setEnabled(false);
        SearchFirstEdit->show();
        SearchFirstEdit->setEnabled(true);
        FirstSearchSizeIt();
        SearchFirstEdit->clear();
        SearchFirstEdit->setFocus();
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
    rerunStateFilteredSearch();
}

void TMainWin::StateComboChange() {
    if (ended_ || settings_.allState)
        return;
    rerunStateFilteredSearch();
}

void TMainWin::RangeSelectClick() {
    AnswerBox->setSelectionMode(RangeSelect->isChecked() ? QAbstractItemView::ExtendedSelection
                                                         : QAbstractItemView::MultiSelection);
}

void TMainWin::applyResult(const corvana::SearchResult& result) {
    if (ended_)
        return;
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

    if (result.heading)
        AnswerBoxLabel->setText(fromCore(*result.heading));
    if (result.cleared)
        showItems(result.items);

    if (!result.fatal.empty())
        FatalEnd(result.fatal);
    else if (result.ioError)
        messages().message(this, corvana::caption::Error, fromCore(*result.ioError));
}

void TMainWin::showItems(const std::vector<corvana::ResultItem>& items) {
    // The items come in the list's order; adding them in one go keeps a long list quick.
    QStringList texts;
    texts.reserve(qsizetype(items.size()));
    for (const corvana::ResultItem& item : items)
        texts.push_back(fromCore(item.text));
    AnswerBox->clear();
    AnswerBox->addItems(texts);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].record)
            AnswerBox->item(int(i))->setData(Qt::UserRole, *items[i].record);
}
