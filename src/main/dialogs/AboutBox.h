#pragma once

#include "main/widgets/ScaledDialog.h"

class QLabel;
class QPushButton;

class TAboutBox : public TScaledDialog {
    Q_OBJECT
public:
    TAboutBox(double scaleFactor, QSize screen, QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Credits;
    QPushButton* Button1;

protected:
    void FormShow() override;
};
