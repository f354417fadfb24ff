#include "GridIndex.h"

#include <algorithm>
#include <limits>

using namespace corvana::geo;

GridIndex::GridIndex(const PlaceTree& tree, double cell)
    : cell_(cell), rows_(int(std::ceil(180 / cell))), columns_(int(std::ceil(360 / cell))) {
    const std::vector<Place>& places = tree.places();
    std::vector<std::uint32_t> cellOf(places.size());
    start_.assign(std::size_t(rows_) * std::size_t(columns_) + 1, 0);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const int c = std::min(columns_ - 1, column(places[i].point.longitude));
        cellOf[i] = std::uint32_t(row(places[i].point.latitude) * columns_ + c);
        ++start_[cellOf[i] + 1];
    }
    for (std::size_t c = 1; c < start_.size(); ++c)
        start_[c] += start_[c - 1];
    places_.resize(places.size());
    vectors_.resize(places.size());
    std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
    for (std::size_t i = 0; i < places.size(); ++i) {
        vectors_[next[cellOf[i]]] = tree.vectors()[i];
        places_[next[cellOf[i]]++] = places[i];
    }
}

const Place* GridIndex::nearest(const GeoPoint& at, const Vec3& q) const {
    if (places_.empty())
        return nullptr;
    // A ball of one cell's angle, doubled until it holds a place: every place nearer than the
    // nearest one found lies in the same ball.
    for (double angle = cell_ * std::numbers::pi / 180;; angle *= 2) {
        const double c2 = angle >= std::numbers::pi ? 4.0 : std::pow(2 * std::sin(angle / 2), 2);
        double best = std::numeric_limits<double>::infinity();
        const Place* found = nullptr;
        visitBall(at, q, c2, [&](const Place& p, double d2) {
            if (d2 < best) {
                best = d2;
                found = &p;
            }
        });
        if (found || angle >= std::numbers::pi)
            return found;
    }
}
