#include "main/dialogs/NearbyRadius.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TNearbyRadius::TNearbyRadius(const QString& zipCode, double miles, double scaleFactor,
                             QSize screen, QWidget* parent, bool standardOnly, bool kindsKnown)
    : TScaledDialog("Nearby Zip Codes", QSize(300, 139), scaleFactor, screen, parent) {
    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setGeometry(8, 4, 284, 69);

    Label1 = new QLabel("&Miles Around " + zipCode, this);
    Label1->setGeometry(16, 10, 268, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(Arial(20));

    // One decimal place is as fine as a distance is shown; the largest radius still reaches
    // from coast to coast.
    Miles = new QDoubleSpinBox(this);
    Miles->setGeometry(100, 40, 100, 27);
    Miles->setDecimals(1);
    Miles->setRange(0.1, 3000);
    Miles->setValue(miles);
    Miles->setAccessibleName("Miles Around " + zipCode);
    Label1->setBuddy(Miles);

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
    // Typing replaces the radius of last time.
    Miles->setFocus();
    Miles->selectAll();
}

double TNearbyRadius::miles() const {
    return Miles->value();
}

bool TNearbyRadius::standardOnly() const {
    return StandardOnly->isChecked();
}
