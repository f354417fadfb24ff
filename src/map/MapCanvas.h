#pragma once

// The map without a window: what it shows (the outlines, the listed ZIP codes as dots, outlined
// places, a circle), the view, drawing into any QPainter, and what lies under a pixel. A map
// window is a thin widget that forwards its size, paint, wheel, drag, key and hover events here.

#include "map/Labels.h"
#include "map/MapView.h"
#include "map/Outlines.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

class QPainter;
class QPalette;

namespace corvana::map {

struct MapCanvasCache;

// One listed ZIP code. id is the caller's (its line in the list, say). Dots at one point are
// drawn as one mark with their count.
struct MapDot {
    GeoPoint at;
    int id = 0;
    bool selected = false;
    std::string zip;     // shown beside the dot where there is room; empty: never
    bool noArea = false; // a ZIP code without an area of its own (a box, one address): hollow

    MapDot() = default;
    MapDot(GeoPoint at, int id, bool selected, std::string zip = {}, bool noArea = false)
        : at(at), id(id), selected(selected), zip(std::move(zip)), noArea(noArea) {}
};

// A centre and a radius, drawn as the circle of places at that distance on the WGS84 ellipsoid.
struct MapCircle {
    GeoPoint centre;
    double radiusKm = 0;
};

struct MapContent {
    std::vector<MapDot> dots;
    std::vector<int> states;     // FIPS codes of states to outline, e.g. 49 for Utah
    std::vector<int> counties;   // FIPS codes of counties to outline, e.g. 49035
    bool countiesListed = false; // the counties are a list's own lines: each is named
    std::optional<MapCircle> circle;
    std::vector<NamedPlace> places; // listed cities, named at the middle of their ZIP codes
};

// The colours of the map, from the desktop's palette: the land in its base colour, the water
// tinted with its highlight, lines and names in shades of its text colour.
struct MapColours {
    QColor water, plain, land, countyLine, stateLine, text, faintText, halo;

    static MapColours light();
    static MapColours fromPalette(const QPalette& palette);
    bool operator==(const MapColours&) const = default;
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

    void setColours(const MapColours& colours);
    const MapColours& colours() const { return colours_; }
    // The pixel size of the names' text, from which the other sizes follow; the window passes
    // its own, so that the map follows the window's scale.
    void setFontPixels(double pixels);
    double fontPixels() const { return fontPixels_; }

    // The picture's size in pixels; a fitted view stays fitted.
    void setSize(QSize size);
    QSize size() const { return size_; }
    MapView& view() { return view_; }
    const MapView& view() const { return view_; }
    // Fits the view to the dots, the circle and the outlined places; with none of them, to the
    // 48 contiguous states.
    void fitToContent();

    // Draws the map over the rectangle (0, 0, width, height) of the painter, with its names,
    // legend and scale bar.
    void paint(QPainter& painter);
    // The map under a title band (the list's heading), as one picture of titledSize().
    void paintTitled(QPainter& painter, const QString& title);
    QSizeF titledSize(const QString& title) const;
    // The map as an image of the present size, for the clipboard or a PNG; with a title, the
    // title band above it.
    QImage image(qreal devicePixelRatio = 1.0, const QString& title = {});

    // The dot under the pixel: of the nearest mark within its reach, the top one (selected dots
    // lie on top). nullptr when there is none.
    const MapDot* dotAt(QPointF pixel);
    // The ids of every dot of that mark, in the content's order; empty when there is none.
    std::vector<int> markAt(QPointF pixel);

    // The names as last placed (for tests and the bench), placing them now if the view or the
    // content changed.
    struct Label {
        LabelKind kind;
        QString text;
        QRectF box;
    };
    const std::vector<Label>& labels();
    // What the legend and the scale bar say, for a screen reader, and where they lie.
    QString legendText() const;
    QString scaleBarText() const;
    QRectF legendRect() const;
    QRectF scaleBarRect() const;

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
    void drawLabels(QPainter& painter);
    void drawLegend(QPainter& painter);
    void drawScaleBar(QPainter& painter);
    void prepareLabels();
    const MapDot& topDot(std::size_t mark) const;
    double markRadius(std::size_t mark) const;
    bool markHollow(std::size_t mark) const;
    struct LegendEntry;
    std::vector<LegendEntry> legendEntries() const;

    std::shared_ptr<const Outlines> outlines_;
    QString note_;
    QString outlinesNote_;
    QString dotsNote_;
    MapContent content_;
    std::vector<std::vector<std::size_t>> marks_; // the dots of each point, from StackPoints
    MapColours colours_ = MapColours::light();
    double fontPixels_ = 12;
    std::uint64_t styleRevision_ = 1; // of the colours and fonts
    std::vector<GeoPoint> circle_;    // the circle's points around its centre
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
