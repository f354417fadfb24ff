#pragma once

#include "main/widgets/ScaledDialog.h"
#include "settings/Settings.h"

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// Edits the seven display settings. OK copies the check boxes into the settings; Cancel and
// the frame's close button leave them untouched.
class TPreferences : public TScaledDialog {
    Q_OBJECT
public:
    // help opens the help file at a keyword.
    using HelpFn = std::function<void(const QString& keyword)>;

    TPreferences(corvana::Settings& settings, double scaleFactor, QSize screen, HelpFn help,
                 QWidget* parent = nullptr);

    QFrame* Bevel1;
    QLabel* Label1;
    QCheckBox* ShowCounty;
    QCheckBox* ShowArea;
    QCheckBox* ShowTimeZone;
    QCheckBox* ShowCurrentTime;
    QFrame* Bevel2;
    QLabel* Label2;
    QCheckBox* CapCities;
    QCheckBox* CapCounties;
    QCheckBox* CapStates;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;

protected:
    void FormShow() override;

private:
    void OkButtonClick();
    void HelpButtonClick();

    corvana::Settings& settings_;
    HelpFn help_;
};
