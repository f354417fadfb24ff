#pragma once

// The map without a window: what it shows (the outlines, the listed ZIP codes as dots, outlined
// places, a circle), the view, drawing into any QPainter, and what lies under a pixel. A map
// window is a thin widget that forwards its size, paint, wheel, drag, key and hover events here.

#include "map/LabelLayer.h"
#include "map/MapContent.h"
#include "map/MapStyle.h"
#include "map/MapView.h"
#include "map/Outlines.h"

#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace corvana::map {

class OutlineLayer;
class MarkLayer;
struct MapState;
struct OverlayPlaces;

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

    // The marks in the content's order, each the indices of the dots at one point.
    const Marks& marks() const { return marks_; }
    // A step through the marks from the mark of the dot with id `from` (none: before the first
    // mark): the first dot of the next (step 1) or previous (step -1) mark, round the end, or
    // the next dot of the same mark (step 0); the dot's id, -1 when there are no marks.
    int stepMark(std::optional<int> from, int step) const;
    // Which mark the dot with that id is of, and which of that mark's dots: "Mark 3 of 40, ZIP
    // code 2 of 5 at this point"; empty when it is none of them.
    QString markPosition(int id) const;
    // Moves the view, if need be, so that the dot with that id lies in view, away from the
    // edges and the overlays.
    void showDot(int id);

    // The names as last placed (for tests and the bench), placing them now if the view or the
    // content changed.
    using Label = MapLabel;
    const std::vector<Label>& labels();
    // What the legend and the scale bar say, for a screen reader, and where they lie: each in
    // a corner where it hides no mark (PlaceOverlays).
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
    MapState state() const;
    // Where the legend and the scale bar lie in the present view, found again when the view,
    // the dots, the size or the style changed.
    const OverlayPlaces& overlayPlaces() const;
    void projectDots();
    void prepareLabels();
    const MapDot& topDot(std::size_t mark) const;

    std::shared_ptr<const Outlines> outlines_;
    QString note_;
    QString outlinesNote_;
    QString dotsNote_;
    MapContent content_;
    Marks marks_; // the dots of each point, from StackPoints
    MapColours colours_ = MapColours::light();
    double fontPixels_ = 12;
    std::uint64_t styleRevision_ = 1; // of the colours and fonts
    std::vector<GeoPoint> circle_;    // the circle's points around its centre
    QSize size_{640, 480};
    MapView view_;
    std::uint64_t placesRevision_ = 1; // of the outlines and the outlined places
    std::uint64_t dotsRevision_ = 1;
    // Each kept until what it draws changes. Drawn in this order, then the overlays.
    std::unique_ptr<OutlineLayer> outlineLayer_;
    std::unique_ptr<MarkLayer> markLayer_;
    std::unique_ptr<LabelLayer> labelLayer_;
    mutable std::unique_ptr<OverlayPlaces> overlays_;
    mutable std::uint64_t overlaysView_ = 0, overlaysDots_ = 0, overlaysStyle_ = 0,
                          overlaysPlaces_ = 0;
    mutable QSize overlaysSize_;
};

// The map's accessible description: "Map of 98 ZIP codes around Salt Lake City, UT".
// place may be empty; without outlines the description says so.
QString mapDescription(qsizetype dots, const QString& place, bool outlines = true);

} // namespace corvana::map
