#include "main/window/SearchPanel.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "main/app/Messages.h"
#include "main/widgets/SpinButton.h"
#include "main/window/Accessibility.h"
#include "main/window/Controls.h"
#include "main/window/StateChoice.h"
#include "search/Search.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

namespace {

// The first field's typing rule applied to each character of a field's text.
QString typedText(corvana::SearchMode mode, const QString& text) {
    QString out;
    for (QChar c : text)
        if (corvana::FieldTakes(mode, c.unicode()))
            out += QChar(char16_t(corvana::FieldCase(mode, c.unicode())));
    return out;
}

} // namespace

SearchPanel::SearchPanel(QWidget* client, std::vector<LayoutComponent>& components,
                         const corvana::DataSet& data, corvana::Settings& settings,
                         Messages& messages, QObject* parent)
    : QObject(parent), data_(data), messages_(messages) {
    createModes(client);
    createStateFields(client, components, settings);
    const std::pair<QWidget*, const char*> named[] = {{SearchPanelFrame, "SearchPanel"},
                                                      {Label1, "Label1"},
                                                      {SearchZip, "SearchZip"},
                                                      {SearchCity, "SearchCity"},
                                                      {SearchState, "SearchState"},
                                                      {SearchCounty, "SearchCounty"},
                                                      {SearchArea, "SearchArea"},
                                                      {SearchFirstEdit, "SearchFirstEdit"},
                                                      {SearchSecondEdit, "SearchSecondEdit"},
                                                      {SearchFirstCombo, "SearchFirstCombo"},
                                                      {TheSpinner, "TheSpinner"},
                                                      {Bevel1, "Bevel1"},
                                                      {SearchFirstLabel, "SearchFirstLabel"},
                                                      {SearchSecondLabel, "SearchSecondLabel"}};
    for (auto [control, name] : named) {
        control->setObjectName(name);
        const bool noFont = control == TheSpinner || control == Bevel1;
        components.push_back(
            {control, noFont ? LayoutKind::Geometry : LayoutKind::GeometryAndFont});
    }
    Bevel1->setFocusPolicy(Qt::NoFocus);
    // The arrows step through the sorted abbreviations: up to the one before, down to the next.
    NameForReaders(*SearchPanelFrame, "Search By");
    NameForReaders(*SearchFirstCombo, "State");
    NameForReaders(*TheSpinner->upButton(), "Previous state");
    NameForReaders(*TheSpinner->downButton(), "Next state");
    // The first field's caption changes with the mode: setUpMode labels that field each time.
    LabelForReaders(*SearchSecondLabel, *SearchSecondEdit);
    // The state field and its spinner sit on the line of the first search field, which they
    // replace in State mode.
    SearchFirstCombo->move(264, 8);
    TheSpinner->move(355, 8);
    connectControls();
}

void SearchPanel::createModes(QWidget* client) {
    SearchPanelFrame = Placed(new QFrame(client), 4, 4, 149, 141);
    SearchPanelFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Label1 = Placed(new QLabel("Search By", SearchPanelFrame), 8, 4, 133, 25);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(Arial(18));
    SearchZip = Placed(new QRadioButton("Zip Code", SearchPanelFrame), 12, 28, 113, 21);
    SearchCity = Placed(new QRadioButton("City", SearchPanelFrame), 12, 50, 113, 21);
    SearchState = Placed(new QRadioButton("State", SearchPanelFrame), 12, 72, 113, 21);
    SearchCounty = Placed(new QRadioButton("County", SearchPanelFrame), 12, 94, 113, 21);
    SearchArea = Placed(new QRadioButton("Area Code", SearchPanelFrame), 12, 116, 113, 21);

    SearchFirstEdit = Placed(new QLineEdit(client), 264, 8, 220, 27);
    SearchFirstEdit->setMaxLength(30);
    SearchSecondEdit = Placed(new QLineEdit(client), 264, 40, 220, 27);
    SearchSecondEdit->setMaxLength(30);
    SearchSecondEdit->hide();
    SearchSecondEdit->setEnabled(false);
}

