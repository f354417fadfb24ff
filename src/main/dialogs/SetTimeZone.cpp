#include "main/dialogs/SetTimeZone.h"

#include "main/app/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TSetTimeZone::TSetTimeZone(corvana::Settings& settings,
                           std::span<const std::string_view> zoneChoices, double scaleFactor,
                           QSize screen, QWidget* parent)
    : TScaledDialog("Time Zone", QSize(375, 146), scaleFactor, screen, parent), settings_(settings),
      zoneChoices_(zoneChoices) {
    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setGeometry(8, 4, 361, 101);

    Label1 = new QLabel("Your Time Zone", this);
    Label1->setGeometry(16, 12, 345, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(Arial(20));

    TZone = new QComboBox(this);
    TZone->setGeometry(12, 44, 349, 27);
    TZone->setMaxVisibleItems(15);
    TZone->setAccessibleName(Label1->text());
    Label1->setBuddy(TZone);

    Daylight = new QCheckBox("Daylight Savings Time", this);
    Daylight->setGeometry(92, 76, 201, 21);

    OkButton = new QPushButton("&Ok", this);
    OkButton->setGeometry(100, 112, 85, 25);
    OkButton->setDefault(true);
    CancelButton = new QPushButton("&Cancel", this);
    CancelButton->setGeometry(200, 112, 85, 25);
    CancelButton->setAutoDefault(false);

    connect(OkButton, &QPushButton::clicked, this, &TSetTimeZone::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetTimeZone::FormShow() {
    TZone->clear();
    for (std::string_view zone : zoneChoices_)
        TZone->addItem(fromCore(std::string(zone)));
    const int zone = settings_.timeZone;
    TZone->setCurrentIndex(zone >= 0 && zone < TZone->count() ? zone : -1);
    Daylight->setChecked(settings_.daylightSavings);
}

void TSetTimeZone::OkButtonClick() {
    settings_.daylightSavings = Daylight->isChecked();
    settings_.timeZone = TZone->currentIndex(); // -1 when no zone is selected
    accept();
}
