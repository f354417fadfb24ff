#pragma once

#include "data/DataSet.h"
#include "data/People.h"
#include "geo/Points.h"
#include "main/layout/Layout.h"
#include "main/window/WindowContext.h"
#include "output/CopyOutput.h"
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

class CommandRow;
class DialogCommands;
class MainMenus;
class Messages;
class PhoneCommand;
class QListWidget;
class ResultsView;
class SearchPanel;
class TMapWin;
class TZipDetails;
class DetailsCommand;

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

class TMainWin : public QMainWindow, public WindowContext {
    Q_OBJECT
public:
    // Creates the window hidden, reads the settings and the resident data. A data file that is
    // missing or damaged is reported and the window closes at once: check ended() before
    // showing it.
    explicit TMainWin(const MainWinEnv& env, QWidget* parent = nullptr);
    ~TMainWin() override;

    // The window has closed (for whatever reason) and written the settings.
    bool ended() const override { return ended_; }

    QWidget& owner() override { return *this; }
    corvana::Settings& settings() override { return settings_; }
    const corvana::DataSet& data() const override { return data_; }
    Messages& messages() const override { return *env_.messages; }
    double scaleFactor() const override { return ScaleFactor; }
    QSize screenSize() const override { return {ScreenWidth, ScreenHeight}; }
    bool daylightInEffect() const { return DaylightInEffect; }
    // What a search or a re-read of listed records needs: tables, settings and the clock.
    corvana::SearchContext searchContext() const override;

    int searchMode() const;
    const std::vector<int>& chosenStates() const;
    // The items of the results list, row for row.
    const std::vector<corvana::ResultItem>& shownItems() const;
    // The client area below the menu bar, as the window last set it.
    QSize clientSize() const { return client_; }
    // The results list itself, for a view that follows its lines and their selection.
    QListWidget* resultsList() const;
    // Set while the list holds the ZIP codes around a centre, from the result that listed them.
    const std::optional<corvana::NearbyCentre>& nearbyCentre() const { return nearby_; }
    // Whether the data directory has the ZIP codes' locations, as seen at start.
    bool hasLocations() const override { return hasLocations_; }
    // The locations, read on first use so that start-up does not wait for them.
    const corvana::geo::PointsLoad& points() override;
    const corvana::PeopleLoad& people();
    void help(const QString& keyword) override;

    // Shows each message under "FATAL ERROR" and closes the window, which ends the program.
    void FatalEnd(const std::vector<std::string>& messages) override;

    // Another copy of the program was started: this one comes to the front instead, with the
    // dialog it has open, if any.
    void BringToFront();

    void StartSearch();
    void FirstSearchSizeIt();
    void SetItOnTop(bool onTop);

    // Window sizes: 400, 480, 640, 800, 1024 or 1280.
    void ChooseWindowSize(int size);
    void MenuAlwaysOnTopClick(bool onTop);
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
    // The lines that copy or print would deliver in output format `format`: the selected ones,
    // or all; for a nearby list with the heading its printed pages open with.
    corvana::CollectedOutput CollectOutput(int format, bool allItems) const;
    void DoCopyOrPrint(bool printMode);
    // The ZIP codes around the first selected ZIP line, else around the first ZIP line, within
    // the radius the user gives.
    void MenuNearbyClick();
    // Opens the details window on the current ZIP line, or shows that line in the open one.
    void MenuZipDetailsClick();
    // The details window while it is open; null otherwise.
    TZipDetails* zipDetailsWindow() const;
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
    // Creates the parts of the window and wires them to one another and to the window.
    void createParts();
    void connectParts();
    void FormCreate();
    void FormShow();
    void FormClose();

    void SaveFormLayout();
    void RestoreFormLayout(int placement);
    void setClientSize(QSize size);
    void setClientHeight(int height);

    // The clock the window was given, else the system's.
    const corvana::Clock& clock() const { return env_.clock ? *env_.clock : systemClock_; }
    void applyResult(corvana::SearchResult result);
    void showItems(std::vector<corvana::ResultItem> items);
    // Runs the search the fields ask for.
    void runSearch();
    // The nearby command is on while the list shows ZIP lines and the data has locations.
    void updateNearbyCommand();
    // A list of nearby ZIP codes stands only until the next search: it goes, with its heading.
    void dropNearbyList();

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
    std::optional<corvana::NearbyCentre> nearby_;
    std::string nearbyHeading_; // what the nearby list is, for its printed pages
    bool hasLocations_ = false;
    std::optional<corvana::geo::PointsLoad> points_;
    std::optional<corvana::PeopleLoad> people_; // PEOPLE.DAT, read when a reach first asks
    bool DaylightInEffect = false;
    QSize client_;
    bool shown_ = false;
    bool ended_ = false;
    SearchPanel* search_ = nullptr;
    ResultsView* results_ = nullptr;
    CommandRow* commands_ = nullptr;
    MainMenus* menus_ = nullptr;
    PhoneCommand* phone_ = nullptr;
    std::unique_ptr<DialogCommands> dialogs_;
    corvana::MapSettings mapSettings_;
    TMapWin* map_ = nullptr;
    // Where the main window's frame was put at the start, from the settings.
    QPoint startCorner_;
    DetailsCommand* details_ = nullptr;
};