void SearchPanel::createStateFields(QWidget* client, std::vector<LayoutComponent>& components,
                                    corvana::Settings& settings) {
    SearchFirstCombo = Placed(new QComboBox(client), 384, 76, 86, 27);
    SearchFirstCombo->setEditable(true);
    // Typed letters must stay as typed: no completion from the list, no new items on Enter.
    SearchFirstCombo->setCompleter(nullptr);
    SearchFirstCombo->setInsertPolicy(QComboBox::NoInsert);
    SearchFirstCombo->lineEdit()->setMaxLength(2);
    SearchFirstCombo->setMaxVisibleItems(18);
    SearchFirstCombo->hide();
    SearchFirstCombo->setEnabled(false);

    TheSpinner = Placed(new TSpinButton(client), 460, 76, 20, 27);
    TheSpinner->hide();
    TheSpinner->setEnabled(false);

    states_ = new StateChoice(client, components, settings, this);

    Bevel1 = Placed(new QFrame(client), 156, 4, 341, 141);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Raised);
    Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Bevel1->lower();

    SearchFirstLabel = Placed(new QLabel(client), 164, 12, 89, 21);
    SearchFirstLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SearchSecondLabel = Placed(new QLabel("City", client), 164, 44, 89, 21);
    SearchSecondLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SearchSecondLabel->hide();
}

void SearchPanel::connectControls() {
    const std::pair<QRadioButton*, corvana::SearchMode> modes[] = {
        {SearchZip, corvana::SearchMode::Zip},
        {SearchCity, corvana::SearchMode::City},
        {SearchState, corvana::SearchMode::State},
        {SearchCounty, corvana::SearchMode::County},
        {SearchArea, corvana::SearchMode::Area}};
    for (auto [button, mode] : modes)
        connect(button, &QRadioButton::toggled, this, [this, mode = mode](bool on) {
            if (on)
                setMode(mode);
        });
    connect(SearchFirstEdit, &QLineEdit::textChanged, this, &SearchPanel::firstEditChanged);
    connect(SearchSecondEdit, &QLineEdit::textChanged, this, &SearchPanel::secondEditChanged);
    connect(SearchFirstCombo, &QComboBox::editTextChanged, this, &SearchPanel::firstComboChanged);
    connect(states_, &StateChoice::changed, this, &SearchPanel::rerunStateFilteredSearch);
    connect(TheSpinner, &TSpinButton::upClick, this, [this] { stepSpinner(false); });
    connect(TheSpinner, &TSpinButton::downClick, this, [this] { stepSpinner(true); });
}

std::vector<QWidget*> SearchPanel::fieldTabStops() const {
    return {SearchZip,
            SearchCity,
            SearchState,
            SearchCounty,
            SearchArea,
            SearchFirstCombo,
            TheSpinner->upButton(),
            TheSpinner->downButton(),
            SearchFirstEdit,
            SearchSecondEdit};
}

std::vector<QWidget*> SearchPanel::stateTabStops() const {
    return states_->tabStops();
}

void SearchPanel::watchKeys(QObject* filter) {
    // The arrow keys of the mode buttons and of the state field get the panel's own handling.
    for (QObject* o : {static_cast<QObject*>(SearchFirstCombo), static_cast<QObject*>(SearchZip),
                       static_cast<QObject*>(SearchCity), static_cast<QObject*>(SearchState),
                       static_cast<QObject*>(SearchCounty), static_cast<QObject*>(SearchArea)})
        o->installEventFilter(this);
    for (QObject* o :
         {static_cast<QObject*>(SearchFirstEdit), static_cast<QObject*>(SearchSecondEdit),
          static_cast<QObject*>(SearchFirstCombo),
          static_cast<QObject*>(SearchFirstCombo->lineEdit()), static_cast<QObject*>(SearchZip),
          static_cast<QObject*>(SearchCity), static_cast<QObject*>(SearchState),
          static_cast<QObject*>(SearchCounty), static_cast<QObject*>(SearchArea)})
        o->installEventFilter(filter);
    states_->watchKeys(filter);
}

