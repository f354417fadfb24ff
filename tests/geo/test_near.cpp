// The spatial index against a brute-force scan of every point: the same ZIP codes in the same
// order for random centres and radii, around the places where a flat or seamed index would go
// wrong (across the 180th meridian, far north, the Pacific territories), on synthetic points and
// on the real data set.
#include "geo/Nearby.h"
#include "geo/Points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>

using namespace corvana;
using namespace corvana::geo;

namespace {

struct Region {
    const char* name;
    double south, north, west, east; // east may pass 180 to cross the meridian
    int count;
};

const Region Regions[] = {
    {"Aleutians", 51.0, 55.5, 172.0, 195.0, 300},
    {"northern Alaska", 66.0, 71.5, -166, -141, 150},
    {"Guam", 13.2, 13.7, 144.6, 145.0, 60},
    {"American Samoa", -14.4, -14.1, -171, -169.4, 40},
    {"Puerto Rico", 17.9, 18.5, -67.3, -65.2, 200},
    {"Hawaii", 18.9, 22.3, -160.3, -154.8, 100},
    {"Utah", 37.0, 42.0, -114.0, -109.0, 400},
    {"the rest", 25.0, 49.0, -124.0, -67.0, 1200},
};

std::int32_t fixed(double degrees) {
    return std::int32_t(std::lround(degrees * PointRecord::PerDegree));
}

double wrapped(double lon) {
    return lon > 180 ? lon - 360 : lon;
}

// Synthetic ZIP records: points spread over the regions, one in five at the very position of an
// earlier one (post-office boxes share their town's point), a few without a position, and the
// two spellings of one point on the 180th meridian.
std::vector<PointRecord> syntheticRecords(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<PointRecord> records;
    for (const Region& r : Regions) {
        for (int i = 0; i < r.count; ++i) {
            PointRecord p;
            if (!records.empty() && unit(random) < 0.2) {
                p = records[std::size_t(unit(random) * double(records.size()))];
            } else if (unit(random) < 0.03) {
                records.push_back(p); // no position
                continue;
            } else {
                p.latitude = fixed(r.south + (r.north - r.south) * unit(random));
                p.longitude = fixed(wrapped(r.west + (r.east - r.west) * unit(random)));
            }
            p.stateFips = 2;
            p.countyFips = std::uint16_t(records.size() % 1000);
            records.push_back(p);
        }
    }
    records.push_back(PointRecord{fixed(52.0), fixed(180.0), 2, 16});
    records.push_back(PointRecord{fixed(52.0), fixed(-180.0), 2, 16});
    return records;
}

Points load(const std::vector<PointRecord>& records, unsigned leafSize = DefaultLeafSize) {
    const std::string bytes = BuildPointsFile(records, leafSize);
    auto points = Points::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!points)
        throw std::runtime_error("the points file just built does not load");
    return std::move(*points);
}

// Every record measured, nearest first, ties in ZIP order after the centre record.
std::vector<NearbyZip> bruteNear(const Points& points, GeoPoint centre, double radiusKm,
                                 std::optional<std::uint32_t> centreRecord = std::nullopt) {
    std::vector<NearbyZip> all;
    for (std::uint32_t r = 0; r < points.recordCount(); ++r)
        if (auto p = points.position(r))
            if (double km = GeodesicKm(centre, *p); km <= radiusKm)
                all.push_back({r, km});
    std::sort(all.begin(), all.end(), NearerFirst{centreRecord});
    return all;
}

std::optional<NearbyZip> bruteNearest(const Points& points, GeoPoint at) {
    std::optional<NearbyZip> best;
    for (std::uint32_t r = 0; r < points.recordCount(); ++r)
        if (auto p = points.position(r)) {
            NearbyZip z{r, GeodesicKm(at, *p)};
            if (!best || z.km < best->km)
                best = z;
        }
    return best;
}

// Radii from 0.1 to 3,000 miles, evenly on a log scale.
double randomRadiusKm(std::mt19937& random) {
    std::uniform_real_distribution<double> exponent(std::log(0.1), std::log(3000.0));
    return std::exp(exponent(random)) * KmPerMile;
}

