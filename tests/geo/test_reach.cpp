// People within a radius and the radius that reaches N people, against every point measured and
// every figure added up in order, on synthetic points and on the real data set.
#include "data/People.h"
#include "data/ZipFile.h"
#include "geo/Nearby.h"
#include "geo/Reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace corvana;
using namespace corvana::geo;

namespace {

std::int32_t fixed(double degrees) {
    return std::int32_t(std::lround(degrees * PointRecord::PerDegree));
}

Points loadPoints(const std::vector<PointRecord>& records) {
    const std::string bytes = BuildPointsFile(records);
    auto p = Points::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!p)
        throw std::runtime_error("the points file just built does not load");
    return std::move(*p);
}

People loadPeople(const std::vector<PeopleRecord>& records) {
    const std::string bytes = WritePeopleFile(records);
    auto p = People::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!p)
        throw std::runtime_error("the people file just built does not load");
    return std::move(*p);
}

// Every positioned record measured and sorted as Near sorts, the people added in that order until
// they reach `target`, then the rest at the same distance as the last one taken.
struct Brute {
    std::vector<std::uint32_t> records;
    std::uint64_t people = 0;
    double radiusKm = 0;
    bool reached = false;
};

Brute bruteReach(const Points& points, const People& people, GeoPoint centre, std::uint64_t target,
                 std::optional<std::uint32_t> centreRecord) {
    std::vector<NearbyZip> all;
    for (std::uint32_t r = 0; r < points.recordCount(); ++r)
        if (auto p = points.position(r))
            all.push_back({r, GeodesicKm(centre, *p)});
    std::sort(all.begin(), all.end(), NearerFirst{centreRecord});
    Brute b;
    for (const NearbyZip& z : all) {
        if (b.reached && z.km != b.radiusKm)
            break;
        const auto f = people.ofRecord(z.record);
        b.people += f && f->population ? *f->population : 0;
        b.records.push_back(z.record);
        if (!b.reached && b.people >= target) {
            b.reached = true;
            b.radiusKm = z.km;
        }
    }
    return b;
}

std::vector<std::uint32_t> recordsOf(const ReachResult& r) {
    std::vector<std::uint32_t> out;
    for (const ReachZip& z : r.zips)
        out.push_back(z.record);
    return out;
}

// The running total is the sum of the figures before it, every line.
void expectRunningTotal(const ReachResult& r, const People& people) {
    std::uint64_t sum = 0;
    for (const ReachZip& z : r.zips) {
        const auto f = people.ofRecord(z.record);
        EXPECT_EQ(z.population, f ? f->population : std::nullopt);
        sum += z.population.value_or(0);
        ASSERT_EQ(z.peopleSoFar, sum);
    }
    EXPECT_EQ(r.people, sum);
}

void expectReachAsBruteForce(const Points& points, const People& people, GeoPoint centre,
                             std::uint64_t target, std::optional<std::uint32_t> record) {
    const ReachResult got = record ? ReachPeople(points, people, *record, target)
                                   : ReachPeople(points, people, centre, target);
    const Brute want = bruteReach(points, people, centre, target, record);
    ASSERT_EQ(got.reached, want.reached) << centre.latitude << "," << centre.longitude;
    if (!want.reached) {
        EXPECT_EQ(got.people, want.people);
        EXPECT_TRUE(got.zips.empty());
        return;
    }
    EXPECT_EQ(recordsOf(got), want.records)
        << centre.latitude << "," << centre.longitude << " " << target;
    EXPECT_EQ(got.radiusKm, want.radiusKm);
    EXPECT_GE(got.people, target);
    expectRunningTotal(got, people);
}

} // namespace

TEST(Reach, SyntheticPeopleReachWhatAddingUpEveryPointGives) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<PointRecord> records;
    std::vector<PeopleRecord> figures;
    for (int i = 0; i < 3000; ++i) {
        PointRecord p;
        if (!records.empty() && unit(random) < 0.2)
            p = records[std::size_t(unit(random) * double(records.size()))]; // a shared point
        else if (unit(random) > 0.03) {
            // Most in the lower 48, some far out in Alaska and the Pacific.
            const bool far = unit(random) < 0.1;
            p.latitude = fixed(far ? 51 + 20 * unit(random) : 25 + 24 * unit(random));
            p.longitude = fixed(far ? -179 + 40 * unit(random) : -124 + 57 * unit(random));
            p.stateFips = 6;
        }
        records.push_back(p);
        PeopleRecord f;
        if (unit(random) < 0.8) // a fifth are boxes without a figure
            f.population = std::uint32_t(unit(random) * 60000);
        figures.push_back(f);
    }
    const Points points = loadPoints(records);
    const People people = loadPeople(figures);
    std::uint64_t everyone = 0;
    for (std::uint32_t r = 0; r < records.size(); ++r)
        if (records[r].hasPosition() && figures[r].population != NoFigure)
            everyone += figures[r].population;

    for (int i = 0; i < 60; ++i) {
        const std::uint32_t record = std::uint32_t(unit(random) * double(records.size()));
        const std::uint64_t target = std::uint64_t(std::exp(unit(random) * std::log(5e7))) + 1;
        if (auto at = points.position(record)) {
            expectReachAsBruteForce(points, people, *at, target, record);
        }
        const GeoPoint somewhere{20 + 50 * unit(random), -170 + 110 * unit(random)};
        expectReachAsBruteForce(points, people, somewhere, target, std::nullopt);
    }

    // Within a radius: exactly Near's list, with the figures added up.
    for (double km : {1.0, 30.0, 400.0, 5000.0}) {
        const GeoPoint centre{40.7, -111.9};
        const ReachResult r = ReachWithin(points, people, centre, km);
        EXPECT_EQ(recordsOf(r), [&] {
            std::vector<std::uint32_t> out;
            for (const NearbyZip& z : Near(points, centre, km).zips)
                out.push_back(z.record);
            return out;
        }());
        EXPECT_EQ(r.radiusKm, km);
        expectRunningTotal(r, people);
    }

    // More people than the data holds: not reached, with everyone the data holds.
    const ReachResult all = ReachPeople(points, people, GeoPoint{40, -100}, everyone + 1);
    EXPECT_FALSE(all.reached);
    EXPECT_EQ(all.people, everyone);
    EXPECT_TRUE(all.zips.empty());
    const ReachResult exactly = ReachPeople(points, people, GeoPoint{40, -100}, everyone);
    EXPECT_TRUE(exactly.reached);
    EXPECT_EQ(exactly.people, everyone);
}

