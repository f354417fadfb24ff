#pragma once

#include "data/DataSet.h"
#include "geo/Points.h"
#include "main/layout/Layout.h"
#include "search/Search.h"
#include "search/SearchRequest.h"
#include "settings/MapSettings.h"
#include "settings/Settings.h"

#include <QMainWindow>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class DialogCommands;
class Messages;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class TMapWin;
class TSpinButton;

// What the window takes from its surroundings; the program passes the real ones, tests their
// own directories, screen and clock.
struct MainWinEnv {
    Messages* messages = nullptr;
    std::string dataDir;      // where the data files and the help file lie
    std::string settingsPath; // CORVANA.INI
    QSize screen;             // the primary screen, read once
    const corvana::Clock* clock = nullptr;
    // Runs once, when the close sequence has written the settings: the program ends.
    std::function<void()> onEnd;
};

class TMainWin : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window hidden, reads the settings and the resident data. A data file that is
    // missing or damaged is reported and the window closes at once: check ended() before
    // showing it.
    explicit TMainWin(const MainWinEnv& env, QWidget* parent = nullptr);
    ~TMainWin() override;

    // The window has closed (for whatever reason) and written the settings.
    bool ended() const { return ended_; }

    corvana::Settings& settings() { return settings_; }
    const corvana::DataSet& data() const { return data_; }
    Messages& messages() const { return *env_.messages; }
    double scaleFactor() const { return ScaleFactor; }
    QSize screenSize() const { return {ScreenWidth, ScreenHeight}; }
    bool daylightInEffect() const { return DaylightInEffect; }
    // What a search or a re-read of listed records needs: tables, settings and the clock.
    corvana::SearchContext searchContext() const;

    int searchMode() const { return corvana::ModeNumber(mode_); }
    const std::vector<int>& chosenStates() const { return ChosenStates; }
    // The items of the results list, row for row.
    const std::vector<corvana::ResultItem>& shownItems() const { return listItems_; }
    // The client area below the menu bar, as the window last set it.
    QSize clientSize() const { return client_; }
    // The results list itself, for a view that follows its lines and their selection.
    QListWidget* resultsList() const { return AnswerBox; }
    // Set while the list holds the ZIP codes around a centre, from the result that listed them.
    const std::optional<corvana::NearbyCentre>& nearbyCentre() const { return nearby_; }
    // Whether the data directory has the ZIP codes' locations, as seen at start.
    bool hasLocations() const { return hasLocations_; }
    // The locations, read on first use so that start-up does not wait for them.
    const corvana::geo::PointsLoad& points();

    // Shows each message under "FATAL ERROR" and closes the window, which ends the program.
    void FatalEnd(const std::vector<std::string>& messages);

    void StartSearch();
    void FirstSearchSizeIt();
    void SetItOnTop(bool onTop);

    void SearchZipClick();
    void SearchCityClick();
    void SearchStateClick();
    void SearchCountyClick();
    void SearchAreaClick();
    void SearchFirstEditChange();
    void SearchFirstComboChange();
    void SearchSecondEditChange();
    void TheSpinnerUpClick();
    void TheSpinnerDownClick();
    void AllStatesClick();
    void SingleStateClick();
    void StateComboChange();
    void RangeSelectClick();

    // Window sizes: 400, 480, 640, 800, 1024 or 1280.
    void ChooseWindowSize(int size);
    void MenuAlwaysOnTopClick();
    void MenuTerminateClick();
    // Opens the map window beside this one, or closes it.
    void MenuMapClick();
    // The map window once it was opened; null before.
    TMapWin* mapWindow() const { return map_; }

    // Dialogs, help and printing.
    void MenuPreferencesClick();
    void MenuTimeZoneClick();
    void MenuAboutClick();
    void MenuZipVersionClick();
    void MenuContentsClick();
    void MenuUpdatesClick();
    void MenuOtherProductsClick();
    void MenuPrinterSetupClick();
    void MenuPrintClick();
    void ButtonPrintClick();
    void MenuCopyClick();
    void ButtonCopyClick();
    void DoCopyOrPrint(bool printMode);
    // The ZIP codes around the first selected ZIP line, else around the first ZIP line, within
    // the radius the user gives.
    void MenuNearbyClick();
    // The printer, the help window and the print and font dialogs of those commands.
    DialogCommands& dialogs() { return *dialogs_; }

