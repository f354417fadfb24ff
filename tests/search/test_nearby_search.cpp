// The list of nearby ZIP codes: nearest first whatever the names, the same lines as every other
// ZIP list, each with its distance, under a heading that names the radius and the centre.
#include "HandData.h"

#include "geo/Points.h"
#include "output/CopyOutput.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;

namespace {

std::vector<std::string> Zips(const SearchResult& r) {
    std::vector<std::string> zips;
    for (const auto& item : r.items)
        zips.push_back(item.record() ? ListedZipCode(item) : item.text);
    return zips;
}

} // namespace

TEST(NearbySearch, NearestFirstWithTheLinesOfAZipList) {
    FixtureEnv env("points");
    const geo::PointsLoad load = geo::LoadPoints(env.data);
    ASSERT_TRUE(load.points);
    constexpr std::uint32_t Centre = 4; // 84101; 84110 shares its post office's point

    SearchResult r = SearchNearby(*load.points, Centre, 10, env.ctx());
    EXPECT_TRUE(r.listShown && r.outputControls && r.cleared);
    EXPECT_EQ(r.heading->text, "Zip Codes Within 10 Miles Of 84101");
    EXPECT_EQ(r.heading->holds, ItemKind::Zip);
    EXPECT_EQ(r.nearby, (NearbyCentre{Centre, 10}));
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84101", "84110", "84102"}));
    EXPECT_EQ(r.items[0].as<ZipItem>()->km, 0.0);
    EXPECT_NEAR(*r.items[2].as<ZipItem>()->km, 3.23, 0.05);

    // Sandy is about 12 miles south: in at 15, and last.
    r = SearchNearby(*load.points, Centre, 15, env.ctx());
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84101", "84110", "84102", "84070"}));
    // Each line reads as the ZIP search's line of the same code, then its distance.
    const SearchResult byZip = SearchTheZip("84070", env.ctx());
    ASSERT_EQ(byZip.items.size(), 1u);
    EXPECT_EQ(r.items[3].text, byZip.items[0].text + "  12.2 mi (19.7 km)");
    EXPECT_EQ(r.items[0].text, "84101 Salt Lake City, UT  0.0 mi (0.0 km)");
    EXPECT_EQ(r.items[2].text, "84102 Salt Lake City, UT  2.0 mi (3.2 km)");

    // Copy and print write every format as for the same ZIP codes listed without distances.
    std::vector<ZipItem> plain;
    for (const ResultItem& item : r.items)
        plain.push_back(*item.as<ZipItem>());
    const SearchResult lines = ZipLinesOf(plain, heading::PossibleZipCodes, env.ctx());
    EXPECT_EQ(lines.items[3].text, byZip.items[0].text);
    env.settings.showCounty = true;
    for (int format = 0; format < int(OutputFormats.size()); ++format)
        EXPECT_EQ(CollectOutput(r.items, format, env.data, env.settings).text,
                  CollectOutput(lines.items, format, env.data, env.settings).text)
            << format;

    EXPECT_EQ(SearchNearby(*load.points, Centre, 2.5, env.ctx()).heading->text,
              "Zip Codes Within 2.5 Miles Of 84101");
    EXPECT_EQ(SearchNearby(*load.points, Centre, 1, env.ctx()).heading->text,
              "Zip Codes Within 1 Mile Of 84101");
}

TEST(NearbySearch, ARadiusInKilometersKeepsItsUnit) {
    FixtureEnv env("points");
    const geo::PointsLoad load = geo::LoadPoints(env.data);
    ASSERT_TRUE(load.points);
    constexpr std::uint32_t Centre = 4;                   // 84101
    const NearbyRadius km{24.14016, geo::LengthUnit::Km}; // 15 miles
    const SearchResult r = SearchNearby(*load.points, Centre, km, env.ctx());
    EXPECT_EQ(r.heading->text, "Zip Codes Within 24.1402 Kilometers Of 84101");
    // The same ZIP codes as the same radius in miles; the map's circle is in miles.
    EXPECT_EQ(Zips(r), Zips(SearchNearby(*load.points, Centre, 15, env.ctx())));
    EXPECT_NEAR(r.nearby->radiusMiles, 15, 1e-9);
    EXPECT_EQ(SearchNearby(*load.points, geo::GeoPoint{40.7, -111.9}, "40.7,-111.9",
                           NearbyRadius{1, geo::LengthUnit::Km}, env.ctx())
                  .heading->text,
              "Zip Codes Within 1 Kilometer Of 40.7,-111.9");
    EXPECT_EQ(NearbyHeading(NearbyRadius{2.5, geo::LengthUnit::Miles}, "84101"),
              NearbyHeading(2.5, "84101"));
}

