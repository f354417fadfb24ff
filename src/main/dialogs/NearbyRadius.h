#pragma once

#include "main/widgets/ScaledDialog.h"

class QCheckBox;
class Messages;
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
                  Messages& messages, QWidget* parent = nullptr, bool standardOnly = false,
                  bool kindsKnown = false);

    static constexpr double MinMiles = 0.1;
    static constexpr double MaxMiles = 3000;

    // The radius as the field holds it.
    double miles() const;
    bool standardOnly() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QDoubleSpinBox* Miles;
    QCheckBox* StandardOnly;
    QPushButton* OkButton;
    QPushButton* CancelButton;

public slots:
    // Closes only on a radius within the range; any other says so and stays open.
    void accept() override;

protected:
    void FormShow() override;

private:
    Messages& messages_;
};
