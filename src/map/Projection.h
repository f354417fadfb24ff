#pragma once

// Where places land in a picture of some size in pixels: the map's one projection, which the
// view moves, the drawing projects the outlines and dots by, and the names are placed in.
//
// Places are drawn where they are: Alaska, Hawaii and the territories are not moved into
// insets. Longitude is scaled by the cosine of the latitude at the centre (xScale), so a state
// at that latitude keeps its shape, and longitudes are taken relative to the centre's, so the
// Aleutians on both sides of the 180th meridian, and Guam, lie next to the rest of the country
// when it is in view.

#include "map/Geo.h"

namespace corvana::map {

struct Projection {
    GeoPoint centre;
    double scale = 1;  // pixels per degree of latitude
    double xScale = 1; // pixels per degree of longitude
    double width = 0;  // of the picture, in pixels
    double height = 0;

    // Longitude relative to the centre's, in [-180, 180).
    double relativeLon(double lon) const { return wrapLongitude(lon - centre.longitude); }
    // The x of a relative longitude, and the y of a latitude.
    double xOf(double relLon) const { return width / 2 + relLon * xScale; }
    double yOf(double lat) const { return height / 2 - (lat - centre.latitude) * scale; }
    double x(double longitude) const { return xOf(relativeLon(longitude)); }
    double y(double latitude) const { return yOf(latitude); }
    // The place under a pixel.
    GeoPoint toGeo(double px, double py) const;

    // The part of the globe in view; its longitudes run from centre - half to centre + half,
    // at most the whole way round.
    GeoBox visible() const;
    // Pixels per kilometre at the centre, where the scale bar measures.
    double pixelsPerKm() const;
};

} // namespace corvana::map
