// Everything known about one ZIP code: its records, every county with its code, every area code
// and city name, its kind, point, zone and time, and its nearest neighbours of kind standard.
#include "HandData.h"

#include "geo/Distance.h"
#include "geo/Nearby.h"
#include "geo/Points.h"
#include "search/ZipDetails.h"

#include <filesystem>

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;

namespace {

// The points fixture with its facts, user clock in Eastern time (zone 7) at 09:30.
struct DetailsEnv : FixtureEnv {
    geo::PointsLoad points;
    LazyFacts facts{data};

    explicit DetailsEnv(std::string_view name = "points") : FixtureEnv(name) {
        settings.timeZone = 7;
        points = geo::LoadPoints(data);
    }
    DetailsContext ctx(bool withFacts = true) const {
        return DetailsContext{data, settings, TimeContext{false, &clock},
                              points.points ? &*points.points : nullptr,
                              withFacts ? &facts : nullptr};
    }
};

std::vector<std::string> NeighbourZips(const RecordDetails& d) {
    std::vector<std::string> zips;
    for (const auto& n : d.nearest)
        zips.push_back(n.zip);
    return zips;
}

} // namespace

TEST(ZipDetails, EverythingAboutOneZipCode) {
    DetailsEnv env;
    const ZipDetailsResult r = DetailsOfZip(" 84101 ", env.ctx());
    ASSERT_TRUE(r.found()) << r.reason;
    EXPECT_EQ(r.zip, "84101");
    ASSERT_EQ(r.records.size(), 1u);
    const RecordDetails& d = r.records[0];
    EXPECT_EQ(d.record, 4u);
    EXPECT_EQ(d.city, "Salt Lake City");
    EXPECT_EQ(d.state, "UT");
    EXPECT_EQ(d.stateName, "Utah");
    EXPECT_EQ(d.counties, (std::vector<CountyDetails>{{"Salt Lake", "49035"}}));
    EXPECT_TRUE(d.hasMainCounty);
    EXPECT_EQ(d.areaCodes, (std::vector<int>{801, 385}));
    EXPECT_TRUE(d.hasMainAreaCode);
    EXPECT_TRUE(d.otherCities.empty());
    EXPECT_EQ(d.kindName(), "standard");
    ASSERT_TRUE(d.position);
    EXPECT_DOUBLE_EQ(d.position->latitude, 40.75621);
    EXPECT_DOUBLE_EQ(d.position->longitude, -111.9009);
    EXPECT_EQ(d.timeZone, "America/Denver");
    EXPECT_EQ(d.utcOffset, -7);
    EXPECT_TRUE(d.dst);
    EXPECT_EQ(d.zoneLabel, "MST");
    // 09:30 Eastern is 07:30 Mountain, in the C library's "%X".
    EXPECT_EQ(d.localTime, "07:30:00");

    // 84110 shares 84101's point but is a post-office box: the neighbours are standard ones.
    EXPECT_EQ(NeighbourZips(d), (std::vector<std::string>{"84102", "84070", "10001"}));
    for (const auto& n : d.nearest) {
        EXPECT_DOUBLE_EQ(n.km,
                         geo::GeodesicKm(*d.position, *env.points.points->position(n.record)));
        EXPECT_DOUBLE_EQ(n.miles, n.km / geo::KmPerMile);
    }
    EXPECT_EQ(d.nearest[0].city, "Salt Lake City");
    EXPECT_EQ(d.nearest[2].state, "NY");
    EXPECT_NEAR(d.nearest[0].km, 3.23, 0.05);
}

TEST(ZipDetails, FurtherCountiesCodesAndNames) {
    DetailsEnv env;
    // Saint George Island: a further county whose code another ZIP code's main county gives,
    // and the short forms of its name.
    ZipDetailsResult r = DetailsOfZip("99591", env.ctx());
    ASSERT_TRUE(r.found());
    const RecordDetails& island = r.records[0];
    EXPECT_EQ(island.counties,
              (std::vector<CountyDetails>{{"Aleutians West", "02016"}, {"North Slope", "02185"}}));
    EXPECT_EQ(island.otherCities,
              (std::vector<std::string>{"St George Island", "St. George Island"}));
    EXPECT_EQ(island.kind, ZipKind::PoBoxOrUnique);
    EXPECT_EQ(island.timeZone, "America/Anchorage");
    EXPECT_EQ(island.zoneLabel, "GMT -09:00");

    // A further county no ZIP code has as its main one has no code.
    r = DetailsOfZip("84070", env.ctx());
    EXPECT_EQ(r.records.at(0).counties,
              (std::vector<CountyDetails>{{"Salt Lake", "49035"}, {"Utah", ""}}));
    // Every overlay, main code first.
    r = DetailsOfZip("10001-0001", env.ctx());
    EXPECT_EQ(r.records.at(0).areaCodes, (std::vector<int>{212, 332, 646, 917}));

    // Capitals as the settings ask.
    env.settings.citiesInCaps = true;
    env.settings.countiesInCaps = true;
    r = DetailsOfZip("99591", env.ctx());
    EXPECT_EQ(r.records.at(0).city, "SAINT GEORGE ISLAND");
    EXPECT_EQ(r.records.at(0).otherCities.at(1), "ST. GEORGE ISLAND");
    EXPECT_EQ(r.records.at(0).counties.at(1).name, "NORTH SLOPE");
}

