#pragma once

// The listed ZIP codes as marks (a dot, or a disc with the count of the dots at one point) and
// a nearby list's circle: their pixels for one view, kept until the view, the dots or the
// selection change, and their drawing.

#include "map/MapState.h"

#include <QImage>
#include <QPointF>

#include <cstdint>
#include <vector>

class QPainter;

namespace corvana::map {

// The dot a mark stands for when one is wanted: its last selected dot, else its last one, as
// the dots were drawn one over the other before.
const MapDot& TopDot(const MapContent& content, const std::vector<std::size_t>& mark);
// A mark is hollow when none of its ZIP codes has an area: one with an area fills it.
bool MarkHollow(const MapContent& content, const std::vector<std::size_t>& mark);
// The radius of a dot sized by its people: its area grows with them, from the plain dot's size
// for the smallest places to PeopleFullRadius at PeopleFull people and beyond.
inline constexpr double PeopleFull = 100000;
inline constexpr double PeopleFullRadius = 16;
double PeopleRadius(std::uint32_t people);
// A mark's radius in pixels; a mark of several dots is a disc large enough for its count, and
// a dot sized by its people as large as PeopleRadius gives.
double MarkRadius(const MapContent& content, const std::vector<std::size_t>& mark,
                  double fontPixels);

class MarkLayer {
public:
    // Projects the marks and the circle when the view or the dots changed since.
    void project(const MapState& s);
    // Of the last projection: each mark's pixel, and the order the marks are drawn in (those
    // with a selected dot last, on top).
    const std::vector<QPointF>& pixels() const { return dots_; }
    const std::vector<std::size_t>& order() const { return order_; }

    // Both draw what the last projection gave.
    void drawCircle(QPainter& painter, const MapState& s) const;
    void drawMarks(QPainter& painter, const MapState& s);

private:
    void makeSprites(qreal ratio, const MapState& s);

    std::vector<QPointF> dots_;      // pixel of each mark, in the marks' order
    std::vector<std::size_t> order_; // the order in which the marks are drawn
    std::vector<QPointF> circle_;
    std::uint64_t view_ = 0, dotsRevision_ = 0;
    QImage sprites_[2][2]; // [selected][hollow]
    qreal spriteRatio_ = 0;
    std::uint64_t spriteStyle_ = 0;
};

} // namespace corvana::map
