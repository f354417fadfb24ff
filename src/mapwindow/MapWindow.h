#pragma once

// The map window: a thin widget over the map library that follows the main window's results
// list. It draws the listed ZIP codes as dots and the listed places outlined, selects a line
// when its dot is clicked and marks the dots of the selected lines. The main window creates it
// when the map is first asked for; nothing of it runs before.

#include "geo/Points.h"
#include "map/ListMap.h"
#include "map/MapCanvas.h"
#include "search/Search.h"
#include "settings/MapSettings.h"

#include <QMainWindow>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QListWidget;

// What the map follows: the main window's list and what stands behind its lines.
struct MapSource {
    QListWidget* list = nullptr;
    const corvana::DataSet* data = nullptr;
    std::function<const std::vector<corvana::ResultItem>&()> items;
    std::function<std::optional<corvana::NearbyCentre>()> nearby;
    // The locations, read on first use.
    std::function<const corvana::geo::PointsLoad&()> points;
    QSize screen;
};

// The map as a widget: size, paint, wheel, drag, keys and hover go to the canvas.
class TMapView : public QWidget {
    Q_OBJECT
public:
    explicit TMapView(QWidget* parent = nullptr);
    corvana::map::MapCanvas& canvas() { return canvas_; }
    // The text under a dot's tooltip: the line it stands for.
    std::function<QString(int id)> dotText;

signals:
    void dotClicked(int id, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    corvana::map::MapCanvas canvas_;
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

    void MenuCopyImageClick();
    void MenuSaveImageClick();

signals:
    // The window was closed (the menu's check mark follows).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createMenus();
    void place(const corvana::MapSettings& settings);
    void selectLine(int row, Qt::KeyboardModifiers modifiers);

    MapSource source_;
    TMapView* view_;
    corvana::map::ListMap map_;
    bool stale_ = true;
    QAction* MenuCopyImage;
    QAction* MenuSaveImage;
    QAction* MenuClose;
    QAction* MenuZoomIn;
    QAction* MenuZoomOut;
    QAction* MenuFittedView;
};

// A window's rectangle moved and cut so that it lies on the screen, at least minimum large.
QRect ClampToScreen(QRect rect, QSize screen, QSize minimum);
