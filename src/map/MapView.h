#pragma once

// What part of the globe a map of some size in pixels shows, and where a place lands on it:
// the projection (map/Projection.h) as fitting, zooming and dragging move it.

#include "map/Projection.h"

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
    QSizeF size() const { return {at_.width, at_.height}; }

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

    QPointF toPixel(GeoPoint p) const { return {at_.x(p.longitude), at_.y(p.latitude)}; }
    GeoPoint toGeo(QPointF pixel) const { return at_.toGeo(pixel.x(), pixel.y()); }
    // Longitude relative to the centre's, in [-180, 180).
    double relativeLon(double lon) const { return at_.relativeLon(lon); }
    // The x offset from the centre of a relative longitude, and the y of a latitude.
    double xOf(double relLon) const { return at_.xOf(relLon); }
    double yOf(double lat) const { return at_.yOf(lat); }

    // The projection of the present view, for drawing and placing names.
    const Projection& projection() const { return at_; }
    GeoPoint centre() const { return at_.centre; }
    double scale() const { return at_.scale; }   // pixels per degree of latitude
    double xScale() const { return at_.xScale; } // pixels per degree of longitude
    // The part of the globe in view; its longitudes run from centre - half to centre + half.
    GeoBox visible() const { return at_.visible(); }

    // Changes with every change of the view, so drawings of it can be kept until then; a new
    // fit that lands where the view already is (the next list of a national search) keeps it.
    std::uint64_t revision() const { return revision_; }

private:
    void set(GeoPoint centre, double scale);
    void place(GeoPoint geo, QPointF pixel);

    Projection at_{{39.5, -98.5}, 10, 10, 640, 480};
    std::optional<std::pair<GeoBox, double>> fitted_;
    bool atFit_ = false;
    std::uint64_t revision_ = 1;
    // Where the view stood at the present revision.
    GeoPoint revisedCentre_ = at_.centre;
    double revisedScale_ = at_.scale;
    QSizeF revisedSize_ = size();
};

} // namespace corvana::map
