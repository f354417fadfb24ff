#pragma once

#include "main/widgets/ScaledDialog.h"

class QCheckBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QPushButton;

// Asks how far around a ZIP code to list its neighbours: a radius in miles, 0.1 to 3,000, and
// whether to leave out the ZIP codes without an area (post-office boxes, single addresses).
class TNearbyRadius : public TScaledDialog {
    Q_OBJECT
public:
    // `kindsKnown`: the data says which ZIP codes have an area; otherwise the box is off.
    TNearbyRadius(const QString& zipCode, double miles, double scaleFactor, QSize screen,
                  QWidget* parent = nullptr, bool standardOnly = false, bool kindsKnown = false);

    // The radius as the field holds it.
    double miles() const;
    bool standardOnly() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QDoubleSpinBox* Miles;
    QCheckBox* StandardOnly;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void FormShow() override;
};