signals:
    // The results list holds new lines: a search's or a nearby list's.
    void listChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Controls, named as the rest of the program knows them.
    QFrame* SearchPanel;
    QLabel* Label1;
    QRadioButton* SearchZip;
    QRadioButton* SearchCity;
    QRadioButton* SearchState;
    QRadioButton* SearchCounty;
    QRadioButton* SearchArea;
    QLineEdit* SearchFirstEdit;
    QLineEdit* SearchSecondEdit;
    QListWidget* AnswerBox;
    QPushButton* ButtonCopy;
    QPushButton* ButtonPrint;
    QCheckBox* RangeSelect;
    QComboBox* SearchFirstCombo;
    TSpinButton* TheSpinner;
    QFrame* StatePanel;
    QRadioButton* AllStates;
    QRadioButton* SingleState;
    QComboBox* StateCombo;
    QFrame* Bevel1;
    QLabel* SearchFirstLabel;
    QLabel* SearchSecondLabel;
    QLabel* AnswerBoxLabel;

    // Menu commands. Print, copy, printer set-up, the two dialogs and the help commands are
    // connected by the parts of the program that carry them out.
    QMenu* MenuFile;
    QMenu* MenuScreenSize;
    QAction* N400x300;
    QAction* N480x360;
    QAction* N640x480;
    QAction* N800x600;
    QAction* N1024x768;
    QAction* N1280x1024;
    QAction* MenuPrint;
    QAction* MenuPrinterSetup;
    QAction* MenuMap;
    QAction* MenuTerminate;
    QMenu* MenuEdit;
    QAction* MenuCopy;
    QAction* MenuNearby;
    QMenu* MenuConfigure;
    QAction* MenuAlwaysOnTop;
    QAction* MenuPreferences;
    QAction* MenuTimeZone;
    QMenu* MenuHelp;
    QAction* MenuContents;
    QAction* MenuAbout;
    QAction* MenuZipDataVersion;
    QAction* MenuUpdates;
    QAction* MenuOtherProducts;

    void createControls();
    // The parts of createControls: names and layout record, tab order and key filters,
    // connections to the handlers.
    void nameControls();
    void orderControls();
    void connectControls();
    void createMenus();
    void FormCreate();
    void FormShow();
    void FormClose();

    void SaveFormLayout();
    void RestoreFormLayout(int placement);
    void fitButtonTexts();
    void setClientSize(QSize size);
    void setClientHeight(int height);
    void checkSizeItem(int size);

    // The clock the window was given, else the system's.
    const corvana::Clock& clock() const { return env_.clock ? *env_.clock : systemClock_; }
    void applyResult(corvana::SearchResult result);
    void showItems(std::vector<corvana::ResultItem> items);
    void chooseStates(const std::string& abbrev);
    void stepSpinner(bool down);
    // Up and Down in the state field, Up, Down, Left and Right on a mode button; true when the
    // key is handled.
    bool arrowKey(QObject* watched, QKeyEvent* key);
    void stepAbbreviationList(bool down);
    // The mode's search field takes the keyboard focus.
    void focusFirstField();
    // The results list, taking the focus from the keyboard, has a current line in sight.
    void showCurrentItem();
    void rerunStateFilteredSearch();
    // The list's own menu at `at` (global): the nearby command, copy and print.
    void showListMenu(QPoint at);
    // The nearby command is on while the list shows ZIP lines and the data has locations.
    void updateNearbyCommand();
    // A list of nearby ZIP codes stands only until the next search: it goes, with its heading.
    void dropNearbyList();
    // Single State in effect: the state list stands on a state, and the settings remember it.
    void chooseSingleState();
    // The search the fields ask for now.
    corvana::SearchRequest request() const;

    MainWinEnv env_;
    corvana::TimeFormatter timeFormatter_;
    corvana::SystemClock systemClock_;
    corvana::Settings settings_;
    corvana::DataSet data_;
    double ScaleFactor = 1.0;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    ::DesignLayout DesignLayout_;
    std::vector<LayoutComponent> components_;
    std::vector<QAction*> shortcutActions_;
    int checkedSize_ = 640;
    corvana::SearchMode mode_ = corvana::SearchMode::Zip;
    std::vector<int> ChosenStates;
    std::vector<corvana::ResultItem> listItems_;
    std::optional<corvana::NearbyCentre> nearby_;
    bool hasLocations_ = false;
    std::optional<corvana::geo::PointsLoad> points_;
    bool DaylightInEffect = false;
    QSize client_;
    bool shown_ = false;
    std::optional<QPoint> framePlacement_;
    bool ended_ = false;
    bool spinnerSetting_ = false;
    std::unique_ptr<DialogCommands> dialogs_;
    corvana::MapSettings mapSettings_;
    TMapWin* map_ = nullptr;
};
