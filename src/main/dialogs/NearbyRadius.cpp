#include "main/dialogs/NearbyRadius.h"

#include "data/Errors.h"
#include "main/app/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Holds whatever number is typed, so that the dialog can refuse a radius out of range instead
// of the field dropping a digit or going back to the last value. An empty field reads as 0,
// which is refused in turn.
class RadiusBox : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString& text, int& pos) const override {
        if (text.trimmed().isEmpty())
            return QValidator::Acceptable;
        return QDoubleSpinBox::validate(text, pos);
    }
    double valueFromText(const QString& text) const override {
        return text.trimmed().isEmpty() ? 0 : QDoubleSpinBox::valueFromText(text);
    }
};

} // namespace

TNearbyRadius::TNearbyRadius(const QString& zipCode, double miles, double scaleFactor, QSize screen,
                             Messages& messages, QWidget* parent, bool standardOnly,
                             bool kindsKnown, const QString& peopleOff)
    : TScaledDialog("Nearby Zip Codes", QSize(300, 139), scaleFactor, screen, parent),
      messages_(messages), zipCode_(zipCode) {
    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setGeometry(8, 4, 284, 69);

    Label1 = new QLabel("&Miles Around " + zipCode, this);
    Label1->setGeometry(16, 10, 268, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(Arial(20));

    // One decimal place is as fine as a distance is shown; the largest radius still reaches
    // from coast to coast. The field itself takes more, for the check on Ok to refuse it.
    Miles = new RadiusBox(this);
    Miles->setGeometry(24, 40, 100, 27);
    Miles->setDecimals(1);
    Miles->setRange(0, 999999999);
    Miles->setValue(miles);
    Miles->setAccessibleName("Miles Around " + zipCode);
    Label1->setBuddy(Miles);

    // The people to reach take the radius's place; the unit beside them says which is asked.
    People = new QSpinBox(this);
    People->setGeometry(24, 40, 100, 27);
    People->setRange(0, MaxPeople);
    People->setGroupSeparatorShown(true);
    People->setValue(1'000'000);
    People->setAccessibleName("People To Reach Around " + zipCode);
    People->hide();
    Unit = new QComboBox(this);
    Unit->setGeometry(130, 40, 146, 27);
    Unit->addItems({"miles", "people to reach"});
    Unit->setObjectName("Unit");
    Unit->setAccessibleName("Circle By");
    Unit->setEnabled(peopleOff.isEmpty());
    Unit->setToolTip(peopleOff.isEmpty() ? "A circle of this radius, or the smallest circle that "
                                           "holds this many people"
                                         : peopleOff);
    Unit->setAccessibleDescription(Unit->toolTip());
    connect(Unit, &QComboBox::currentIndexChanged, this, &TNearbyRadius::UnitChange);

    StandardOnly = new QCheckBox("Leave out P.O. &box ZIP codes", this);
    StandardOnly->setGeometry(16, 79, 268, 21);
    StandardOnly->setChecked(standardOnly && kindsKnown);
    StandardOnly->setEnabled(kindsKnown);
    StandardOnly->setObjectName("StandardOnly");
    StandardOnly->setAccessibleName("Leave out P.O. box ZIP codes");
    StandardOnly->setToolTip(kindsKnown ? "Leaves out the ZIP codes without an area: post-office "
                                          "boxes and single addresses"
                                        : "This data does not say which ZIP codes have an area.");
    StandardOnly->setAccessibleDescription(StandardOnly->toolTip());

    OkButton = new QPushButton("&Ok", this);
    OkButton->setGeometry(57, 106, 85, 25);
    OkButton->setDefault(true);
    CancelButton = new QPushButton("&Cancel", this);
    CancelButton->setGeometry(157, 106, 85, 25);
    CancelButton->setAutoDefault(false);

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TNearbyRadius::FormShow() {
    // Typing replaces the radius (or the people) of last time.
    QAbstractSpinBox* field = people() ? static_cast<QAbstractSpinBox*>(People) : Miles;
    field->setFocus();
    field->selectAll();
}

void TNearbyRadius::setByPeople(bool byPeople, int people) {
    People->setValue(people);
    Unit->setCurrentIndex(byPeople ? 1 : 0);
    UnitChange();
}

void TNearbyRadius::UnitChange() {
    const bool byPeople = Unit->currentIndex() == 1;
    Miles->setVisible(!byPeople);
    People->setVisible(byPeople);
    Label1->setText((byPeople ? "&People Around " : "&Miles Around ") + zipCode_);
    QAbstractSpinBox* field = byPeople ? static_cast<QAbstractSpinBox*>(People) : Miles;
    Label1->setBuddy(field);
    setTabOrder(field, Unit);
}

std::optional<int> TNearbyRadius::people() const {
    if (Unit->currentIndex() != 1)
        return std::nullopt;
    return People->value();
}

double TNearbyRadius::miles() const {
    return Miles->value();
}

bool TNearbyRadius::standardOnly() const {
    return StandardOnly->isChecked();
}

void TNearbyRadius::accept() {
    if (people()) {
        People->interpretText();
        if (People->value() < 1) {
            messages_.message(this, corvana::caption::Error,
                              "The people to reach must be a whole number from 1.");
            People->setFocus();
            People->selectAll();
            return;
        }
        TScaledDialog::accept();
        return;
    }
    Miles->interpretText();
    const double m = Miles->value();
    if (m < MinMiles || m > MaxMiles) {
        messages_.message(this, corvana::caption::Error,
                          "The radius must be from 0.1 to 3000 miles.");
        Miles->setFocus();
        Miles->selectAll();
        return;
    }
    TScaledDialog::accept();
}
