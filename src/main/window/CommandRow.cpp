#include "main/window/CommandRow.h"

#include "main/window/Controls.h"

#include <QCheckBox>
#include <QPushButton>

CommandRow::CommandRow(QWidget* client, std::vector<LayoutComponent>& components, QObject* parent)
    : QObject(parent) {
    // Alt+C opens the Configure menu; the button takes the letter the copy dialog's own
    // command uses.
    ButtonCopy = Placed(new QPushButton("Cop&y To Clipboard", client), 340, 368, 157, 29);
    ButtonPrint = Placed(new QPushButton("&Print", client), 236, 368, 96, 29);
    RangeSelect = Placed(new QCheckBox("&Range Selecting", client), 8, 372, 173, 21);
    ButtonCopy->setObjectName("ButtonCopy");
    ButtonPrint->setObjectName("ButtonPrint");
    RangeSelect->setObjectName("RangeSelect");
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonCopy, ButtonPrint, RangeSelect}) {
        components.push_back({w, LayoutKind::GeometryAndFont});
        w->hide();
        w->setEnabled(false);
    }
    connect(ButtonCopy, &QPushButton::clicked, this, &CommandRow::copyChosen);
    connect(ButtonPrint, &QPushButton::clicked, this, &CommandRow::printChosen);
    connect(RangeSelect, &QCheckBox::toggled, this, &CommandRow::rangeSelectingToggled);
}

void CommandRow::setShown(bool shown) {
    for (QWidget* w : tabStops()) {
        w->setVisible(shown);
        w->setEnabled(shown);
    }
}

std::vector<QWidget*> CommandRow::tabStops() const {
    // In reading order: the row runs from the check box on the left to Copy on the right.
    return {RangeSelect, ButtonPrint, ButtonCopy};
}

void CommandRow::fitTexts(int clientWidth) {
    FitButtonText(RangeSelect, clientWidth);
}