TEST(ZipDetails, TextsThatFindNoPlace) {
    DetailsEnv env;
    ZipDetailsResult r = DetailsOfZip("8410", env.ctx());
    EXPECT_EQ(r.outcome, DetailsOutcome::NotZipText);
    EXPECT_EQ(r.reason, "\"8410\" is not a ZIP code (five digits wanted).");
    for (const char* text : {"", "abcde", "84101-12", "841011", "84 101"})
        EXPECT_EQ(DetailsOfZip(text, env.ctx()).outcome, DetailsOutcome::NotZipText) << text;

    r = DetailsOfZip("84103", env.ctx());
    EXPECT_EQ(r.outcome, DetailsOutcome::NotFound);
    EXPECT_EQ(r.reason, "The ZIP code 84103 is not in the data.");
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.records.empty());
    // A prefix the data has no block for.
    EXPECT_EQ(DetailsOfZip("55555", env.ctx()).outcome, DetailsOutcome::NotFound);

    // A military post office: its record, but no place, zone or neighbours.
    r = DetailsOfZip("09001", env.ctx());
    EXPECT_EQ(r.outcome, DetailsOutcome::Military);
    EXPECT_FALSE(r.found());
    EXPECT_EQ(r.reason, "The ZIP code 09001 belongs to a military post office (APO, FPO or DPO), "
                        "which has no place.");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].kind, ZipKind::Military);
    EXPECT_FALSE(r.records[0].position);
    EXPECT_TRUE(r.records[0].timeZone.empty());
    EXPECT_FALSE(r.records[0].utcOffset);
    EXPECT_TRUE(r.records[0].localTime.empty());
    EXPECT_TRUE(r.records[0].nearest.empty());
}

TEST(ZipDetails, DataWithoutFactsAnswersFromTheZipRecord) {
    DetailsEnv env;
    // The points fixture read as if it had no facts file: neighbours of every kind.
    ZipDetailsResult r = DetailsOfZip("84101", env.ctx(false));
    ASSERT_TRUE(r.found());
    EXPECT_EQ(r.records[0].kind, ZipKind::Unknown);
    EXPECT_EQ(r.records[0].kindName(), "");
    EXPECT_EQ(r.records[0].timeZone, "");
    EXPECT_EQ(r.records[0].areaCodes, (std::vector<int>{801}));
    EXPECT_EQ(r.records[0].counties, (std::vector<CountyDetails>{{"Salt Lake", "49035"}}));
    EXPECT_EQ(NeighbourZips(r.records[0]), (std::vector<std::string>{"84110", "84102", "84070"}));
    // The military ZIP code still is one, by its state.
    EXPECT_EQ(DetailsOfZip("09001", env.ctx(false)).outcome, DetailsOutcome::Military);

    // A data set built from a table without the columns, and without positions.
    DetailsEnv small("small");
    EXPECT_EQ(small.facts.get().status, FactsStatus::Missing);
    r = DetailsOfZip("97006", small.ctx());
    ASSERT_TRUE(r.found());
    EXPECT_EQ(r.records[0].city, "Aloha");
    EXPECT_EQ(r.records[0].counties, (std::vector<CountyDetails>{{"Washington", ""}}));
    EXPECT_EQ(r.records[0].areaCodes, (std::vector<int>{503}));
    EXPECT_EQ(r.records[0].zoneLabel, "PST");
    EXPECT_FALSE(r.records[0].position);
    EXPECT_TRUE(r.records[0].nearest.empty());
}

TEST(ZipDetails, ADamagedFactsFileIsAFatalError) {
    TempDir dir;
    std::filesystem::copy(fixtureDir("points"), dir.path());
    const std::string facts = readFile(dir.path() / "ZIPFACTS.DAT");
    dir.write("ZIPFACTS.DAT", facts.substr(0, facts.size() - 1));
    DataSet data;
    data.dir = dir.str();
    ASSERT_TRUE(LoadInData(data).ok());
    const Settings settings = PlainSettings();
    const LazyFacts lazy(data);
    const ZipDetailsResult r =
        DetailsOfZip("84101", DetailsContext{data, settings, {}, nullptr, &lazy});
    EXPECT_EQ(r.fatal, Fatal(msg::FactsCorrupt));
    EXPECT_TRUE(r.records.empty());
    EXPECT_FALSE(r.found());
    // A text that is no ZIP code needs no file.
    EXPECT_EQ(DetailsOfZip("x", DetailsContext{data, settings, {}, nullptr, &lazy}).outcome,
              DetailsOutcome::NotZipText);
}

