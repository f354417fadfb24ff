#include "main/window/Accessibility.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

struct ControlName {
    const char* objectName;
    const char* name;
};

// The arrows step through the sorted abbreviations: up to the one before, down to the next.
constexpr ControlName Names[] = {
    {"SearchPanel", "Search By"},       {"SearchFirstCombo", "State"},
    {"TheSpinnerUp", "Previous state"}, {"TheSpinnerDown", "Next state"},
    {"StatePanel", "States to search"}, {"StateCombo", "Single State"},
};

// A caption beside a field becomes its label for assistive technology too. The first field's
// caption changes with the mode, so the window labels that field whenever it sets the caption.
constexpr ControlName Captions[] = {
    {"SearchSecondLabel", "SearchSecondEdit"},
};

} // namespace

void NameMainWinControls(QWidget& window) {
    for (const ControlName& c : Names) {
        QWidget* w = window.findChild<QWidget*>(c.objectName);
        if (!w)
            continue;
        w->setAccessibleName(c.name);
        // A combo box is spoken as its edit field while typing and as its list when open.
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->lineEdit())
                combo->lineEdit()->setAccessibleName(c.name);
            combo->view()->setAccessibleName(c.name);
        }
    }
    for (const ControlName& c : Captions) {
        auto* label = window.findChild<QLabel*>(c.objectName);
        auto* field = window.findChild<QWidget*>(c.name);
        if (label && field) {
            label->setBuddy(field);
            field->setAccessibleName(label->text());
        }
    }
}
