#pragma once

#include "geo/GeoPoint.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

// The latitude and longitude box around every point within `angle` radians of a centre on the
// sphere of the same latitudes and longitudes: one band of latitudes, and one or two ranges of
// longitude (two where the box crosses the 180th meridian, one of -180 to 180 where it takes
// in a pole).
struct SphereBox {
    double south = -90, north = 90;
    std::vector<std::pair<double, double>> longitudes;
};

inline SphereBox BoxAround(corvana::geo::GeoPoint c, double angle) {
    constexpr double Deg = 180 / std::numbers::pi;
    SphereBox box;
    const double reach = angle * Deg;
    box.south = std::max(-90.0, c.latitude - reach);
    box.north = std::min(90.0, c.latitude + reach);
    const double cosLat = std::cos(c.latitude / Deg);
    if (box.south <= -90 || box.north >= 90 || std::sin(angle) >= cosLat || angle >= 1.5) {
        box.longitudes = {{-180, 180}};
        return box;
    }
    // The widest longitude on a small circle of the sphere; a little more for rounding.
    const double half = std::asin(std::sin(angle) / cosLat) * Deg * (1 + 1e-9) + 1e-9;
    const double west = c.longitude - half, east = c.longitude + half;
    if (west < -180)
        box.longitudes = {{west + 360, 180}, {-180, east}};
    else if (east > 180)
        box.longitudes = {{west, 180}, {-180, east - 360}};
    else
        box.longitudes = {{west, east}};
    return box;
}
