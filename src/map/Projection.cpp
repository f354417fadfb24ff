#include "map/Projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvana::map {

GeoPoint Projection::toGeo(double px, double py) const {
    return {centre.latitude + (height / 2 - py) / scale,
            wrapLongitude(centre.longitude + (px - width / 2) / xScale)};
}

GeoBox Projection::visible() const {
    const double halfWidth = std::min(width / 2 / xScale, 180.0);
    const double halfHeight = height / 2 / scale;
    return {centre.longitude - halfWidth, centre.longitude + halfWidth,
            centre.latitude - halfHeight, centre.latitude + halfHeight};
}

double Projection::pixelsPerKm() const {
    // The length of a degree of latitude on the WGS84 ellipsoid at the centre.
    const double phi = centre.latitude * std::numbers::pi / 180.0;
    const double metres = 111132.954 - 559.822 * std::cos(2 * phi) + 1.175 * std::cos(4 * phi);
    return scale * 1000.0 / metres;
}

} // namespace corvana::map