TEST(NearbySearch, AMilitaryPostOfficeHasNoNeighbours) {
    FixtureEnv env("points");
    const geo::PointsLoad load = geo::LoadPoints(env.data);
    ASSERT_TRUE(load.points);
    const SearchResult r = SearchNearby(*load.points, 1, 3000, env.ctx()); // 09001 APO AE
    EXPECT_EQ(r.heading->text, "Zip Codes Within 3000 Miles Of 09001");
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(r.items[0].kind(), ItemKind::NoMatch);
}

TEST(NearbySearch, AroundAPointAndOfGivenZipCodes) {
    FixtureEnv env("points");
    const geo::PointsLoad load = geo::LoadPoints(env.data);
    ASSERT_TRUE(load.points);
    constexpr std::uint32_t Centre = 4; // 84101

    // Around 84101's own point: the same lines and distances, but no ZIP code is the centre.
    const SearchResult byZip = SearchNearby(*load.points, Centre, 15, env.ctx());
    SearchResult r = SearchNearby(*load.points, *load.points->position(Centre), "40.75621,-111.9",
                                  15, env.ctx());
    EXPECT_EQ(r.heading->text, "Zip Codes Within 15 Miles Of 40.75621,-111.9");
    EXPECT_FALSE(r.nearby);
    EXPECT_EQ(r.items, byZip.items);
    r = SearchNearby(*load.points, geo::GeoPoint{0, 0}, "0,0", 100, env.ctx());
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(r.items[0].kind(), ItemKind::NoMatch);

    // Lines of given records in the order given, each with the distance it was given
    r = ZipLinesOf({ZipItem(5, 3.2), ZipItem(1)}, heading::PossibleZipCodes, env.ctx());
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84102", "09001"}));
    EXPECT_EQ(r.items[0].as<ZipItem>()->km, 3.2);
    EXPECT_FALSE(r.items[1].as<ZipItem>()->km);
    EXPECT_EQ(r.heading, heading::PossibleZipCodes);

    env.data.dir = "/nonexistent";
    r = ZipLinesOf({ZipItem(5)}, heading::PossibleZipCodes, env.ctx());
    EXPECT_EQ(r.fatal, Fatal("Zip Code File could not be found."));
}

TEST(NearbySearch, KindsLeaveOutBoxesButNeverTheCentre) {
    FixtureEnv env("points");
    const geo::PointsLoad load = geo::LoadPoints(env.data);
    ASSERT_TRUE(load.points);
    const FactsLoad facts = LoadFacts(env.data);
    ASSERT_TRUE(facts.facts);
    const KindChoice standard{KindSet::standardOnly(), &*facts.facts};

    // 84110 is a post-office box on 84101's point.
    SearchResult r = SearchNearby(*load.points, 4, 10, env.ctx(), standard);
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84101", "84102"}));
    EXPECT_EQ(r.heading->text, "Zip Codes Within 10 Miles Of 84101");
    // Around the box itself: the box stays, as the centre.
    r = SearchNearby(*load.points, 6, 10, env.ctx(), standard);
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84110", "84101", "84102"}));
    r = SearchNearby(*load.points, *load.points->position(4), "here", 10, env.ctx(), standard);
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84101", "84102"}));
    // Without facts every kind is kept.
    r = SearchNearby(*load.points, 4, 10, env.ctx(), KindChoice{KindSet::standardOnly(), nullptr});
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"84101", "84110", "84102"}));
}
