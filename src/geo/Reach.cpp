#include "geo/Reach.h"

namespace corvana::geo {

namespace {

std::uint32_t PeopleOf(const People& people, std::uint32_t record) {
    const auto f = people.ofRecord(record);
    return f && f->population ? *f->population : 0;
}

// Each ZIP code with its people and the running total; the total of them all.
ReachResult Counted(const People& people, const std::vector<NearbyZip>& zips) {
    ReachResult r;
    r.zips.reserve(zips.size());
    for (const NearbyZip& z : zips) {
        const auto f = people.ofRecord(z.record);
        const std::optional<std::uint32_t> n = f ? f->population : std::nullopt;
        r.people += n.value_or(0);
        r.zips.push_back(ReachZip{z.record, z.km, n, r.people});
    }
    return r;
}

ReachResult Within(const NearResult& near, const People& people, double radiusKm) {
    ReachResult r = Counted(people, near.zips);
    r.error = near.error;
    r.radius = near.radius;
    r.radiusKm = radiusKm;
    return r;
}

ReachResult Reaching(const Points& points, const People& people, GeoPoint centre,
                     std::uint64_t target, std::optional<std::uint32_t> centreRecord,
                     const KindChoice& kinds) {
    ReachResult r;
    if (!OnTheGlobe(centre)) {
        r.error = NearError::BadPoint;
        return r;
    }
    if (target == 0)
        return r;
    const auto& places = points.tree().places();
    const HeldBound bound = BoundHolding(points, centre, target, [&](std::uint32_t place) {
        std::uint64_t n = 0;
        for (std::uint16_t rec : points.recordsAt(places[place]))
            if (rec == centreRecord || kinds.keeps(rec))
                n += PeopleOf(people, rec);
        return n;
    });
    if (bound.held < target) {
        r.people = bound.held;
        r.reached = false;
        return r;
    }
    // Every ZIP code within the bound holds the target; the list ends with the last ZIP code as
    // far as the one that reached it.
    r = Counted(people, WithinKm(points, centre, bound.km, centreRecord, kinds));
    std::size_t end = 0;
    while (end < r.zips.size() && r.zips[end].peopleSoFar < target)
        ++end;
    if (end == r.zips.size()) { // cannot be: the bound holds the target
        r.reached = false;
        r.zips.clear();
        return r;
    }
    r.radiusKm = r.zips[end].km;
    while (end + 1 < r.zips.size() && r.zips[end + 1].km == r.radiusKm)
        ++end;
    r.zips.resize(end + 1);
    r.people = r.zips.back().peopleSoFar;
    return r;
}

ReachResult NoPosition() {
    ReachResult r;
    r.error = NearError::NoPosition;
    return r;
}

} // namespace

ReachResult ReachWithin(const Points& points, const People& people, GeoPoint centre,
                        double radiusKm, const KindChoice& kinds) {
    return Within(Near(points, centre, radiusKm, NoLimit, kinds), people, radiusKm);
}

ReachResult ReachWithin(const Points& points, const People& people, std::uint32_t centreRecord,
                        double radiusKm, const KindChoice& kinds) {
    return Within(Near(points, centreRecord, radiusKm, NoLimit, kinds), people, radiusKm);
}

ReachResult ReachPeople(const Points& points, const People& people, GeoPoint centre,
                        std::uint64_t target, const KindChoice& kinds) {
    return Reaching(points, people, centre, target, std::nullopt, kinds);
}

ReachResult ReachPeople(const Points& points, const People& people, std::uint32_t centreRecord,
                        std::uint64_t target, const KindChoice& kinds) {
    const auto centre = points.position(centreRecord);
    return centre ? Reaching(points, people, *centre, target, centreRecord, kinds) : NoPosition();
}

} // namespace corvana::geo
