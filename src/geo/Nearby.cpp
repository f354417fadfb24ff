#include "geo/Nearby.h"

#include <algorithm>
#include <cmath>

namespace corvana::geo {

namespace {

// centreRecord: the record that sorts first among equal distances, or none.
NearResult nearPoint(const Points& points, GeoPoint centre, double radiusKm, std::size_t limit,
                     std::optional<std::uint32_t> centreRecord, const KindChoice& kinds) {
    NearResult result;
    if (!OnTheGlobe(centre)) {
        result.error = NearError::BadPoint;
        return result;
    }
    result.radius = CheckRadiusKm(radiusKm);
    if (result.radius != RadiusError::None) {
        result.error = NearError::BadRadius;
        return result;
    }
    result.zips = WithinKm(points, centre, radiusKm, centreRecord, kinds, limit);
    return result;
}

} // namespace

std::vector<NearbyZip> WithinKm(const Points& points, GeoPoint centre, double km,
                                std::optional<std::uint32_t> centreRecord, const KindChoice& kinds,
                                std::size_t limit) {
    std::vector<NearbyZip> zips;
    // The sphere finds every place that can be inside; the geodesic decides, once per place.
    const auto& places = points.tree().places();
    points.tree().visitBall(UnitVector(centre), ChordSquaredWithin(km), [&](std::uint32_t i) {
        const double d = GeodesicKm(centre, places[i].point);
        if (d <= km)
            for (std::uint16_t r : points.recordsAt(places[i]))
                if (r == centreRecord || kinds.keeps(r))
                    zips.push_back(NearbyZip{r, d});
    });
    const NearerFirst before{centreRecord};
    if (limit < zips.size()) {
        std::partial_sort(zips.begin(), zips.begin() + std::ptrdiff_t(limit), zips.end(), before);
        zips.resize(limit);
    } else {
        std::sort(zips.begin(), zips.end(), before);
    }
    return zips;
}

HeldBound BoundHolding(const Points& points, GeoPoint point, std::uint64_t target,
                       const std::function<std::uint64_t(std::uint32_t place)>& weigh) {
    const PlaceTree& tree = points.tree();
    const auto& places = tree.places();
    const auto& vectors = tree.vectors();
    const Vec3 at = UnitVector(point);
    // By chord first, which costs little: a ball that grows until what it holds weighs
    // `target`. Geodesics are worked out only for the places nearest by chord.
    struct ByChord {
        double c2;
        std::uint32_t place;
        std::uint64_t weight;
    };
    std::vector<ByChord> near;
    std::uint64_t inBall = 0;
    for (double radius = 8;; radius *= 2) {
        const double km = std::min(radius, MaxRadiusKm);
        near.clear();
        inBall = 0;
        tree.visitBall(at, ChordSquaredWithin(km), [&](std::uint32_t i) {
            if (const std::uint64_t w = weigh(i)) {
                near.push_back(ByChord{ChordSquared(at, vectors[i]), i, w});
                inBall += w;
            }
        });
        if (inBall >= target || km >= MaxRadiusKm)
            break;
    }
    if (inBall < target)
        return HeldBound{MaxRadiusKm, inBall};
    std::sort(near.begin(), near.end(), [](const ByChord& a, const ByChord& b) {
        return a.c2 != b.c2 ? a.c2 < b.c2 : a.place < b.place;
    });
    // The places nearest by chord that weigh `target`: the farthest of them by geodesic bounds
    // the answer, as those places are at most that far.
    HeldBound bound{0, 0};
    for (const ByChord& c : near) {
        if (bound.held >= target)
            break;
        bound.km = std::max(bound.km, GeodesicKm(point, places[c.place].point));
        bound.held += c.weight;
    }
    return bound;
}

std::string NearResult::message() const {
    switch (error) {
    case NearError::None:
        return {};
    case NearError::NoPosition:
        return "This ZIP code has no location.";
    case NearError::BadPoint:
        return "The centre is not a point of the globe.";
    case NearError::BadRadius:
        return RadiusMessage(radius);
    }
    return {};
}

NearResult Near(const Points& points, GeoPoint centre, double radiusKm, std::size_t limit,
                const KindChoice& kinds) {
    return nearPoint(points, centre, radiusKm, limit, std::nullopt, kinds);
}

NearResult Near(const Points& points, std::uint32_t centreRecord, double radiusKm,
                std::size_t limit, const KindChoice& kinds) {
    auto centre = points.position(centreRecord);
    if (!centre) {
        NearResult result;
        result.error = NearError::NoPosition;
        return result;
    }
    return nearPoint(points, *centre, radiusKm, limit, centreRecord, kinds);
}

std::optional<NearbyZip> Nearest(const Points& points, GeoPoint point) {
    const PlaceTree& tree = points.tree();
    if (!OnTheGlobe(point))
        return std::nullopt;
    const std::int64_t closest = tree.nearest(UnitVector(point));
    if (closest < 0)
        return std::nullopt;
    // The nearest place on the sphere is near, but not always nearest, on the ellipsoid: every
    // place the sphere cannot rule out is measured.
    const auto& places = tree.places();
    const Place& first = places[std::size_t(closest)];
    NearbyZip best{points.recordsAt(first)[0], GeodesicKm(point, first.point)};
    tree.visitBall(UnitVector(point), ChordSquaredWithin(best.km), [&](std::uint32_t i) {
        if (i == closest)
            return;
        NearbyZip other{points.recordsAt(places[i])[0], GeodesicKm(point, places[i].point)};
        if (other.km < best.km || (other.km == best.km && other.record < best.record))
            best = other;
    });
    return best;
}

std::optional<NearbyZip> Nearest(const Points& points, GeoPoint point, const KindChoice& kinds) {
    if (kinds.kinds.isAll() || !kinds.facts)
        return Nearest(points, point);
    auto zips = NearestZips(points, point, 1, kinds);
    if (zips.empty())
        return std::nullopt;
    return zips.front();
}

std::vector<NearbyZip> NearestZips(const Points& points, GeoPoint point, std::size_t count,
                                   const KindChoice& kinds,
                                   const std::vector<std::uint32_t>& skip) {
    std::vector<NearbyZip> found;
    if (count == 0 || !OnTheGlobe(point))
        return found;
    const PlaceTree& tree = points.tree();
    const auto& places = tree.places();
    const Vec3 at = UnitVector(point);
    auto wanted = [&](std::uint32_t r) {
        return kinds.keeps(r) && std::find(skip.begin(), skip.end(), r) == skip.end();
    };
    auto wantedAt = [&](std::uint32_t place) {
        std::uint64_t n = 0;
        for (std::uint16_t r : points.recordsAt(places[place]))
            n += wanted(r);
        return n;
    };

    const double bound = BoundHolding(points, point, count, wantedAt).km;
    // Every ZIP code within the bound, by geodesic, each place measured once.
    tree.visitBall(at, ChordSquaredWithin(bound), [&](std::uint32_t i) {
        if (!wantedAt(i))
            return;
        const double d = GeodesicKm(point, places[i].point);
        if (d <= bound)
            for (std::uint16_t r : points.recordsAt(places[i]))
                if (wanted(r))
                    found.push_back(NearbyZip{r, d});
    });
    const NearerFirst before{std::nullopt};
    const std::size_t keep = std::min(count, found.size());
    std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(keep), found.end(), before);
    found.resize(keep);
    return found;
}

std::optional<double> DistanceKm(const Points& points, std::uint32_t a, std::uint32_t b) {
    auto pa = points.position(a), pb = points.position(b);
    if (!pa || !pb)
        return std::nullopt;
    return GeodesicKm(*pa, *pb);
}

DistancesFrom::DistancesFrom(const Points& points, GeoPoint centre)
    : points_(points), centre_(centre), known_(points.recordCount(), std::nan("")) {}

std::optional<double> DistancesFrom::km(std::uint32_t record) {
    if (record >= known_.size())
        return std::nullopt;
    if (std::isnan(known_[record])) {
        auto p = points_.position(record);
        if (!p)
            return std::nullopt;
        known_[record] = GeodesicKm(centre_, *p);
    }
    return known_[record];
}

} // namespace corvana::geo
