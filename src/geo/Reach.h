#pragma once

// How many people live within a radius, and how far a circle must reach to hold N people: the
// ZIP codes of a radius search (geo/Nearby.h), each with its population and the running total.

#include "data/People.h"
#include "data/ZipFacts.h"
#include "geo/GeoPoint.h"
#include "geo/Nearby.h"
#include "geo/Points.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvana::geo {

struct ReachZip {
    std::uint32_t record = 0;
    double km = 0;
    std::optional<std::uint32_t> population; // nothing: no figure (a P.O. box), counted as 0
    std::uint64_t peopleSoFar = 0;           // this ZIP code's and those listed before it

    bool operator==(const ReachZip&) const = default;
};

struct ReachResult {
    std::vector<ReachZip> zips; // nearest first, as Near lists them
    // The people of the list; when a target is not reached, every person of the data that the
    // kinds keep (and the list is empty).
    std::uint64_t people = 0;
    // The radius asked for, or the distance of the ZIP code whose people reached the target.
    double radiusKm = 0;
    bool reached = true; // false: the data's people are fewer than the target
    NearError error = NearError::None;
    RadiusError radius = RadiusError::None;

    // The sentence that explains the error; empty when there is none.
    std::string message() const { return NearResult{{}, error, radius}.message(); }
};

// The ZIP codes within radiusKm of a point or of a ZIP code, exactly those that Near lists and
// in its order, each with its people and the running total.
ReachResult ReachWithin(const Points& points, const People& people, GeoPoint centre,
                        double radiusKm, const KindChoice& kinds = {});
ReachResult ReachWithin(const Points& points, const People& people, std::uint32_t centreRecord,
                        double radiusKm, const KindChoice& kinds = {});

// The smallest circle whose ZIP codes hold at least `target` people: the ZIP codes are taken
// nearest first until their people reach it, and those at the same distance as the one that
// reached it go in with it; the radius is that one's distance. The list is what Near would list
// with that radius. With a ZIP code as the centre, it comes first whatever its kind, as in Near.
ReachResult ReachPeople(const Points& points, const People& people, GeoPoint centre,
                        std::uint64_t target, const KindChoice& kinds = {});
ReachResult ReachPeople(const Points& points, const People& people, std::uint32_t centreRecord,
                        std::uint64_t target, const KindChoice& kinds = {});

} // namespace corvana::geo
