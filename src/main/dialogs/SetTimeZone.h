#pragma once

#include "main/widgets/ScaledDialog.h"
#include "settings/Settings.h"

#include <span>
#include <string_view>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

// Edits the user's own time zone and daylight-saving switch. The zone list is given by the
// caller (the program's zone choices); the selected position is the zone number.
class TSetTimeZone : public TScaledDialog {
    Q_OBJECT
public:
    TSetTimeZone(corvana::Settings& settings, std::span<const std::string_view> zoneChoices,
                 double scaleFactor, QSize screen, QWidget* parent = nullptr);

    QFrame* Bevel1;
    QLabel* Label1;
    QComboBox* TZone;
    QCheckBox* Daylight;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void FormShow() override;

private:
    void OkButtonClick();

    corvana::Settings& settings_;
    std::span<const std::string_view> zoneChoices_;
};
