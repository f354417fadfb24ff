#pragma once

// What lies over the map rather than on it, each an item with its own rectangle: the legend at
// the top left, the scale bar at the bottom right (each moved to another corner where it would
// hide a mark), the note at the bottom left and, over a picture for the clipboard, a file or
// the printer, the title band.

#include "map/Labels.h"
#include "map/MapState.h"

#include <QRectF>
#include <QString>

#include <span>
#include <vector>

class QPainter;

namespace corvana::map {

// What the map draws, and only that, each with its symbol.
class Legend {
public:
    explicit Legend(const MapState& s);
    // Empty when there is nothing to explain.
    QRectF rect() const { return rect_; }
    void moveTo(QPointF topLeft) { rect_.moveTopLeft(topLeft); }
    // Drawn only when it takes at most half the picture each way.
    void draw(QPainter& painter, const MapState& s) const;
    // "ZIP code: blue dot; Selected: red dot", for a screen reader.
    QString text() const;

private:
    struct Entry {
        enum Symbol { Dot, Selected, Stack, Hollow, Circle, Area, People } symbol;
        QString text;
    };
    void drawSymbol(QPainter& painter, const MapState& s, Entry::Symbol symbol, QPointF at) const;

    std::vector<Entry> entries_;
    QRectF rect_;
};

// The lengths of a round number of miles and of kilometres at the view's centre.
class ScaleBarItem {
public:
    // At the bottom right of a picture of that size; the bar's longest length follows the
    // view's width.
    ScaleBarItem(const Projection& view, double fontPixels, QSize size);
    // Empty when the view has no scale.
    QRectF rect() const { return rect_; }
    void moveTo(QPointF topLeft) { rect_.moveTopLeft(topLeft); }
    // Drawn only when it fits across the picture.
    void draw(QPainter& painter, const MapState& s) const;
    // "Scale: the upper bar is 50 mi, the lower 100 km", for a screen reader.
    QString text() const;

private:
    ScaleBar bar_;
    double fontPixels_;
    QSize size_;
    QRectF rect_;
};

// Where the legend and the scale bar lie: the legend at the first of the top left, top right,
// bottom left and bottom right corners where it hides no mark, the scale bar at the first of
// the bottom right, bottom left, top right and top left where it hides no mark and not the
// legend; where every corner hides one, at the corner that hides fewest, and hides is set.
// Empty sizes stay empty.
struct OverlayPlaces {
    QRectF legend, scaleBar;
    bool hides = false;
};
OverlayPlaces PlaceOverlays(QSizeF legend, QSizeF scaleBar, QSize picture,
                            std::span<const DotMark> marks);

// A note at the bottom left, over the scale bar: why the outlines or the dots are missing.
void drawNote(QPainter& painter, const QString& note, QSize size);

// A picture's title (the list's heading) in a band above a map of the given size, cut short to
// its width.
class TitleBand {
public:
    TitleBand(QString title, double fontPixels, QSize map);
    // The band's height, 0 for no title, and that of the band and the map together.
    double height() const { return height_; }
    double pictureHeight() const { return picture_; }
    void draw(QPainter& painter, const MapColours& colours) const;

private:
    QString title_;
    double fontPixels_;
    QSize map_;
    double picture_ = 0;
    double height_ = 0;
};

} // namespace corvana::map
