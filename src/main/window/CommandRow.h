#pragma once

#include "main/layout/Layout.h"

#include <QObject>

#include <vector>

class QCheckBox;
class QPushButton;
class QWidget;

// The row below the results list: copy, print and the choice of range selecting. The controls
// show, and take input, only while the list has output to give.
class CommandRow : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `client`, each taking its slot of the layout record.
    CommandRow(QWidget* client, std::vector<LayoutComponent>& components, QObject* parent);

    void setShown(bool shown);
    // The controls in the order the Tab key visits them.
    std::vector<QWidget*> tabStops() const;
    // The range choice may take the room its text needs up to the client area's right edge.
    void fitTexts(int clientWidth);

signals:
    void copyChosen();
    void printChosen();
    void rangeSelectingToggled(bool on);

private:
    QPushButton* ButtonCopy;
    QPushButton* ButtonPrint;
    QCheckBox* RangeSelect;
};
