// Building the main window's controls and menus, with their names, fonts, design-size places
// and connections; the handlers and what the window does with results lie in MainWin.cpp.

#include "data/FileNames.h"
#include "main/app/TimeFormat.h"
#include "main/dialogs/DialogCommands.h"
#include "main/style/CorvanaStyle.h"
#include "main/widgets/ItemHeightDelegate.h"
#include "main/widgets/SpinButton.h"
#include "main/window/Accessibility.h"
#include "main/window/MainWin.h"

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
#include <QToolButton>

namespace {

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

} // namespace

TMainWin::TMainWin(const MainWinEnv& env, QWidget* parent)
    : QMainWindow(parent), env_(env), timeFormatter_(LocaleTimeFormatter(QLocale::system())) {
    UseCorvanaStyle();
    createControls();
    createMenus();
    NameMainWinControls(*this);
    FormCreate();
    dialogs_ = std::make_unique<DialogCommands>(settings_, messages(),
                                                QString::fromStdString(data_.path(corvana::filenames::HelpFile)));
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

    // Alt+C opens the Configure menu; the button takes the letter the copy dialog's own
    // command uses.
    ButtonCopy = placed(new QPushButton("Cop&y To Clipboard", client), 340, 368, 157, 29);
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

    nameControls();
    orderControls();
    connectControls();
}

void TMainWin::nameControls() {
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
}

void TMainWin::orderControls() {
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

    // The menu's shortcuts come before the editing keys of these controls; the arrow keys of
    // the mode buttons and of the state field get the window's own handling.
    for (QObject* o :
         {static_cast<QObject*>(SearchFirstEdit), static_cast<QObject*>(SearchSecondEdit),
          static_cast<QObject*>(SearchFirstCombo),
          static_cast<QObject*>(SearchFirstCombo->lineEdit()), static_cast<QObject*>(StateCombo),
          static_cast<QObject*>(AnswerBox), static_cast<QObject*>(SearchZip),
          static_cast<QObject*>(SearchCity), static_cast<QObject*>(SearchState),
          static_cast<QObject*>(SearchCounty), static_cast<QObject*>(SearchArea)})
        o->installEventFilter(this);
}

void TMainWin::connectControls() {
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
    // The keyboard's Menu key and Shift+F10 reach the list's menu through the key filter.
    AnswerBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(AnswerBox, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { showListMenu(AnswerBox->viewport()->mapToGlobal(at)); });
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
    // The map window came later than the layout record: it takes no slot of it.
    MenuMap = MenuFile->addAction("&Map");
    MenuMap->setShortcut(ctrl(Qt::Key_M));
    MenuMap->setCheckable(true);
    shortcutActions_.push_back(MenuMap);
    MenuFile->addSeparator();
    components_.push_back({});
    MenuTerminate = item(MenuFile, "E&xit", ctrl(Qt::Key_X));

    MenuEdit = menu(bar, "&Edit");
    MenuCopy = item(MenuEdit, "&Copy", ctrl(Qt::Key_C));
    // Newer than the recorded layout, which a menu command has no place in anyway.
    MenuNearby = MenuEdit->addAction(QString::fromUtf8("&Nearby Zip Codes\u2026"));
    MenuNearby->setShortcut(ctrl(Qt::Key_E));
    shortcutActions_.push_back(MenuNearby);
    // A command that is off for want of locations says why.
    MenuEdit->setToolTipsVisible(true);

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
    // Menus and commands carry their names too, so that whatever looks at the window finds them
    // by name.
    const std::pair<QObject*, const char*> named[] = {
        {MenuFile, "MenuFile"}, {MenuScreenSize, "MenuScreenSize"}, {N400x300, "N400x300"},
        {N480x360, "N480x360"}, {N640x480, "N640x480"}, {N800x600, "N800x600"},
        {N1024x768, "N1024x768"}, {N1280x1024, "N1280x1024"}, {MenuPrint, "MenuPrint"},
        {MenuPrinterSetup, "MenuPrinterSetup"}, {MenuMap, "MenuMap"},
        {MenuTerminate, "MenuTerminate"}, {MenuEdit, "MenuEdit"}, {MenuCopy, "MenuCopy"},
        {MenuNearby, "MenuNearby"}, {MenuConfigure, "MenuConfigure"},
        {MenuAlwaysOnTop, "MenuAlwaysOnTop"}, {MenuPreferences, "MenuPreferences"},
        {MenuTimeZone, "MenuTimeZone"}, {MenuHelp, "MenuHelp"}, {MenuContents, "MenuContents"},
        {MenuAbout, "MenuAbout"}, {MenuZipDataVersion, "MenuZipDataVersion"},
        {MenuUpdates, "MenuUpdates"}, {MenuOtherProducts, "MenuOtherProducts"}};
    for (auto [object, name] : named)
        object->setObjectName(name);

    MenuPrint->setEnabled(false);
    MenuCopy->setEnabled(false);
    MenuNearby->setEnabled(false);

    const std::pair<QAction*, int> sizes[] = {{N400x300, 400},   {N480x360, 480},
                                              {N640x480, 640},   {N800x600, 800},
                                              {N1024x768, 1024}, {N1280x1024, 1280}};
    for (auto [action, size] : sizes) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, size] { ChooseWindowSize(size); });
    }
    connect(MenuAlwaysOnTop, &QAction::triggered, this, &TMainWin::MenuAlwaysOnTopClick);
    connect(MenuTerminate, &QAction::triggered, this, &TMainWin::MenuTerminateClick);
    connect(MenuMap, &QAction::triggered, this, &TMainWin::MenuMapClick);
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
    connect(MenuNearby, &QAction::triggered, this, &TMainWin::MenuNearbyClick);
    connect(ButtonPrint, &QPushButton::clicked, this, &TMainWin::ButtonPrintClick);
    connect(ButtonCopy, &QPushButton::clicked, this, &TMainWin::ButtonCopyClick);
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

void TMainWin::checkSizeItem(int size) {
    checkedSize_ = size;
    const std::pair<QAction*, int> sizes[] = {{N400x300, 400},   {N480x360, 480},
                                              {N640x480, 640},   {N800x600, 800},
                                              {N1024x768, 1024}, {N1280x1024, 1280}};
    for (auto [action, s] : sizes)
        action->setChecked(s == size);
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

void TMainWin::SetItOnTop(bool onTop) {
    bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing the flags of a shown window hides it.
    if (visible)
        show();
}
