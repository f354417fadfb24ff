#pragma once

#include "data/ZipFacts.h"
#include "geo/Distance.h"
#include "geo/GeoPoint.h"
#include "geo/Points.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace corvana::geo {

// A ZIP code (its ZIPCODE.DAT record) and its geodesic distance from a centre.
struct NearbyZip {
    std::uint32_t record = 0;
    double km = 0;

    bool operator==(const NearbyZip&) const = default;
};

// The order of a radius search: nearest first; of equal distances the centre ZIP code first,
// when the centre is one, then ZIP order (which is record order).
struct NearerFirst {
    std::optional<std::uint32_t> centre;

    bool operator()(const NearbyZip& a, const NearbyZip& b) const {
        if (a.km != b.km)
            return a.km < b.km;
        if ((a.record == centre) != (b.record == centre))
            return a.record == centre;
        return a.record < b.record;
    }
};

enum class NearError {
    None,
    NoPosition, // the centre ZIP code has no position (a military post office)
    BadPoint,   // the centre is no point of the globe (not finite, or out of range)
    BadRadius   // see radius
};

struct NearResult {
    std::vector<NearbyZip> zips; // nearest first, ties in ZIP order
    NearError error = NearError::None;
    RadiusError radius = RadiusError::None;

    // The sentence that explains the error; empty when there is none.
    std::string message() const;
};

inline constexpr std::size_t NoLimit = std::numeric_limits<std::size_t>::max();

// The ZIP codes within radiusKm of a point (geodesic distance at most radiusKm), nearest first;
// of equal distance, in ZIP order. At most `limit` of them.
// Only the ZIP codes whose kind `kinds` keeps are listed (every one by default).
NearResult Near(const Points& points, GeoPoint centre, double radiusKm, std::size_t limit = NoLimit,
                const KindChoice& kinds = {});

// The same around the position of a ZIP code: the centre ZIP code comes first (distance 0),
// then the others at its very position, then the rest. The centre is listed whatever its kind.
NearResult Near(const Points& points, std::uint32_t centreRecord, double radiusKm,
                std::size_t limit = NoLimit, const KindChoice& kinds = {});

// The ZIP codes within km of a point (geodesic distance at most km) that `kinds` keeps, and
// `centreRecord` whatever its kind, nearest first as NearerFirst{centreRecord} orders them; at
// most `limit`. Near without its checks: the point is on the globe and km is no mistake.
std::vector<NearbyZip> WithinKm(const Points& points, GeoPoint centre, double km,
                                std::optional<std::uint32_t> centreRecord, const KindChoice& kinds,
                                std::size_t limit = NoLimit);

// A geodesic radius around a point within which the places of the tree weigh at least a target,
// and what they weigh by chord order up to it.
struct HeldBound {
    double km = 0;
    std::uint64_t held = 0;
};

// A radius within which the places weigh at least `target` together, as `weigh` weighs each place
// of the tree (0: none of its ZIP codes is wanted): not the least such radius, but one that the
// least does not exceed, found by chord first so that few geodesics are worked out. When every
// place together weighs less, MaxRadiusKm and that weight.
HeldBound BoundHolding(const Points& points, GeoPoint point, std::uint64_t target,
                       const std::function<std::uint64_t(std::uint32_t place)>& weigh);

// The ZIP code nearest to a point, of equal distances the first in ZIP order; nothing when no
// ZIP code has a position or the point is not on the globe. With `kinds`, the nearest of the
// kinds it keeps; nothing when no such ZIP code has a position.
std::optional<NearbyZip> Nearest(const Points& points, GeoPoint point);
std::optional<NearbyZip> Nearest(const Points& points, GeoPoint point, const KindChoice& kinds);

// The `count` ZIP codes nearest to a point whose kind `kinds` keeps and that `skip` does not
// name (the ZIP code whose neighbours are wanted), nearest first, of equal distances in ZIP
// order; fewer when fewer have a position.
std::vector<NearbyZip> NearestZips(const Points& points, GeoPoint point, std::size_t count,
                                   const KindChoice& kinds,
                                   const std::vector<std::uint32_t>& skip = {});

// The distance from the ZIP code of record a to that of record b; nothing when either has no
// position.
std::optional<double> DistanceKm(const Points& points, std::uint32_t a, std::uint32_t b);

// Distances from one centre to many ZIP codes, each ZIP code's worked out once: a list of a
// million rows names at most as many ZIP codes as there are.
class DistancesFrom {
public:
    DistancesFrom(const Points& points, GeoPoint centre);

    // Nothing when the record has no position.
    std::optional<double> km(std::uint32_t record);

private:
    const Points& points_;
    GeoPoint centre_;
    std::vector<double> known_; // NaN until worked out
};

} // namespace corvana::geo
