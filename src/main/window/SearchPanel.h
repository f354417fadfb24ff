#pragma once

#include "main/layout/Layout.h"
#include "search/SearchRequest.h"

#include <QObject>

#include <string>
#include <vector>

class Messages;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;
class StateChoice;
class TSpinButton;
namespace corvana {
struct DataSet;
struct Settings;
} // namespace corvana

// What the user searches for: the mode group, the search fields, the state field with its
// spinner, and the choice of all states or one. It keeps the fields to each mode's typing rule
// and says when the fields ask for a new search; the state choice lives in the settings.
class SearchPanel : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `client`, each taking its slot of the layout record.
    SearchPanel(QWidget* client, std::vector<LayoutComponent>& components,
                const corvana::DataSet& data, corvana::Settings& settings, Messages& messages,
                QObject* parent);

    corvana::SearchMode mode() const { return mode_; }
    // Checks the mode's button, which sets the mode up as a click does.
    void chooseMode(corvana::SearchMode mode);
    // Sets up the fields of the mode: its caption, its field and the state choice.
    void setUpMode(double scaleFactor);
    // The states the state field stands for, in State mode.
    const std::vector<int>& chosenStates() const { return ChosenStates; }
    // The search the fields ask for now.
    corvana::SearchRequest request() const;

    // Fills both state lists; the single state stands where the settings last left it.
    void fillStates(const std::vector<std::string>& abbreviations);
    // The all-or-one choice as the settings hold it.
    void showStateChoice();
    // The sizes of the fields that follow the mode and the scale rather than the record.
    void sizeFields(double scaleFactor);
    void sizeStateFields(double scaleFactor);
    // The choices may take the room their texts need.
    void fitTexts();
    // The controls in the order the Tab key visits them: the modes, then the search fields in
    // reading order (the state field and its spinner stand where State mode puts them, before
    // the City field), and after the rest of the window the state choice.
    std::vector<QWidget*> fieldTabStops() const;
    std::vector<QWidget*> stateTabStops() const;
    // Lets `filter` see the keys of the controls that take typing or arrows.
    void watchKeys(QObject* filter);
    // The window has ended: no more input is taken.
    void stop();

signals:
    // Another mode was chosen.
    void modeChosen();
    // The fields ask for a search.
    void searchWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createModes(QWidget* client);
    void createStateFields(QWidget* client, std::vector<LayoutComponent>& components,
                           corvana::Settings& settings);
    void connectControls();
    void setMode(corvana::SearchMode mode);
    void firstEditChanged();
    void firstComboChanged();
    void secondEditChanged();
    void stepSpinner(bool down);
    void chooseStates(const std::string& abbrev);
    void rerunStateFilteredSearch();
    void showSecondField(bool shown);
    // Up and Down in the state field, Up, Down, Left and Right on a mode button; true when the
    // key is handled.
    bool arrowKey(QObject* watched, QKeyEvent* key);
    void stepAbbreviationList(bool down);
    // The mode's search field takes the keyboard focus.
    void focusFirstField();

    QFrame* SearchPanelFrame;
    QLabel* Label1;
    QRadioButton* SearchZip;
    QRadioButton* SearchCity;
    QRadioButton* SearchState;
    QRadioButton* SearchCounty;
    QRadioButton* SearchArea;
    QLineEdit* SearchFirstEdit;
    QLineEdit* SearchSecondEdit;
    QComboBox* SearchFirstCombo;
    TSpinButton* TheSpinner;
    StateChoice* states_;
    QFrame* Bevel1;
    QLabel* SearchFirstLabel;
    QLabel* SearchSecondLabel;

    const corvana::DataSet& data_;
    Messages& messages_;
    corvana::SearchMode mode_ = corvana::SearchMode::Zip;
    std::vector<int> ChosenStates;
    bool spinnerSetting_ = false;
    bool stepping_ = false; // the arrow keys step the state field through the list
    bool stopped_ = false;
};
