#pragma once

#include "main/widgets/ScaledDialog.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class Messages;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QPushButton;

// Asks how far around a ZIP code to list its neighbours: a radius in miles, 0.1 to 3,000, or the
// number of people the circle is to reach, and whether to leave out the ZIP codes without an
// area (post-office boxes, single addresses). The unit beside the field chooses which.
class TNearbyRadius : public TScaledDialog {
    Q_OBJECT
public:
    // `kindsKnown`: the data says which ZIP codes have an area; otherwise the box is off.
    // `peopleOff`: why the data cannot count people (no PEOPLE.DAT, or a damaged one), which
    // turns the unit off; empty when it can.
    TNearbyRadius(const QString& zipCode, double miles, double scaleFactor, QSize screen,
                  Messages& messages, QWidget* parent = nullptr, bool standardOnly = false,
                  bool kindsKnown = false, const QString& peopleOff = {});

    static constexpr double MinMiles = 0.1;
    static constexpr double MaxMiles = 3000;
    static constexpr int MaxPeople = 999'999'999;

    // The circle by the number of people it reaches instead of by its radius, starting with
    // `people` in the field.
    void setByPeople(bool byPeople, int people);

    // The radius as the field holds it.
    double miles() const;
    bool standardOnly() const;
    // The number of people to reach; nothing when the circle is by radius.
    std::optional<int> people() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QDoubleSpinBox* Miles;
    QSpinBox* People; // in Miles' place when the unit is people
    QComboBox* Unit;  // "miles" or "people to reach"
    QCheckBox* StandardOnly;
    QPushButton* OkButton;
    QPushButton* CancelButton;

public slots:
    // Closes only on a radius within the range; any other says so and stays open.
    void accept() override;

protected:
    void FormShow() override;

private:
    void UnitChange();

    Messages& messages_;
    QString zipCode_;
};
