#pragma once

// Boxes of longitude and latitude of them that may reach across the 180th meridian.

#include "geo/GeoPoint.h"

#include <span>
#include <utility>

namespace corvana::map {

using geo::GeoPoint;

// lon moved by whole turns into [-180, 180).
double wrapLongitude(double lon);

// A box of longitude and latitude. The longitudes run eastwards from west to east, and east
// may lie past 180 (a box across the 180th meridian: the Aleutians from 172 E to 130 W are
// west 172, east 230). An empty box has west > east.
struct GeoBox {
    double west = 1;
    double east = 0;
    double south = 1;
    double north = 0;

    bool empty() const { return west > east || south > north; }
    double width() const { return empty() ? 0 : east - west; }
    double height() const { return empty() ? 0 : north - south; }
    GeoPoint centre() const { return {(south + north) / 2, wrapLongitude((west + east) / 2)}; }

    // Whether the point lies inside, at any turn of its longitude.
    bool contains(GeoPoint p) const;

    // The smallest box that holds all the points: its longitudes are the shortest stretch
    // around the globe that holds them, so points on both sides of the 180th meridian give a
    // narrow box across it.
    static GeoBox around(std::span<const GeoPoint> points);
    // The smallest box that holds all the boxes, in the same way.
    static GeoBox around(std::span<const GeoBox> boxes);
};

} // namespace corvana::map
