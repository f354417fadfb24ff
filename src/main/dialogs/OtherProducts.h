#pragma once

#include "main/widgets/ScaledDialog.h"

class QLabel;
class QPushButton;

// The information box of "Other Products": the program's two companion tools, what each does
// and one example of each.
class TOtherProducts : public TScaledDialog {
    Q_OBJECT
public:
    TOtherProducts(double scaleFactor, QSize screen, QWidget* parent = nullptr);

    QLabel* Heading;
    QLabel* QueryName;
    QLabel* QueryText;
    QLabel* QueryExample;
    QLabel* MkdataName;
    QLabel* MkdataText;
    QLabel* MkdataExample;
    QPushButton* OkButton;
};