void SearchPanel::fitTexts() {
    for (QRadioButton* b : {SearchZip, SearchCity, SearchState, SearchCounty, SearchArea})
        FitButtonText(b, SearchPanelFrame->width());
    states_->fitTexts();
}

void SearchPanel::setMode(corvana::SearchMode mode) {
    mode_ = mode;
    emit modeChosen();
}

void SearchPanel::chooseMode(corvana::SearchMode mode) {
    mode_ = mode;
    QRadioButton* modeButtons[] = {SearchZip, SearchCity, SearchState, SearchCounty, SearchArea};
    modeButtons[corvana::ModeNumber(mode_) - 1]->setChecked(true);
}

void SearchPanel::setUpMode(double scaleFactor) {
    const bool stateMode = mode_ == corvana::SearchMode::State;
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
    } else {
        SearchFirstCombo->hide();
        SearchFirstCombo->setEnabled(false);
        TheSpinner->hide();
        TheSpinner->setEnabled(false);
        SearchFirstEdit->show();
        SearchFirstEdit->setEnabled(true);
        sizeFields(scaleFactor);
        SearchFirstEdit->clear();
    }
    focusFirstField();

    states_->setShown(corvana::HasStateChoice(mode_));
    showSecondField(false);
}

void SearchPanel::showSecondField(bool shown) {
    SearchSecondLabel->setVisible(shown);
    SearchSecondEdit->setVisible(shown);
    SearchSecondEdit->setEnabled(shown);
}

void SearchPanel::sizeFields(double scaleFactor) {
    const int width = mode_ == corvana::SearchMode::Zip    ? Scaled(scaleFactor, 70)
                      : mode_ == corvana::SearchMode::Area ? Scaled(scaleFactor, 45)
                                                           : Scaled(scaleFactor, 220);
    if (mode_ != corvana::SearchMode::State)
        SearchFirstEdit->resize(width, SearchFirstEdit->height());
    sizeStateFields(scaleFactor);
}

void SearchPanel::sizeStateFields(double scaleFactor) {
    SearchFirstCombo->resize(Scaled(scaleFactor, 45) + 25, SearchFirstCombo->height());
    states_->sizeFields(scaleFactor);
    TheSpinner->move(SearchFirstCombo->x() + SearchFirstCombo->width() + 10, TheSpinner->y());
}

void SearchPanel::fillStates(const std::vector<std::string>& abbreviations) {
    for (const std::string& abbrev : abbreviations)
        SearchFirstCombo->addItem(fromCore(abbrev));
    states_->fillStates(abbreviations);
    // The list stands on no item, so that the first step down from the empty field reaches
    // the first abbreviation.
    SearchFirstCombo->setCurrentIndex(-1);
    SearchFirstCombo->setEditText({});
}

void SearchPanel::showStateChoice() {
    states_->showChoice();
}

void SearchPanel::stop() {
    stopped_ = true;
    states_->stop();
}

corvana::SearchRequest SearchPanel::request() const {
    corvana::SearchRequest r;
    r.mode = mode_;
    if (mode_ == corvana::SearchMode::State) {
        r.text = toCore(SearchSecondEdit->text());
        r.chosenStates = ChosenStates;
    } else {
        r.text = toCore(SearchFirstEdit->text());
        r.singleState = states_->singleState();
    }
    return r;
}

void SearchPanel::firstEditChanged() {
    if (stopped_ || mode_ == corvana::SearchMode::State)
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
    emit searchWanted();
}

void SearchPanel::chooseStates(const std::string& abbrev) {
    ChosenStates = corvana::ChooseStates(data_, abbrev);
}