GeoPoint randomPointNear(const Region& r, std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0, 1);
    return GeoPoint{std::clamp(r.south - 1 + (r.north - r.south + 2) * unit(random), -90.0, 90.0),
                    wrapped(r.west - 1 + (r.east - r.west + 2) * unit(random))};
}

// Random centres (points near each region, and ZIP codes' own positions) and radii.
void expectSameAsBruteForce(const Points& points, unsigned seed, int perRegion) {
    std::mt19937 random(seed);
    std::vector<std::uint32_t> positioned;
    for (std::uint32_t r = 0; r < points.recordCount(); ++r)
        if (points.position(r))
            positioned.push_back(r);
    for (const Region& region : Regions) {
        for (int i = 0; i < perRegion; ++i) {
            const double radius = randomRadiusKm(random);
            const GeoPoint centre = randomPointNear(region, random);
            NearResult got = Near(points, centre, radius);
            ASSERT_EQ(got.error, NearError::None);
            ASSERT_EQ(got.zips, bruteNear(points, centre, radius))
                << region.name << " " << centre.latitude << "," << centre.longitude << " r "
                << radius << " km";
        }
    }
    std::uniform_int_distribution<std::size_t> pick(0, positioned.size() - 1);
    for (int i = 0; i < perRegion * 4; ++i) {
        const std::uint32_t zip = positioned[pick(random)];
        const double radius = randomRadiusKm(random);
        NearResult got = Near(points, zip, radius);
        ASSERT_FALSE(got.zips.empty());
        EXPECT_EQ(got.zips.front(), (NearbyZip{zip, 0}));
        ASSERT_EQ(got.zips, bruteNear(points, *points.position(zip), radius, zip))
            << "around record " << zip << " r " << radius << " km";
    }
}

void expectNearestAsBruteForce(const Points& points, unsigned seed, int perRegion) {
    std::mt19937 random(seed);
    std::vector<GeoPoint> probes = {{0, -150}, {-40, 80}, {90, 0}, {-90, 0}, {52, 180}, {0, 0}};
    for (const Region& region : Regions)
        for (int i = 0; i < perRegion; ++i)
            probes.push_back(randomPointNear(region, random));
    for (GeoPoint at : probes) {
        auto got = Nearest(points, at);
        auto want = bruteNearest(points, at);
        ASSERT_EQ(got.has_value(), want.has_value());
        if (got) {
            EXPECT_EQ(*got, *want) << at.latitude << "," << at.longitude;
        }
    }
}

} // namespace

TEST(Near, SyntheticPointsGiveWhatEveryPointMeasuredGives) {
    const auto records = syntheticRecords(1);
    const Points points = load(records);
    expectSameAsBruteForce(points, 11, 20);
    expectNearestAsBruteForce(points, 12, 20);
}

TEST(Near, AnyLeafSizeAndAnyOrderOfTheListGiveTheSameAnswers) {
    // The reader computes the boxes from the points, so a badly ordered list is slow, never
    // wrong: the places of a good file are shuffled here.
    const auto records = syntheticRecords(2);
    std::string bytes = BuildPointsFile(records, 4);
    const std::size_t listAt = PointsHeader::Size + records.size() * PointRecord::Size;
    std::vector<std::vector<std::uint16_t>> places;
    for (std::size_t at = listAt; at < bytes.size(); at += 2) {
        const std::uint16_t r = loadU16(reinterpret_cast<const std::uint8_t*>(&bytes[at]));
        const bool same = !places.empty() &&
                          records[places.back().back()].latitude == records[r].latitude &&
                          records[places.back().back()].longitude == records[r].longitude;
        if (!same)
            places.emplace_back();
        places.back().push_back(r);
    }
    std::shuffle(places.begin(), places.end(), std::mt19937(3));
    bytes.resize(listAt);
    for (const auto& place : places)
        for (std::uint16_t r : place)
            storeU16(bytes, r);
    auto shuffled = Points::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(shuffled);
    expectSameAsBruteForce(*shuffled, 21, 4);
    for (unsigned leaf : {1u, 3u, 64u, 255u})
        expectSameAsBruteForce(load(records, leaf), 22 + leaf, 2);
}

