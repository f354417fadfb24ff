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
    if (size == this->size() || size.isEmpty())
        return;
    at_.width = size.width();
    at_.height = size.height();
    if (isFitted())
        refit();
    else
        set(at_.centre, at_.scale);
}

void MapView::fit(const GeoBox& box, double margin) {
    if (box.empty())
        return;
    const GeoPoint c = box.centre();
    const double lat = std::clamp(c.latitude, -MaxCentreLat, MaxCentreLat);
    const double height = std::max(box.height(), MinExtent);
    const double width = std::max(box.width() * cosDeg(lat), MinExtent);
    const double w = std::max(at_.width - 2 * margin, 1.0);
    const double h = std::max(at_.height - 2 * margin, 1.0);
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
    at_.scale = std::clamp(at_.scale * factor, MinScale, MaxScale);
    place(geo, pixel);
}

void MapView::drag(QPointF from, QPointF to) {
    place(toGeo(from), to);
}

void MapView::panBy(QPointF delta) {
    const QPointF middle(at_.width / 2, at_.height / 2);
    drag(middle, middle + delta);
}

// Moves the centre so that geo lands on pixel at the present scale: the latitude first, as
// the scale of longitude follows from the centre's latitude.
void MapView::place(GeoPoint geo, QPointF pixel) {
    double lat = geo.latitude - (at_.height / 2 - pixel.y()) / at_.scale;
    lat = std::clamp(lat, -MaxCentreLat, MaxCentreLat);
    const double xScale = at_.scale * cosDeg(lat);
    set({lat, geo.longitude - (pixel.x() - at_.width / 2) / xScale}, at_.scale);
}

void MapView::set(GeoPoint centre, double scale) {
    at_.centre = {std::clamp(centre.latitude, -MaxCentreLat, MaxCentreLat),
                  wrapLongitude(centre.longitude)};
    at_.scale = std::clamp(scale, MinScale, MaxScale);
    at_.xScale = at_.scale * cosDeg(at_.centre.latitude);
    atFit_ = false;
    if (at_.centre.latitude != revisedCentre_.latitude ||
        at_.centre.longitude != revisedCentre_.longitude || at_.scale != revisedScale_ ||
        size() != revisedSize_) {
        revisedCentre_ = at_.centre;
        revisedScale_ = at_.scale;
        revisedSize_ = size();
        ++revision_;
    }
}

} // namespace corvana::map
