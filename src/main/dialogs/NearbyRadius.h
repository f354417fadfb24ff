#pragma once

#include "main/widgets/ScaledDialog.h"

class QDoubleSpinBox;
class QFrame;
class QLabel;
class QPushButton;

// Asks how far around a ZIP code to list its neighbours: a radius in miles, 0.1 to 3,000.
class TNearbyRadius : public TScaledDialog {
    Q_OBJECT
public:
    TNearbyRadius(const QString& zipCode, double miles, double scaleFactor, QSize screen,
                  QWidget* parent = nullptr);

    // The radius as the field holds it.
    double miles() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QDoubleSpinBox* Miles;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void FormShow() override;
};
