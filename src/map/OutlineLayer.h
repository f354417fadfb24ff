#pragma once

// The land, the county and state lines and the listed areas, projected for one view and kept
// until the view or the listed areas change.

#include "map/MapState.h"

#include <QPainterPath>
#include <QPointF>

#include <cstdint>
#include <limits>
#include <vector>

class QPainter;

namespace corvana::map {

// Closed polygons, their points one after the other.
struct Polygons {
    std::vector<QPointF> points;
    std::vector<int> sizes;

    void clear() {
        points.clear();
        sizes.clear();
    }
};

// The copy of a box (west, width) nearest the view's centre, in longitudes relative to it, and
// whether that copy lies in view with pad pixels to spare.
struct BoxInView {
    double base = 0; // relative longitude of the box's west
    bool inView = false;
};
BoxInView placeBox(const Projection& view, const GeoBox& box, double pad);

class OutlineLayer {
public:
    // Draws the outlines of s (which has some) in s's view.
    void draw(QPainter& painter, const MapState& s);

private:
    friend class ArcProjector;
    static constexpr std::uint32_t Unprojected = std::numeric_limits<std::uint32_t>::max();

    void prepare(const MapState& s);

    // Every arc in view projected once and thinned to the pixel, and the paths built of them.
    const Outlines* outlines_ = nullptr;
    std::uint64_t view_ = 0;
    std::uint64_t places_ = 0; // the outlined places' revision
    std::vector<QPointF> points_;
    std::vector<std::uint32_t> first_; // per arc: where its points start, or Unprojected
    std::vector<std::uint32_t> count_;
    Polygons land_;
    Polygons areaRings_; // the outlined places' rings, as the areas path holds them
    QPainterPath countyLines_, stateLines_, areas_;
};

} // namespace corvana::map