TEST(ZipDetails, LookupColumnValues) {
    DetailsEnv env;
    const ZipFacts* facts = env.facts.facts();
    ASSERT_TRUE(facts);
    auto value = [&](std::string_view column, std::uint32_t record) {
        return FactColumnValue(*FactColumnOf(column), facts, record, env.settings);
    };
    EXPECT_EQ(value("kind", 10), "po_box_or_unique");
    EXPECT_EQ(value("kind", 1), "military");
    EXPECT_EQ(value("time_zone", 10), "America/Anchorage");
    EXPECT_EQ(value("time_zone", 1), "");
    EXPECT_EQ(value("other_counties", 10), "North Slope");
    EXPECT_EQ(value("other_counties", 4), "");
    EXPECT_EQ(value("other_area_codes", 2), "332;646;917");
    EXPECT_EQ(value("other_area_codes", 4), "385");
    EXPECT_EQ(value("other_cities", 10), "St George Island;St. George Island");
    // Past the end, and without facts: empty.
    EXPECT_EQ(value("kind", 99), "");
    EXPECT_EQ(value("other_cities", 99), "");
    EXPECT_EQ(FactColumnValue(FactColumn::Kind, nullptr, 4, env.settings), "");
    EXPECT_FALSE(FactColumnOf("kinds"));
    for (std::string_view name : FactColumnNames)
        EXPECT_EQ(FactColumnNames[std::size_t(*FactColumnOf(name))], name);
    env.settings.countiesInCaps = true;
    EXPECT_EQ(value("other_counties", 10), "NORTH SLOPE");
}

TEST(KindChoices, NearAndNearestKeepTheChosenKinds) {
    DetailsEnv env;
    const geo::Points& points = *env.points.points;
    const ZipFacts* facts = env.facts.facts();
    const KindChoice standard{KindSet::standardOnly(), facts};
    const geo::GeoPoint slc = *points.position(4);
    auto records = [](const geo::NearResult& r) {
        std::vector<std::uint32_t> out;
        for (const auto& z : r.zips)
            out.push_back(z.record);
        return out;
    };
    // Every kind by default; standard leaves out the post-office box at 84101's point.
    EXPECT_EQ(records(geo::Near(points, slc, 30)), (std::vector<std::uint32_t>{4, 6, 5, 3}));
    EXPECT_EQ(records(geo::Near(points, slc, 30, geo::NoLimit, standard)),
              (std::vector<std::uint32_t>{4, 5, 3}));
    EXPECT_EQ(records(geo::Near(points, slc, 30, geo::NoLimit,
                                {KindSet::of({ZipKind::PoBoxOrUnique}), facts})),
              (std::vector<std::uint32_t>{6}));
    // Around a ZIP code, the centre stays whatever its kind.
    EXPECT_EQ(records(geo::Near(points, std::uint32_t(6), 30, geo::NoLimit, standard)),
              (std::vector<std::uint32_t>{6, 4, 5, 3}));
    // Without facts nothing is left out.
    EXPECT_EQ(records(geo::Near(points, slc, 30, geo::NoLimit, {KindSet::standardOnly(), nullptr})),
              (std::vector<std::uint32_t>{4, 6, 5, 3}));

    // At Saint George Island's own point the nearest ZIP code is itself; of kind standard, Adak.
    const geo::GeoPoint island = *points.position(10);
    EXPECT_EQ(geo::Nearest(points, island)->record, 10u);
    EXPECT_EQ(geo::Nearest(points, island, {})->record, 10u);
    const auto adak = geo::Nearest(points, island, standard);
    ASSERT_TRUE(adak);
    EXPECT_EQ(adak->record, 9u);
    EXPECT_DOUBLE_EQ(adak->km, geo::GeodesicKm(island, *points.position(9)));
    EXPECT_FALSE(geo::Nearest(points, geo::GeoPoint{91, 0}, standard));

    // The n nearest, fewer when fewer qualify: every standard ZIP code with a position.
    const auto all = geo::NearestZips(points, island, 50, standard, {9});
    EXPECT_EQ(all.size(), 8u);
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LE(all[i - 1].km, all[i].km);
    EXPECT_EQ(all.front().record, 11u); // Barrow, once Adak is skipped
    EXPECT_TRUE(geo::NearestZips(points, island, 0, standard).empty());
}

TEST(KindChoices, ListsOfKinds) {
    EXPECT_EQ(KindSet::parse("all"), KindSet::all());
    EXPECT_EQ(KindSet::parse(" standard "), KindSet::standardOnly());
    const auto two = KindSet::parse("military, standard");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->text(), "standard,military");
    EXPECT_TRUE(two->has(ZipKind::Military));
    EXPECT_FALSE(two->has(ZipKind::PoBoxOrUnique));
    EXPECT_TRUE(two->has(ZipKind::Unknown)); // what the data does not say passes
    EXPECT_EQ(KindSet::parse("standard,po_box_or_unique,military"), KindSet::all());
    EXPECT_EQ(KindSet::all().text(), "all");
    for (const char* bad : {"", "standard,", ",military", "Standard", "po box", "all,standard"})
        EXPECT_FALSE(KindSet::parse(bad)) << bad;
}
