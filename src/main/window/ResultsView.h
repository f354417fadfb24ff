#pragma once

#include "main/layout/Layout.h"
#include "output/ResultLines.h"
#include "search/Search.h"

#include <QList>
#include <QObject>
#include <QPoint>

#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QWidget;

// The results: the heading, the list of lines with the typed items behind them, the selection
// and the list's own menu. Copy, print and the map read the lines through ResultLines.
class ResultsView : public QObject, public corvana::ResultLines {
    Q_OBJECT
public:
    // Builds the list and its heading on `client`, each taking its slot of the layout record.
    ResultsView(QWidget* client, std::vector<LayoutComponent>& components, QObject* parent);

    // The list shows and takes input, or neither.
    void setListShown(bool shown);
    bool listShown() const;
    void setHeadingShown(bool shown);
    // The heading, which is also the list's name for assistive technology.
    void setHeading(const QString& heading);
    void clearHeading();
    // Replaces the lines; the items come in the list's order.
    void showItems(std::vector<corvana::ResultItem> items);
    const std::vector<corvana::ResultItem>& items() const override { return items_; }
    bool isSelected(std::size_t row) const override;
    std::vector<std::size_t> selectedRows() const override;
    bool shown() const override { return listShown(); }
    QString heading() const;
    // The pixel size of the lines' text, which the window size scales.
    int textPixels() const;
    // The lines of a mark on the map were clicked: they are selected as a click on them in the
    // list would select them, and the first of them scrolled into view.
    void clickLines(const QList<int>& rows, Qt::KeyboardModifiers modifiers);
    // The line a step through the map's marks came to: selected alone, current, in view.
    void chooseLine(int row);
    // Whether any line is a ZIP record.
    bool hasRecords() const;
    // While the list's own menu is open, the ZIP line it was opened on; otherwise the first
    // selected ZIP line, else the first ZIP line. Null when there is none.
    const corvana::ResultItem* chosenRecord() const;
    // The current line when it is a ZIP line, else chosenRecord().
    const corvana::ResultItem* currentRecord() const;
    // A click selects a range from the last click (on) or toggles one line (off).
    void setRangeSelecting(bool on);
    void setItemHeight(int height);
    // The commands of the list's menu, a null one for a separator; none: no menu.
    void setMenuCommands(std::vector<QAction*> commands);
    QListWidget* list() const { return AnswerBox; }
    QWidget* tabStop() const;
    // Lets `filter` see the list's keys.
    void watchKeys(QObject* filter);

signals:
    // Enter or a double click on a line.
    void lineOpened();
    // The current line or the selection changed.
    void lineChosen();
    // The selection changed.
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The list's own menu at `at` (global), its commands acting on `row` (-1: none in
    // particular).
    void showMenu(QPoint at, int row);
    // The whole text of the line at `at` (in the list's viewport) when the list cuts it short, as
    // a nearby line's distance at the list's edge; empty when it shows whole or there is none.
    QString cutLineAt(QPoint at) const;
    // The list, taking the focus from the keyboard, has a current line in sight.
    void showCurrentItem();

    QListWidget* AnswerBox;
    QWidget* answerViewport_ = nullptr; // AnswerBox's viewport, whose tooltips show cut lines
    QLabel* AnswerBoxLabel;
    std::vector<corvana::ResultItem> items_;
    std::vector<QAction*> menuCommands_;
    int menuRow_ = -1;
};
