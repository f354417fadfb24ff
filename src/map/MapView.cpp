#include "map/MapView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvana::map {

namespace {

double cosDeg(double deg) {
    return std::cos(deg * std::numbers::pi / 180.0);
}

} // namespace

void MapView::setSize(QSizeF size) {
    if (size == size_ || size.isEmpty())
        return;
    size_ = size;
    if (isFitted())
        refit();
    else
        set(centre_, scale_);
}

void MapView::fit(const GeoBox& box, double margin) {
    if (box.empty())
        return;
    const GeoPoint c = box.centre();
    const double lat = std::clamp(c.latitude, -MaxCentreLat, MaxCentreLat);
    const double height = std::max(box.height(), MinExtent);
    const double width = std::max(box.width() * cosDeg(lat), MinExtent);
    const double w = std::max(size_.width() - 2 * margin, 1.0);
    const double h = std::max(size_.height() - 2 * margin, 1.0);
    set({lat, c.longitude}, std::min(w / width, h / height));
    fitted_ = {box, margin};
    atFit_ = true;
}

void MapView::refit() {
    if (fitted_)
        fit(fitted_->first, fitted_->second);
}

void MapView::zoomAt(QPointF pixel, double factor) {
    const GeoPoint geo = toGeo(pixel);
    scale_ = std::clamp(scale_ * factor, MinScale, MaxScale);
    place(geo, pixel);
}

void MapView::drag(QPointF from, QPointF to) {
    place(toGeo(from), to);
}

void MapView::panBy(QPointF delta) {
    const QPointF middle(size_.width() / 2, size_.height() / 2);
    drag(middle, middle + delta);
}

// Moves the centre so that geo lands on pixel at the present scale: the latitude first, as
// the scale of longitude follows from the centre's latitude.
void MapView::place(GeoPoint geo, QPointF pixel) {
    double lat = geo.latitude - (size_.height() / 2 - pixel.y()) / scale_;
    lat = std::clamp(lat, -MaxCentreLat, MaxCentreLat);
    const double xScale = scale_ * cosDeg(lat);
    set({lat, geo.longitude - (pixel.x() - size_.width() / 2) / xScale}, scale_);
}

void MapView::set(GeoPoint centre, double scale) {
    centre_ = {std::clamp(centre.latitude, -MaxCentreLat, MaxCentreLat),
               wrapLongitude(centre.longitude)};
    scale_ = std::clamp(scale, MinScale, MaxScale);
    xScale_ = scale_ * cosDeg(centre_.latitude);
    atFit_ = false;
    ++revision_;
}

QPointF MapView::toPixel(GeoPoint p) const {
    return {xOf(relativeLon(p.longitude)), yOf(p.latitude)};
}

GeoPoint MapView::toGeo(QPointF pixel) const {
    return {centre_.latitude + (size_.height() / 2 - pixel.y()) / scale_,
            wrapLongitude(centre_.longitude + (pixel.x() - size_.width() / 2) / xScale_)};
}

GeoBox MapView::visible() const {
    const double halfWidth = std::min(size_.width() / 2 / xScale_, 180.0);
    const double halfHeight = size_.height() / 2 / scale_;
    return {centre_.longitude - halfWidth, centre_.longitude + halfWidth,
            centre_.latitude - halfHeight, centre_.latitude + halfHeight};
}

} // namespace corvana::map