TEST(Reach, ZipCodesAtOneDistanceGoInTogetherAndTheCentreFirst) {
    const std::vector<PointRecord> records = {
        {fixed(40.76), fixed(-111.89), 49, 35}, // 0
        {fixed(40.76), fixed(-111.89), 49, 35}, // 1, same point as 0
        {fixed(40.77), fixed(-111.89), 49, 35}, // 2, 1.1 km north
        {fixed(40.76), fixed(-111.89), 49, 35}, // 3, same point as 0
        {},                                     // 4, no position
        {fixed(40.75), fixed(-111.89), 49, 35}, // 5, 1.1 km south
    };
    std::vector<PeopleRecord> figures(6);
    figures[0].population = 100;
    figures[1].population = 50; // 3 has no figure: a box
    figures[2].population = 1000;
    figures[4].population = 5000;
    figures[5].population = 10;
    const Points points = loadPoints(records);
    const People people = loadPeople(figures);

    // 0 alone holds 100 people; 1 and 3 lie at its very point and go in with it.
    ReachResult r = ReachPeople(points, people, 0u, 100);
    EXPECT_EQ(recordsOf(r), (std::vector<std::uint32_t>{0, 1, 3}));
    EXPECT_EQ(r.radiusKm, 0);
    EXPECT_EQ(r.people, 150u);
    // Around 3, a box, 3 comes first with no people.
    r = ReachPeople(points, people, 3u, 1);
    EXPECT_EQ(recordsOf(r), (std::vector<std::uint32_t>{3, 0, 1}));
    EXPECT_EQ(r.zips[0].population, std::nullopt);
    EXPECT_EQ(r.zips[0].peopleSoFar, 0u);
    EXPECT_EQ(r.zips[1].peopleSoFar, 100u);
    // 5 is a little nearer than 2 (the meridian's degree grows to the north); 2 reaches 1,160.
    r = ReachPeople(points, people, 0u, 151);
    EXPECT_EQ(recordsOf(r), (std::vector<std::uint32_t>{0, 1, 3, 5}));
    EXPECT_EQ(r.people, 160u);
    r = ReachPeople(points, people, 0u, 161);
    EXPECT_EQ(recordsOf(r), (std::vector<std::uint32_t>{0, 1, 3, 5, 2}));
    EXPECT_EQ(r.people, 1160u);
    EXPECT_NEAR(r.radiusKm, 1.11, 0.01);
    // The 5,000 of record 4, which has no position, are nobody's.
    r = ReachPeople(points, people, 0u, 1161);
    EXPECT_FALSE(r.reached);
    EXPECT_EQ(r.people, 1160u);

    EXPECT_EQ(ReachPeople(points, people, 4u, 1).error, NearError::NoPosition);
    EXPECT_EQ(ReachPeople(points, people, GeoPoint{91, 0}, 1).error, NearError::BadPoint);
    EXPECT_EQ(ReachWithin(points, people, 0u, 0).error, NearError::BadRadius);
    EXPECT_FALSE(ReachWithin(points, people, 0u, -1).message().empty());
}

TEST(Reach, RealDataReachesAMillionFromSaltLakeCityAsAddingUpGives) {
    DataSet data;
    data.dir = CORVANA_REAL_DATA_DIR;
    PointsLoad points = LoadPoints(data);
    PeopleLoad people = LoadPeople(data);
    if (points.status != PointsStatus::Loaded || people.status != PeopleStatus::Loaded)
        GTEST_SKIP() << "the real data set has no positions or no population";
    ASSERT_TRUE(LoadInData(data).ok());
    std::optional<std::uint32_t> record;
    ForEachZipRecord(data, OpenZipFile(data), "84101", [&](std::uint32_t n, const ZipRecord&) {
        record = n;
        return false;
    });
    ASSERT_TRUE(record);
    EXPECT_EQ(people.people->ofRecord(*record)->population, 7358u);
    const GeoPoint at = *points.points->position(*record);
    expectReachAsBruteForce(*points.points, *people.people, at, 1'000'000, record);
    std::mt19937 random(5);
    for (int i = 0; i < 10; ++i) {
        const std::uint32_t r =
            std::uint32_t(random() % std::uint32_t(points.points->recordCount()));
        if (auto p = points.points->position(r))
            expectReachAsBruteForce(*points.points, *people.people, *p, 1'000'000, r);
    }
}
