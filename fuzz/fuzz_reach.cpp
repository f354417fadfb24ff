// The radius that reaches N people, on arbitrary figures, targets and centres over a fixed set of
// places (a few sharing one point, one without a position): a reach is either refused or
// answered, and an answer holds what it says. Its list is what Near lists with its radius, the
// running totals add up, the target is reached by the last distance and not before it; within a
// radius, the list is Near's.
//   input: 8 bytes target, 2 bytes centre record, 2 bytes radius in tenths of a km, then 4 bytes
//   of population per record (0xFFFFFFFF: no figure; anything above the maximum is cut to it).
#include "FuzzUtil.h"

#include "data/People.h"
#include "geo/Nearby.h"
#include "geo/Reach.h"

#include <cmath>
#include <cstring>
#include <span>

using namespace corvana;
using namespace corvana::geo;

namespace {

constexpr std::size_t Records = 40;

const Points& places() {
    static const Points points = [] {
        std::vector<PointRecord> records;
        for (std::size_t i = 0; i < Records; ++i) {
            PointRecord r;
            if (i != 7) { // record 7 has no position
                // Every fifth record at the point of the one before; the rest on a spiral
                // from Salt Lake City out to Alaska.
                const std::size_t at = i % 5 == 4 ? i - 1 : i;
                r.latitude = std::int32_t((40.7 + 0.8 * double(at)) * PointRecord::PerDegree);
                r.longitude = std::int32_t((-111.9 - 1.6 * double(at)) * PointRecord::PerDegree);
                r.stateFips = 49;
            }
            records.push_back(r);
        }
        const std::string bytes = BuildPointsFile(records);
        return *Points::fromBytes(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }();
    return points;
}

template <class T> T take(const std::uint8_t*& p, std::size_t& left) {
    T v{};
    const std::size_t n = std::min(sizeof v, left);
    std::memcpy(&v, p, n);
    p += n;
    left -= n;
    return v;
}

std::vector<std::uint32_t> recordsOf(const std::vector<NearbyZip>& zips) {
    std::vector<std::uint32_t> out;
    for (const NearbyZip& z : zips)
        out.push_back(z.record);
    return out;
}

std::vector<std::uint32_t> recordsOf(const ReachResult& r) {
    std::vector<std::uint32_t> out;
    for (const ReachZip& z : r.zips)
        out.push_back(z.record);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::uint8_t* p = bytes;
    std::size_t left = size;
    const auto target = take<std::uint64_t>(p, left);
    const auto centre = std::uint32_t(take<std::uint16_t>(p, left) % (Records + 2));
    const double radiusKm = take<std::uint16_t>(p, left) / 10.0;
    std::vector<PeopleRecord> figures(Records);
    for (PeopleRecord& f : figures) {
        const auto v = take<std::uint32_t>(p, left);
        f.population = v == NoFigure ? NoFigure : std::min(v, MaxPopulation);
    }
    const std::string file = WritePeopleFile(figures);
    const auto people = People::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    FUZZ_CHECK(people.has_value());
    const Points& points = places();

    const ReachResult r = ReachPeople(points, *people, centre, target);
    if (r.error != NearError::None) {
        FUZZ_CHECK(r.error == NearError::NoPosition && !points.position(centre));
        FUZZ_CHECK(r.zips.empty());
        return 0;
    }
    if (!r.reached) {
        FUZZ_CHECK(r.zips.empty() && r.people < target);
        return 0;
    }
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < r.zips.size(); ++i) {
        sum += r.zips[i].population.value_or(0);
        FUZZ_CHECK(r.zips[i].peopleSoFar == sum);
        FUZZ_CHECK(r.zips[i].km <= r.radiusKm);
        // Before the distance that reached it, the target was not yet reached.
        FUZZ_CHECK(r.zips[i].km == r.radiusKm || sum < target);
    }
    FUZZ_CHECK(r.people == sum && (target == 0 || sum >= target));
    if (target > 0 && r.radiusKm > 0)
        FUZZ_CHECK(recordsOf(r) ==
                   recordsOf(WithinKm(points, *points.position(centre), r.radiusKm, centre, {})));

    if (CheckRadiusKm(radiusKm) == RadiusError::None) {
        const ReachResult within = ReachWithin(points, *people, centre, radiusKm);
        FUZZ_CHECK(recordsOf(within) == recordsOf(Near(points, centre, radiusKm).zips));
    }
    return 0;
}
