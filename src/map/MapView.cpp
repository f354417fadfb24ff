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
    const LonLat c = box.centre();
    const double lat = std::clamp(c.lat, -MaxCentreLat, MaxCentreLat);
    const double height = std::max(box.height(), MinExtent);
    const double width = std::max(box.width() * cosDeg(lat), MinExtent);
    const double w = std::max(size_.width() - 2 * margin, 1.0);
    const double h = std::max(size_.height() - 2 * margin, 1.0);
    set({c.lon, lat}, std::min(w / width, h / height));
    fitted_ = {box, margin};
    atFit_ = true;
}

void MapView::refit() {
    if (fitted_)
        fit(fitted_->first, fitted_->second);
}

void MapView::zoomAt(QPointF pixel, double factor) {
    const LonLat geo = toGeo(pixel);
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
void MapView::place(LonLat geo, QPointF pixel) {
    double lat = geo.lat - (size_.height() / 2 - pixel.y()) / scale_;
    lat = std::clamp(lat, -MaxCentreLat, MaxCentreLat);
    const double xScale = scale_ * cosDeg(lat);
    set({geo.lon - (pixel.x() - size_.width() / 2) / xScale, lat}, scale_);
}

void MapView::set(LonLat centre, double scale) {
    centre_ = {wrapLongitude(centre.lon), std::clamp(centre.lat, -MaxCentreLat, MaxCentreLat)};
    scale_ = std::clamp(scale, MinScale, MaxScale);
    xScale_ = scale_ * cosDeg(centre_.lat);
    atFit_ = false;
    ++revision_;
}

QPointF MapView::toPixel(LonLat p) const {
    return {xOf(relativeLon(p.lon)), yOf(p.lat)};
}

LonLat MapView::toGeo(QPointF pixel) const {
    return {wrapLongitude(centre_.lon + (pixel.x() - size_.width() / 2) / xScale_),
            centre_.lat + (size_.height() / 2 - pixel.y()) / scale_};
}

GeoBox MapView::visible() const {
    const double halfWidth = std::min(size_.width() / 2 / xScale_, 180.0);
    const double halfHeight = size_.height() / 2 / scale_;
    return {centre_.lon - halfWidth, centre_.lon + halfWidth, centre_.lat - halfHeight,
            centre_.lat + halfHeight};
}

} // namespace corvana::map