TEST(Near, CentreFirstThenItsNeighboursAtTheSamePointThenTheRest) {
    std::vector<PointRecord> records = {
        {fixed(40.76), fixed(-111.89), 49, 35}, // 0
        {fixed(40.76), fixed(-111.89), 49, 35}, // 1, same point as 0
        {fixed(40.77), fixed(-111.89), 49, 35}, // 2, 1.1 km north
        {fixed(40.76), fixed(-111.89), 49, 35}, // 3, same point
        {},                                     // 4, no position
        {fixed(40.75), fixed(-111.89), 49, 35}, // 5, 1.1 km south
    };
    const Points points = load(records);
    auto order = [](const NearResult& r) {
        std::vector<std::uint32_t> out;
        for (const auto& z : r.zips)
            out.push_back(z.record);
        return out;
    };
    EXPECT_EQ(order(Near(points, 3u, 5)), (std::vector<std::uint32_t>{3, 0, 1, 5, 2}));
    EXPECT_EQ(order(Near(points, 0u, 5)), (std::vector<std::uint32_t>{0, 1, 3, 5, 2}));
    EXPECT_EQ(order(Near(points, GeoPoint{40.76, -111.89}, 5)),
              (std::vector<std::uint32_t>{0, 1, 3, 5, 2}));
    EXPECT_EQ(order(Near(points, 3u, 5, 2)), (std::vector<std::uint32_t>{3, 0}));
    EXPECT_EQ(order(Near(points, 3u, 0.001)), (std::vector<std::uint32_t>{3, 0, 1}));
    EXPECT_EQ(Nearest(points, {40.7601, -111.89})->record, 0u);
    EXPECT_EQ(points.countyFips(2), "49035");
    EXPECT_EQ(points.countyFips(4), "");

    // The mistakes a caller can make come back as values, each with its sentence.
    NearResult bad = Near(points, 4u, 5);
    EXPECT_EQ(bad.error, NearError::NoPosition);
    EXPECT_EQ(Near(points, 99u, 5).error, NearError::NoPosition);
    for (double radius : {0.0, -1.0, std::nan(""), HUGE_VAL, 20117.0}) {
        bad = Near(points, 0u, radius);
        EXPECT_EQ(bad.error, NearError::BadRadius) << radius;
        EXPECT_NE(bad.radius, RadiusError::None) << radius;
        EXPECT_FALSE(bad.message().empty());
        EXPECT_TRUE(bad.zips.empty());
    }
    EXPECT_EQ(Near(points, GeoPoint{91, 0}, 5).error, NearError::BadPoint);
    EXPECT_EQ(Near(points, GeoPoint{0, std::nan("")}, 5).error, NearError::BadPoint);
    EXPECT_FALSE(Nearest(points, {0, 181}));
    EXPECT_FALSE(Nearest(load({PointRecord{}, PointRecord{}}), {0, 0}));
    EXPECT_TRUE(Near(load({}), GeoPoint{0, 0}, 100).zips.empty());

    EXPECT_EQ(DistanceKm(points, 0, 4), std::nullopt);
    EXPECT_NEAR(*DistanceKm(points, 0, 2), 1.11, 0.01);
    DistancesFrom from(points, GeoPoint{40.77, -111.89});
    EXPECT_EQ(from.km(2), 0);
    EXPECT_EQ(from.km(4), std::nullopt);
    EXPECT_EQ(from.km(6), std::nullopt);
    EXPECT_EQ(from.km(0), DistanceKm(points, 2, 0));
}

TEST(Near, RealDataGivesWhatEveryPointMeasuredGives) {
    DataSet data;
    data.dir = CORVANA_REAL_DATA_DIR;
    PointsLoad loaded = LoadPoints(data);
    if (loaded.status == PointsStatus::NoLocations)
        GTEST_SKIP() << "the real data set has no positions";
    ASSERT_EQ(loaded.status, PointsStatus::Loaded) << loaded.message;
    expectSameAsBruteForce(*loaded.points, 31, 3);
    expectNearestAsBruteForce(*loaded.points, 32, 3);
}
