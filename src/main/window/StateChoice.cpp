#include "main/window/StateChoice.h"

#include "main/app/Messages.h"
#include "main/window/Accessibility.h"
#include "main/window/Controls.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QFrame>
#include <QRadioButton>
#include <QSignalBlocker>

StateChoice::StateChoice(QWidget* client, std::vector<LayoutComponent>& components,
                         corvana::Settings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    StatePanel = Placed(new QFrame(client), 256, 40, 141, 97);
    StatePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatePanel->hide();
    StatePanel->setEnabled(false);
    AllStates = Placed(new QRadioButton("All States", StatePanel), 12, 8, 113, 21);
    SingleState = Placed(new QRadioButton("Single State", StatePanel), 12, 32, 113, 21);
    StateCombo = Placed(new QComboBox(StatePanel), 40, 60, 65, 27);
    StateCombo->setMaxVisibleItems(13);

    const std::pair<QWidget*, const char*> named[] = {{StatePanel, "StatePanel"},
                                                      {AllStates, "AllStates"},
                                                      {SingleState, "SingleState"},
                                                      {StateCombo, "StateCombo"}};
    for (auto [control, name] : named) {
        control->setObjectName(name);
        components.push_back({control, LayoutKind::GeometryAndFont});
    }
    NameForReaders(*StatePanel, "States to search");
    NameForReaders(*StateCombo, "Single State");

    connect(AllStates, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            allStatesChosen();
    });
    connect(SingleState, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            singleStateChosen();
    });
    connect(StateCombo, &QComboBox::currentIndexChanged, this, &StateChoice::listChanged);
}

void StateChoice::fillStates(const std::vector<std::string>& abbreviations) {
    {
        // No mode is set up yet, so a change of the list has nothing to search again, and the
        // list is to stand on the state of the last run.
        QSignalBlocker block(StateCombo);
        for (const std::string& abbrev : abbreviations)
            StateCombo->addItem(fromCore(abbrev));
        StateCombo->setCurrentIndex(
            StateCombo->findText(fromCore(settings_.singleState), Qt::MatchFixedString));
    }
    if (!settings_.allState)
        chooseSingleState();
}

void StateChoice::showChoice() {
    if (settings_.allState)
        AllStates->setChecked(true);
    else
        SingleState->setChecked(true);
    TabStopOnChecked({AllStates, SingleState});
}

void StateChoice::setShown(bool shown) {
    StatePanel->setVisible(shown);
    StatePanel->setEnabled(shown);
}

std::string StateChoice::singleState() const {
    return toCore(StateCombo->currentText());
}

void StateChoice::sizeFields(double scaleFactor) {
    StateCombo->resize(Scaled(scaleFactor, 45) + 20, StateCombo->height());
}

void StateChoice::fitTexts() {
    for (QRadioButton* b : {AllStates, SingleState})
        FitButtonText(b, StatePanel->width());
}

std::vector<QWidget*> StateChoice::tabStops() const {
    return {AllStates, SingleState, StateCombo};
}

void StateChoice::watchKeys(QObject* filter) {
    StateCombo->installEventFilter(filter);
}

void StateChoice::allStatesChosen() {
    if (stopped_ || settings_.allState)
        return;
    settings_.allState = true;
    emit changed();
}

void StateChoice::singleStateChosen() {
    if (stopped_ || !settings_.allState)
        return;
    settings_.allState = false;
    chooseSingleState();
    emit changed();
}

void StateChoice::chooseSingleState() {
    // A search limited to one state needs a state to look in: the first, until the user picks
    // another.
    if (StateCombo->currentIndex() < 0) {
        QSignalBlocker block(StateCombo);
        StateCombo->setCurrentIndex(0);
    }
    if (StateCombo->currentIndex() >= 0)
        settings_.singleState = toCore(StateCombo->currentText());
}

void StateChoice::listChanged() {
    if (stopped_)
        return;
    if (StateCombo->currentIndex() >= 0)
        settings_.singleState = toCore(StateCombo->currentText());
    if (!settings_.allState)
        emit changed();
}
