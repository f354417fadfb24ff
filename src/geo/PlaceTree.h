#pragma once

#include "geo/GeoPoint.h"

#include <cstdint>
#include <span>
#include <vector>

namespace corvana::geo {

// A point as a unit vector from the earth's centre (x towards 0,0; z towards the north pole),
// the latitude and longitude taken as on a sphere. Straight-line (chord) distances between
// unit vectors order points as the angles between them do, with no seam at the 180th meridian
// and none at the poles.
struct Vec3 {
    double x = 0, y = 0, z = 0;
};
Vec3 UnitVector(GeoPoint p);

inline double ChordSquared(const Vec3& a, const Vec3& b) {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

// The angle, in radians on the sphere of the same latitudes and longitudes, within which lies
// every point whose geodesic distance can be at most km: the ellipsoid's radii of curvature all
// lie between a(1 - e^2) and a / sqrt(1 - e^2), so a geodesic of length s spans an angle of at
// most s / (a(1 - e^2)). A small margin covers rounding.
double AngleWithin(double km);

// The same bound as a squared chord between unit vectors (4 when it takes in the whole sphere).
double ChordSquaredWithin(double km);

// One distinct position and the records of the ZIP codes there: list[first, first + count).
struct Place {
    GeoPoint point;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

// A static k-d tree over places kept in tree order. Its shape follows from the number of
// places and the leaf size alone: a run of more than leafSize places splits at its middle into
// two nodes. Each node keeps the box of its points, computed from the points themselves, so
// that an answer never depends on how well the order was chosen.
class PlaceTree {
public:
    PlaceTree() = default;
    PlaceTree(std::vector<Place> places, unsigned leafSize);

    const std::vector<Place>& places() const { return places_; }
    // The unit vector of each place, in the same order.
    const std::vector<Vec3>& vectors() const { return vectors_; }

    // Calls visit(place index) for every place within the squared chord c2 of q.
    template <class Visit> void visitBall(const Vec3& q, double c2, Visit&& visit) const;

    // The place nearest to q by chord, ties to the lower index; -1 when there are none.
    std::int64_t nearest(const Vec3& q) const;

private:
    struct Node {
        Vec3 lo, hi;
        std::uint32_t begin = 0, end = 0;
        std::uint32_t right = 0; // index of the right child; 0 for a leaf (the left is next)
    };
    std::uint32_t build(std::uint32_t begin, std::uint32_t end);
    void nearestIn(std::uint32_t node, const Vec3& q, double& best, std::int64_t& found) const;
    static double boxDistanceSquared(const Node& n, const Vec3& q);

    std::vector<Place> places_;
    std::vector<Vec3> vectors_;
    std::vector<Node> nodes_;
    unsigned leafSize_ = 1;
};

// The order in which the builder lays out places, given their unit vectors: the permutation
// of place numbers that makes the tree above group nearby points.
std::vector<std::uint32_t> TreeOrder(std::span<const Vec3> points, unsigned leafSize);

template <class Visit> void PlaceTree::visitBall(const Vec3& q, double c2, Visit&& visit) const {
    if (nodes_.empty())
        return;
    std::uint32_t stack[64];
    std::size_t depth = 0;
    stack[depth++] = 0;
    while (depth) {
        const std::uint32_t at = stack[--depth];
        const Node& n = nodes_[at];
        if (boxDistanceSquared(n, q) > c2)
            continue;
        if (n.right == 0) {
            for (std::uint32_t i = n.begin; i < n.end; ++i)
                if (ChordSquared(vectors_[i], q) <= c2)
                    visit(i);
            continue;
        }
        stack[depth++] = n.right;
        stack[depth++] = at + 1;
    }
}

} // namespace corvana::geo
