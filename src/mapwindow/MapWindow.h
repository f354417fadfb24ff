#pragma once

// The map window: a thin widget over the map library that follows the main window's results
// list. It draws the listed ZIP codes as dots and the listed places outlined, selects a line
// when its dot is clicked and marks the dots of the selected lines. The main window creates it
// when the map is first asked for; nothing of it runs before.

#include "data/People.h"
#include "data/ZipFacts.h"
#include "geo/Points.h"
#include "map/ListMap.h"
#include "map/MapCanvas.h"
#include "output/ResultLines.h"
#include "search/Search.h"
#include "settings/MapSettings.h"

#include <QMainWindow>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QPrinter;

// What the map follows: the main window's list and what stands behind its lines. The map only
// reads the list; a click on a mark asks the window to select its lines (linesClicked).
struct MapSource {
    const corvana::ResultLines* lines = nullptr;
    const corvana::DataSet* data = nullptr;
    std::function<std::optional<corvana::NearbyCentre>()> nearby;
    // The heading over the list, which names what it holds.
    std::function<QString()> heading;
    // The pixel size of the list's text: the map's labels follow it.
    std::function<int()> textPixels;
    // The locations, read on first use.
    std::function<const corvana::geo::PointsLoad&()> points;
    QSize screen;
    // Puts a window's frame at a corner, even before the window manager has framed it; without
    // it the window is moved there as the window system places frames.
    std::function<void(QWidget& window, QPoint corner)> placeFrame;
};

// The map as a widget: size, paint, wheel, drag, keys and hover go to the canvas. The legend
// and the scale bar, which the canvas draws, have widgets of their own over them that say what
// they show to a screen reader.
class TMapView : public QWidget {
    Q_OBJECT
public:
    explicit TMapView(QWidget* parent = nullptr);
    corvana::map::MapCanvas& canvas() { return canvas_; }
    // The text under a dot's tooltip: the line it stands for.
    std::function<QString(int id)> dotText;
    // The tooltip of a mark: its lines, the first ten of them and how many more.
    QString markText(const std::vector<int>& ids) const;
    // The legend's and the scale bar's stand-ins, placed and described as last drawn.
    QWidget* legend() const { return legend_; }
    QWidget* scaleBar() const { return scaleBar_; }
    void describeOverlays();

signals:
    // A click on a mark: the ids of all its dots.
    void markClicked(const QList<int>& ids, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    // Tab leaves the map for the main window: the map is the only control of its window.
    bool focusNextPrevChild(bool next) override;

private:
    corvana::map::MapCanvas canvas_;
    QWidget* legend_;
    QWidget* scaleBar_;
    std::optional<QPointF> pressed_;
    QPointF last_;
    bool dragged_ = false;
};

class TMapWin : public QMainWindow {
    Q_OBJECT
public:
    // Reads the outlines of the data directory and places itself as the settings say, or
    // beside its parent, the main window.
    TMapWin(MapSource source, const corvana::MapSettings& settings, QWidget* parent);

    // A new list: its dots, places and circle, the view fitted to them. A hidden window does
    // this when it is next shown.
    void follow();
    // The list's selection: the selected lines' dots are marked.
    void followSelection();
    // The window's place and size, as the settings keep them; open as given.
    corvana::MapSettings placement(bool open) const;

    TMapView* view() const { return view_; }
    QString description() const;

    // The picture as copied, saved and printed: the map under the list's heading, with its
    // legend and scale bar.
    QImage titledImage() const;
    QString heading() const;
    // Where Save Image starts: the last folder an image went to, else the user's pictures
    // folder, else home; and the file name it suggests, from the heading.
    QString imageFolder() const;
    QString suggestedImageName() const;
    // Draws the titled map fitted to the printer's page.
    void printTo(QPrinter& printer) const;

    void MenuCopyImageClick();
    void MenuSaveImageClick();
    void MenuPrintMapClick();
    // From the selected line's mark to the next (1) or previous (-1) mark, or to the next line
    // of a mark of several (0): the line is chosen in the list, its mark shown, and the map's
    // description says which mark it is, for a screen reader.
    void stepMark(int step);

signals:
    // The window was closed (the menu's check mark follows).
    void closed();
    // A click on a mark: the rows of its lines, for the list to select.
    void linesClicked(const QList<int>& rows, Qt::KeyboardModifiers modifiers);
    // A step through the marks from the keyboard: the row to select alone.
    void lineStepped(int row);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Follows the main window's moves and size changes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void place(const corvana::MapSettings& settings);
    void placeBeside();
    // Puts the frame at `frame`: its corner and its size with the title bar and borders.
    void setPlace(const QRect& frame);
    QMargins frameExtents() const;
    void followStyle();

    MapSource source_;
    // The ZIP codes' kinds, read when the map first shows a ZIP code.
    std::unique_ptr<corvana::LazyFacts> facts_;
    TMapView* view_;
    corvana::map::ListMap map_;
    bool stale_ = true;
    // Where the map was last put; a move elsewhere is the user's, and then it stays there.
    QPoint placedAt_;
    bool besideMain_ = false; // placed beside the main window, not as the settings said
    bool userMoved_ = false;
    QRect mainSeen_;          // the main window's frame as last followed
    std::string imageFolder_; // the last folder Save Image wrote to
    QAction* MenuCopyImage;
    QAction* MenuSaveImage;
    QAction* MenuPrintMap;
    QAction* MenuClose;
    QAction* MenuZoomIn;
    QAction* MenuZoomOut;
    QAction* MenuFittedView;
    QAction* MenuNextMark;
    QAction* MenuPreviousMark;
    QAction* MenuNextLineOfMark;
    QAction* MenuSizeByPopulation;
    // PEOPLE.DAT, read when the window is made; without it the dots keep their size.
    corvana::PeopleLoad people_;
    bool sizeByPopulation_ = false; // as the settings keep it, whether or not there are figures
};

// A window's rectangle moved and cut so that it lies on the screen, at least minimum large.
QRect ClampToScreen(QRect rect, QSize screen, QSize minimum);

// How far a window's frame reaches beyond its client area on each side; none while the window
// is not framed.
QMargins FrameMargins(const QWidget& window);
