#pragma once

// The map without a window: what it shows (the outlines, the listed ZIP codes as dots, outlined
// places, a circle), the view, drawing into any QPainter, and what lies under a pixel. A map
// window is a thin widget that forwards its size, paint, wheel, drag, key and hover events here.

#include "map/MapView.h"
#include "map/Outlines.h"

#include <QImage>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace corvana::map {

struct MapCanvasCache;

// One listed ZIP code. id is the caller's (its line in the list, say).
struct MapDot {
    GeoPoint at;
    int id = 0;
    bool selected = false;
};

// A centre and a radius, drawn as the circle of places at that distance on the WGS84 ellipsoid.
struct MapCircle {
    GeoPoint centre;
    double radiusKm = 0;
};

struct MapContent {
    std::vector<MapDot> dots;
    std::vector<int> states;   // FIPS codes of states to outline, e.g. 49 for Utah
    std::vector<int> counties; // FIPS codes of counties to outline, e.g. 49035
    std::optional<MapCircle> circle;
};

class MapCanvas {
public:
    // Margin in pixels around what a fitted view shows.
    static constexpr double FitMargin = 24;
    // How far from a dot's centre a pixel still points at it.
    static constexpr double HitRadius = 7;
    // Zoom factor of one "+" or "-", and of one notch of a mouse wheel.
    static constexpr double KeyZoom = 1.5;
    static constexpr double WheelZoom = 1.25;

    MapCanvas();
    ~MapCanvas();
    MapCanvas(const MapCanvas&) = delete;
    MapCanvas& operator=(const MapCanvas&) = delete;

    // The outlines as loaded; without them the dots are drawn alone, on a plain background,
    // with the load's message as a note. A fitted view is fitted again.
    void setOutlines(OutlineLoad load);
    const Outlines* outlines() const { return outlines_.get(); }
    // A second note, about the dots: "This data has no locations." Empty: none.
    void setDotsNote(QString note);
    // Both notes, one a line.
    const QString& note() const { return note_; }

    // A new list: its dots, places and circle. The view is fitted to them.
    void setContent(MapContent content);
    const MapContent& content() const { return content_; }
    // Marks the dots whose ids are given as selected, and no others. The view stays.
    void setSelection(std::span<const int> ids);

    // The picture's size in pixels; a fitted view stays fitted.
    void setSize(QSize size);
    QSize size() const { return size_; }
    MapView& view() { return view_; }
    const MapView& view() const { return view_; }
    // Fits the view to the dots, the circle and the outlined places; with none of them, to the
    // 48 contiguous states.
    void fitToContent();

    // Draws the map over the rectangle (0, 0, width, height) of the painter.
    void paint(QPainter& painter);
    // The map as an image of the present size, for the clipboard or a PNG.
    QImage image(qreal devicePixelRatio = 1.0);

    // The dot under the pixel: the nearest within HitRadius, the top one when two are as near
    // (selected dots lie on top). nullptr when there is none.
    const MapDot* dotAt(QPointF pixel);

    // Input forwarded from the window. "+" and "=" zoom in, "-" zooms out, the arrows move the
    // map by an eighth of its size, Home goes back to the fitted view; true when the key did
    // something. A wheel's angle delta of 120 is one notch; drag moves the place under `from`
    // to `to`.
    bool key(int qtKey);
    void wheel(QPointF pixel, QPoint angleDelta);
    void drag(QPointF from, QPointF to);

private:
    void projectDots();
    void prepareOutlines();
    void drawOutlines(QPainter& painter);
    void drawCircle(QPainter& painter);
    void drawDots(QPainter& painter);
    void drawNote(QPainter& painter);

    std::shared_ptr<const Outlines> outlines_;
    QString note_;
    QString outlinesNote_;
    QString dotsNote_;
    MapContent content_;
    std::vector<GeoPoint> circle_; // the circle's points around its centre
    QSize size_{640, 480};
    MapView view_;
    std::uint64_t placesRevision_ = 1; // of the outlines and the outlined places
    std::uint64_t dotsRevision_ = 1;
    std::unique_ptr<MapCanvasCache> cache_;
};

// The map's accessible description: "Map of 98 ZIP codes around Salt Lake City, UT".
// place may be empty; without outlines the description says so.
QString mapDescription(qsizetype dots, const QString& place, bool outlines = true);

} // namespace corvana::map
