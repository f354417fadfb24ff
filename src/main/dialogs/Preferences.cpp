#include "main/dialogs/Preferences.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

QFrame* RaisedFrame(QWidget* parent, int x, int y, int w, int h) {
    auto* f = new QFrame(parent);
    f->setFrameStyle(QFrame::Panel | QFrame::Raised);
    f->setGeometry(x, y, w, h);
    return f;
}

QLabel* Heading(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, 445, 25);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(TScaledDialog::Arial(20));
    return l;
}

QCheckBox* Check(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* c = new QCheckBox(text, parent);
    c->setGeometry(x, y, w, 21);
    return c;
}

QPushButton* Button(QWidget* parent, const QString& text, int x) {
    auto* b = new QPushButton(text, parent);
    b->setGeometry(x, 252, 89, 33);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TPreferences::TPreferences(corvana::Settings& settings, double scaleFactor, QSize screen,
                           HelpFn help, QWidget* parent)
    : TScaledDialog("Preferences", QSize(477, 292), scaleFactor, screen, parent),
      settings_(settings), help_(std::move(help)) {
    // Created in tab order; the frames first so that they lie under the controls.
    Bevel1 = RaisedFrame(this, 4, 8, 469, 101);
    Label1 = Heading(this, "Zip Code List Box", 16, 16);
    ShowCounty = Check(this, "Show County", 16, 48, 217);
    ShowArea = Check(this, "Show Area Code", 16, 76, 217);
    ShowTimeZone = Check(this, "Show Time Zone", 244, 48, 217);
    ShowCurrentTime = Check(this, "Show Current Time", 244, 76, 217);
    Bevel2 = RaisedFrame(this, 4, 116, 469, 129);
    Label2 = Heading(this, "Miscellaneous", 16, 124);
    CapCities = Check(this, "Show Cities in all Capital Letters", 16, 156, 445);
    CapCounties = Check(this, "Show Counties in all Capital Letters", 16, 184, 445);
    CapStates = Check(this, "Show Long State Names in all Capital Letters", 16, 212, 445);
    OkButton = Button(this, "&Ok", 92);
    CancelButton = Button(this, "&Cancel", 196);
    HelpButton = Button(this, "&Help", 300);
    OkButton->setDefault(true);

    connect(OkButton, &QPushButton::clicked, this, &TPreferences::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, &TPreferences::HelpButtonClick);
}

void TPreferences::FormShow() {
    ShowCounty->setChecked(settings_.showCounty);
    ShowArea->setChecked(settings_.showAreaCode);
    ShowTimeZone->setChecked(settings_.showTimeZone);
    ShowCurrentTime->setChecked(settings_.showCurrentTime);
    CapCities->setChecked(settings_.citiesInCaps);
    CapCounties->setChecked(settings_.countiesInCaps);
    CapStates->setChecked(settings_.statesInCaps);
    ShowCounty->setFocus();
}

void TPreferences::OkButtonClick() {
    settings_.showCounty = ShowCounty->isChecked();
    settings_.showAreaCode = ShowArea->isChecked();
    settings_.showTimeZone = ShowTimeZone->isChecked();
    settings_.showCurrentTime = ShowCurrentTime->isChecked();
    settings_.citiesInCaps = CapCities->isChecked();
    settings_.countiesInCaps = CapCounties->isChecked();
    settings_.statesInCaps = CapStates->isChecked();
    accept();
}

void TPreferences::HelpButtonClick() {
    if (help_)
        help_("Preferences");
}
