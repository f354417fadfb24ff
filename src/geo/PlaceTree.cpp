#include "geo/PlaceTree.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace corvana::geo {

namespace {

// WGS84's semi-major axis and flattening, as GeographicLib's geodesic uses them.
constexpr double A = 6378137.0;
constexpr double F = 1 / 298.257223563;
constexpr double E2 = F * (2 - F);
// The smallest radius of curvature anywhere on the ellipsoid: the meridian's at the equator.
constexpr double SmallestRadiusKm = A * (1 - E2) / 1000;

double axisOf(const Vec3& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

} // namespace

Vec3 UnitVector(GeoPoint p) {
    constexpr double Rad = std::numbers::pi / 180;
    const double phi = p.latitude * Rad, lambda = p.longitude * Rad;
    const double c = std::cos(phi);
    return Vec3{c * std::cos(lambda), c * std::sin(lambda), std::sin(phi)};
}

double AngleWithin(double km) {
    return km / SmallestRadiusKm * (1 + 1e-9);
}

double ChordSquaredWithin(double km) {
    const double angle = AngleWithin(km);
    if (!(angle < std::numbers::pi))
        return 4 * (1 + 1e-9); // the whole sphere
    const double chord = 2 * std::sin(angle / 2) * (1 + 1e-9) + 1e-12;
    return chord * chord;
}

PlaceTree::PlaceTree(std::vector<Place> places, unsigned leafSize)
    : places_(std::move(places)), leafSize_(std::max(1u, leafSize)) {
    vectors_.reserve(places_.size());
    for (const Place& p : places_)
        vectors_.push_back(UnitVector(p.point));
    if (!places_.empty()) {
        nodes_.reserve(4 * places_.size() / leafSize_ + 1);
        build(0, std::uint32_t(places_.size()));
    }
}

std::uint32_t PlaceTree::build(std::uint32_t begin, std::uint32_t end) {
    const auto self = std::uint32_t(nodes_.size());
    nodes_.push_back(Node{});
    if (end - begin <= leafSize_) {
        Node& n = nodes_[self];
        n.begin = begin;
        n.end = end;
        n.lo = n.hi = vectors_[begin];
        for (std::uint32_t i = begin + 1; i < end; ++i) {
            const Vec3& v = vectors_[i];
            n.lo = {std::min(n.lo.x, v.x), std::min(n.lo.y, v.y), std::min(n.lo.z, v.z)};
            n.hi = {std::max(n.hi.x, v.x), std::max(n.hi.y, v.y), std::max(n.hi.z, v.z)};
        }
        return self;
    }
    const std::uint32_t mid = begin + (end - begin) / 2;
    const std::uint32_t left = build(begin, mid);
    const std::uint32_t right = build(mid, end);
    const Node &l = nodes_[left], &r = nodes_[right];
    Node& n = nodes_[self];
    n.begin = begin;
    n.end = end;
    n.right = right;
    n.lo = {std::min(l.lo.x, r.lo.x), std::min(l.lo.y, r.lo.y), std::min(l.lo.z, r.lo.z)};
    n.hi = {std::max(l.hi.x, r.hi.x), std::max(l.hi.y, r.hi.y), std::max(l.hi.z, r.hi.z)};
    return self;
}

double PlaceTree::boxDistanceSquared(const Node& n, const Vec3& q) {
    auto gap = [](double lo, double hi, double v) {
        return v < lo ? lo - v : v > hi ? v - hi : 0.0;
    };
    const double dx = gap(n.lo.x, n.hi.x, q.x), dy = gap(n.lo.y, n.hi.y, q.y),
                 dz = gap(n.lo.z, n.hi.z, q.z);
    return dx * dx + dy * dy + dz * dz;
}

std::int64_t PlaceTree::nearest(const Vec3& q) const {
    if (nodes_.empty())
        return -1;
    double best = std::numeric_limits<double>::infinity();
    std::int64_t found = -1;
    nearestIn(0, q, best, found);
    return found;
}

void PlaceTree::nearestIn(std::uint32_t node, const Vec3& q, double& best,
                          std::int64_t& found) const {
    const Node& n = nodes_[node];
    if (n.right == 0) {
        for (std::uint32_t i = n.begin; i < n.end; ++i) {
            const double d2 = ChordSquared(vectors_[i], q);
            if (d2 < best || (d2 == best && i < found)) {
                best = d2;
                found = i;
            }
        }
        return;
    }
    std::uint32_t near = node + 1, far = n.right;
    double nearGap = boxDistanceSquared(nodes_[near], q);
    double farGap = boxDistanceSquared(nodes_[far], q);
    if (farGap < nearGap) {
        std::swap(near, far);
        std::swap(nearGap, farGap);
    }
    // Equal gaps are searched too, for the tie to the lower index.
    if (nearGap <= best)
        nearestIn(near, q, best, found);
    if (farGap <= best)
        nearestIn(far, q, best, found);
}

std::vector<std::uint32_t> TreeOrder(std::span<const Vec3> points, unsigned leafSize) {
    std::vector<std::uint32_t> order(points.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    leafSize = std::max(1u, leafSize);
    // The same split rule as the tree's shape, ranges kept on a stack.
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, order.size()}};
    while (!ranges.empty()) {
        auto [begin, end] = ranges.back();
        ranges.pop_back();
        if (end - begin <= leafSize)
            continue;
        Vec3 lo = points[order[begin]], hi = lo;
        for (std::size_t i = begin + 1; i < end; ++i) {
            const Vec3& v = points[order[i]];
            lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
            hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
        }
        const double ex = hi.x - lo.x, ey = hi.y - lo.y, ez = hi.z - lo.z;
        const int axis = ex >= ey && ex >= ez ? 0 : ey >= ez ? 1 : 2;
        const std::size_t mid = begin + (end - begin) / 2;
        std::nth_element(
            order.begin() + std::ptrdiff_t(begin), order.begin() + std::ptrdiff_t(mid),
            order.begin() + std::ptrdiff_t(end), [&](std::uint32_t a, std::uint32_t b) {
                const double va = axisOf(points[a], axis), vb = axisOf(points[b], axis);
                return va < vb || (va == vb && a < b);
            });
        ranges.emplace_back(begin, mid);
        ranges.emplace_back(mid, end);
    }
    return order;
}

} // namespace corvana::geo
