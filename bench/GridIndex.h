#pragma once

#include "geo/PlaceTree.h"

#include "SphereBox.h"

#include <cmath>
#include <cstdint>
#include <vector>

// The alternative to the k-d tree that bench_points_index measures: a uniform grid of cells of
// `cell` degrees over the whole globe, the places of each cell stored together, columns
// wrapping at the 180th meridian. A ball search visits the cells of the ball's latitude and
// longitude box; the nearest place is found by balls of doubling size.
class GridIndex {
public:
    GridIndex(const corvana::geo::PlaceTree& tree, double cell);

    template <class Visit>
    void visitBall(const corvana::geo::GeoPoint& centre, const corvana::geo::Vec3& q, double c2,
                   Visit&& visit) const;

    // The place nearest to q by chord; none when the grid is empty.
    const corvana::geo::Place* nearest(const corvana::geo::GeoPoint& at,
                                       const corvana::geo::Vec3& q) const;

private:
    int row(double lat) const { return std::min(rows_ - 1, int((lat + 90) / cell_)); }
    int column(double lon) const { return int(std::floor((lon + 180) / cell_)); }

    double cell_;
    int rows_, columns_;
    std::vector<std::uint32_t> start_;        // per cell, row by row, then one past the last
    std::vector<corvana::geo::Place> places_; // in cell order
    std::vector<corvana::geo::Vec3> vectors_;
};

template <class Visit>
void GridIndex::visitBall(const corvana::geo::GeoPoint& centre, const corvana::geo::Vec3& q,
                          double c2, Visit&& visit) const {
    const double angle = c2 >= 4 ? 4 : 2 * std::asin(std::sqrt(c2) / 2);
    const SphereBox box = BoxAround(centre, angle);
    for (int r = row(box.south); r <= row(box.north); ++r) {
        for (const auto& [west, east] : box.longitudes) {
            const int c1 = std::min(columns_ - 1, column(east));
            for (int c = std::max(0, column(west)); c <= c1; ++c) {
                const std::size_t cellAt = std::size_t(r) * std::size_t(columns_) + std::size_t(c);
                for (std::uint32_t i = start_[cellAt]; i < start_[cellAt + 1]; ++i) {
                    const double d2 = corvana::geo::ChordSquared(vectors_[i], q);
                    if (d2 <= c2)
                        visit(places_[i], d2);
                }
            }
        }
    }
}
