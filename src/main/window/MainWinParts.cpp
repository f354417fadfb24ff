// Building the main window from its parts and wiring them; what the window does with results
// lies in MainWin.cpp.

#include "data/FileNames.h"
#include "main/app/TimeFormat.h"
#include "main/dialogs/DialogCommands.h"
#include "main/style/CorvanaStyle.h"
#include "main/window/CommandRow.h"
#include "main/window/Controls.h"
#include "main/window/DetailsCommand.h"
#include "main/window/MainMenus.h"
#include "main/window/MainWin.h"
#include "main/window/PhoneCommand.h"
#include "main/window/ResultsView.h"
#include "main/window/SearchPanel.h"

#include <QMenuBar>

TMainWin::TMainWin(const MainWinEnv& env, QWidget* parent)
    : QMainWindow(parent), env_(env), timeFormatter_(LocaleTimeFormatter(QLocale::system())) {
    UseCorvanaStyle();
    createParts();
    connectParts();
    FormCreate();
    dialogs_ = std::make_unique<DialogCommands>(
        settings_, messages(), QString::fromStdString(data_.path(corvana::filenames::HelpFile)));
}

TMainWin::~TMainWin() = default;

void TMainWin::createParts() {
    auto* client = new QWidget(this);
    client->setObjectName("Client");
    client->setFont(Arial(17));
    setCentralWidget(client);

    // Each part takes its slots of the layout record as it builds its controls, the menus last.
    search_ = new SearchPanel(client, components_, data_, settings_, messages(), this);
    results_ = new ResultsView(client, components_, this);
    commands_ = new CommandRow(client, components_, this);
    menus_ = new MainMenus(menuBar(), components_, this);
    details_ = new DetailsCommand(*this, *menus_, *results_);
    phone_ = new PhoneCommand(*this, *menus_,
                              [this](corvana::SearchResult r) { applyResult(std::move(r)); });

    std::vector<QWidget*> tabOrder = search_->fieldTabStops();
    tabOrder.push_back(results_->tabStop());
    for (const auto& stops : {commands_->tabStops(), search_->stateTabStops()})
        tabOrder.insert(tabOrder.end(), stops.begin(), stops.end());
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // The menu's shortcuts come before the editing keys of the fields and the list.
    search_->watchKeys(this);
    results_->watchKeys(this);
}

void TMainWin::connectParts() {
    connect(search_, &SearchPanel::modeChosen, this, &TMainWin::StartSearch);
    connect(search_, &SearchPanel::searchWanted, this, &TMainWin::runSearch);
    connect(commands_, &CommandRow::copyChosen, this, [this] { DoCopyOrPrint(false); });
    connect(commands_, &CommandRow::printChosen, this, [this] { DoCopyOrPrint(true); });
    connect(commands_, &CommandRow::rangeSelectingToggled, results_,
            &ResultsView::setRangeSelecting);
    results_->setMenuCommands(menus_->listMenuCommands());

    connect(menus_, &MainMenus::windowSizeChosen, this, &TMainWin::ChooseWindowSize);
    connect(menus_, &MainMenus::alwaysOnTopToggled, this, &TMainWin::MenuAlwaysOnTopClick);
    connect(menus_, &MainMenus::terminateChosen, this, &QWidget::close);
    connect(menus_, &MainMenus::mapToggled, this, &TMainWin::MenuMapClick);
    connect(menus_, &MainMenus::printChosen, this, [this] { DoCopyOrPrint(true); });
    connect(menus_, &MainMenus::copyChosen, this, [this] { DoCopyOrPrint(false); });
    connect(menus_, &MainMenus::nearbyChosen, this, &TMainWin::MenuNearbyClick);
    connect(menus_, &MainMenus::zipDetailsChosen, details_, &DetailsCommand::MenuZipDetailsClick);
    connect(results_, &ResultsView::lineOpened, details_, [this] {
        if (results_->currentRecord())
            details_->MenuZipDetailsClick();
    });
    connect(results_, &ResultsView::lineChosen, details_, &DetailsCommand::follow);
    connect(this, &TMainWin::listChanged, details_, &DetailsCommand::follow);
    const std::pair<void (MainMenus::*)(), void (TMainWin::*)()> dialogs[] = {
        {&MainMenus::preferencesChosen, &TMainWin::MenuPreferencesClick},
        {&MainMenus::timeZoneChosen, &TMainWin::MenuTimeZoneClick},
        {&MainMenus::aboutChosen, &TMainWin::MenuAboutClick},
        {&MainMenus::zipVersionChosen, &TMainWin::MenuZipVersionClick},
        {&MainMenus::contentsChosen, &TMainWin::MenuContentsClick},
        {&MainMenus::updatesChosen, &TMainWin::MenuUpdatesClick},
        {&MainMenus::otherProductsChosen, &TMainWin::MenuOtherProductsClick},
        {&MainMenus::printerSetupChosen, &TMainWin::MenuPrinterSetupClick}};
    for (auto [chosen, command] : dialogs)
        connect(menus_, chosen, this, command);
}

int TMainWin::searchMode() const {
    return corvana::ModeNumber(search_->mode());
}

const std::vector<int>& TMainWin::chosenStates() const {
    return search_->chosenStates();
}

const std::vector<corvana::ResultItem>& TMainWin::shownItems() const {
    return results_->items();
}

QListWidget* TMainWin::resultsList() const {
    return results_->list();
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

void TMainWin::MenuZipDetailsClick() {
    details_->MenuZipDetailsClick();
}

TZipDetails* TMainWin::zipDetailsWindow() const {
    return details_->detailsWindow();
}
