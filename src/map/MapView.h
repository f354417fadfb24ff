#pragma once

// What part of the globe a map of some size in pixels shows, and where a place lands on it.
//
// The projection draws places where they are: Alaska, Hawaii and the territories are not moved
// into insets. Longitude is scaled by the cosine of the latitude at the view's centre, so a
// state at that latitude keeps its shape, and longitudes are taken relative to the centre's, so
// the Aleutians on both sides of the 180th meridian, and Guam, lie next to the rest of the
// country when it is in view.

#include "map/Geo.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <optional>

namespace corvana::map {

class MapView {
public:
    // Pixels per degree of latitude, from the whole globe in a small window to about 14 m a
    // pixel (the outlines are drawn at 1:10,000,000: closer shows nothing more).
    static constexpr double MinScale = 0.5;
    static constexpr double MaxScale = 8000.0;
    // A fitted view shows at least this many degrees of latitude, about 33 km: one ZIP code
    // alone, or a few in one town, still shows the country around them.
    static constexpr double MinExtent = 0.3;
    static constexpr double MaxCentreLat = 80.0;

    // The size of the picture in pixels. A view at its fitted place is fitted again.
    void setSize(QSizeF size);
    QSizeF size() const { return size_; }

    // Shows the whole box with margin pixels to spare on each side, and remembers it as the
    // fitted view. An empty box leaves the view as it is.
    void fit(const GeoBox& box, double margin);
    // Back to the last fitted view.
    void refit();
    bool isFitted() const { return fitted_.has_value() && atFit_; }

    // factor > 1 zooms in; the place under the pixel stays under it.
    void zoomAt(QPointF pixel, double factor);
    // Moves the place under `from` to `to`, as a drag with the mouse does.
    void drag(QPointF from, QPointF to);
    // Moves the map by delta pixels.
    void panBy(QPointF delta);

    QPointF toPixel(GeoPoint p) const;
    GeoPoint toGeo(QPointF pixel) const;
    // Longitude relative to the centre's, in [-180, 180).
    double relativeLon(double lon) const { return wrapLongitude(lon - centre_.longitude); }
    // The x offset from the centre of a relative longitude, and the y of a latitude.
    double xOf(double relLon) const { return size_.width() / 2 + relLon * xScale_; }
    double yOf(double lat) const { return size_.height() / 2 - (lat - centre_.latitude) * scale_; }

    GeoPoint centre() const { return centre_; }
    double scale() const { return scale_; }   // pixels per degree of latitude
    double xScale() const { return xScale_; } // pixels per degree of longitude
    // The part of the globe in view; its longitudes run from centre - half to centre + half.
    GeoBox visible() const;

    // Changes with every change of the view, so drawings of it can be kept until then; a new
    // fit that lands where the view already is (the next list of a national search) keeps it.
    std::uint64_t revision() const { return revision_; }

private:
    void set(GeoPoint centre, double scale);
    void place(GeoPoint geo, QPointF pixel);

    QSizeF size_{640, 480};
    GeoPoint centre_{39.5, -98.5};
    double scale_ = 10;
    double xScale_ = 10;
    std::optional<std::pair<GeoBox, double>> fitted_;
    bool atFit_ = false;
    std::uint64_t revision_ = 1;
    // Where the view stood at the present revision.
    GeoPoint revisedCentre_ = centre_;
    double revisedScale_ = scale_;
    QSizeF revisedSize_ = size_;
};

} // namespace corvana::map