void SearchPanel::firstComboChanged() {
    if (stopped_ || mode_ != corvana::SearchMode::State || spinnerSetting_)
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
        showSecondField(false);
        return;
    }
    chooseStates(toCore(text));
    if (ChosenStates.empty()) {
        showSecondField(false);
        messages_.message(SearchFirstCombo->window(), corvana::caption::Sorry,
                          "No matching state abbreviations found.");
        return;
    }
    showSecondField(true);
    // Typed letters go on to the city; an abbreviation stepped to leaves the keys here, so that
    // the next step can follow.
    if (!stepping_)
        SearchSecondEdit->setFocus();
    if (!SearchSecondEdit->text().isEmpty())
        emit searchWanted();
}

void SearchPanel::stepSpinner(bool down) {
    int count = SearchFirstCombo->count();
    // With no abbreviations at all there is nothing to step to.
    if (stopped_ || mode_ != corvana::SearchMode::State || count == 0)
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

    showSecondField(true);
    emit searchWanted();
}

void SearchPanel::secondEditChanged() {
    if (stopped_ || mode_ != corvana::SearchMode::State)
        return;
    emit searchWanted();
}

void SearchPanel::rerunStateFilteredSearch() {
    if (corvana::HasStateChoice(mode_))
        emit searchWanted();
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && arrowKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

bool SearchPanel::arrowKey(QObject* watched, QKeyEvent* key) {
    const int k = key->key();
    const bool vertical = k == Qt::Key_Up || k == Qt::Key_Down;
    if (watched == SearchFirstCombo) {
        if (!vertical || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        stepAbbreviationList(k == Qt::Key_Down);
        return true;
    }
    QRadioButton* modeButtons[] = {SearchZip, SearchCity, SearchState, SearchCounty, SearchArea};
    if (std::find(std::begin(modeButtons), std::end(modeButtons), watched) == std::end(modeButtons))
        return false;
    // Enter goes on from the group to the field of the mode, as Tab does.
    const bool plain = !(key->modifiers() & ~Qt::KeypadModifier);
    if (plain && (k == Qt::Key_Return || k == Qt::Key_Enter)) {
        focusFirstField();
        return true;
    }
    if (!vertical && k != Qt::Key_Left && k != Qt::Key_Right)
        return false;
    // The group checks the neighbouring button, which sets up that mode; the set-up puts the
    // focus in the search field, as a click does, but the arrows leave it in the group so that
    // the user can go on choosing. The buttons stand in a column: left steps up and right down.
    const corvana::SearchMode before = mode_;
    QKeyEvent step(key->type(),
                   k == Qt::Key_Left    ? Qt::Key_Up
                   : k == Qt::Key_Right ? Qt::Key_Down
                                        : k,
                   key->modifiers());
    watched->event(&step);
    if (mode_ != before && !stopped_)
        modeButtons[corvana::ModeNumber(mode_) - 1]->setFocus(Qt::OtherFocusReason);
    return true;
}

void SearchPanel::stepAbbreviationList(bool down) {
    // The list steps from the abbreviation in the field, and from its top for any other text.
    const int count = SearchFirstCombo->count();
    const int at = SearchFirstCombo->findText(SearchFirstCombo->currentText(),
                                              Qt::MatchExactly | Qt::MatchCaseSensitive);
    const int next = at < 0 ? 0 : std::clamp(at + (down ? 1 : -1), 0, count - 1);
    if (count == 0 || next == at)
        return;
    stepping_ = true;
    SearchFirstCombo->setCurrentIndex(next);
    // The list may already stand on that item while the field holds other text.
    SearchFirstCombo->setEditText(SearchFirstCombo->itemText(next));
    stepping_ = false;
}

void SearchPanel::focusFirstField() {
    if (mode_ == corvana::SearchMode::State)
        SearchFirstCombo->setFocus();
    else
        SearchFirstEdit->setFocus();
}
