#pragma once

#include "main/layout/Layout.h"

#include <QObject>

#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QRadioButton;
class QWidget;
namespace corvana {
struct Settings;
} // namespace corvana

// The choice of searching all states or a single one, for the modes that offer it. The choice
// lives in the settings, so that the next run starts where this one ended.
class StateChoice : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `client`, each taking its slot of the layout record.
    StateChoice(QWidget* client, std::vector<LayoutComponent>& components,
                corvana::Settings& settings, QObject* parent);

    // Fills the list; it stands where the settings last left it.
    void fillStates(const std::vector<std::string>& abbreviations);
    // The choice as the settings hold it.
    void showChoice();
    void setShown(bool shown);
    // The abbreviation the single-state list stands on; empty when none.
    std::string singleState() const;
    void sizeFields(double scaleFactor);
    void fitTexts();
    std::vector<QWidget*> tabStops() const;
    void watchKeys(QObject* filter);
    // The window has ended: no more input is taken.
    void stop() { stopped_ = true; }

signals:
    // The states to search in have changed.
    void changed();

private:
    void allStatesChosen();
    void singleStateChosen();
    void listChanged();
    // Single State in effect: the list stands on a state, and the settings remember it.
    void chooseSingleState();

    QFrame* StatePanel;
    QRadioButton* AllStates;
    QRadioButton* SingleState;
    QComboBox* StateCombo;
    corvana::Settings& settings_;
    bool stopped_ = false;
};
