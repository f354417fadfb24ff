// The outline file as the map reads it: the real file's places and where known points lie,
// a hand-made file's shapes (a hole, an island across the 180th meridian), the format's records
// against an encoder of the tests' own, and boxes of longitude around the globe.
#include "OutlineBuilder.h"

#include "map/Geo.h"
#include "map/OutlineFormat.h"
#include "map/Outlines.h"

#include <gtest/gtest.h>

#include <limits>

using namespace corvana;
using namespace corvana::map;
using corvana::test::twoStates;

namespace {

std::span<const std::uint8_t> span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

const Outlines& real() {
    static const OutlineLoad load =
        loadOutlines(std::string(CORVANA_BIN_DIR) + "/" + OutlineFileName);
    if (!load.outlines)
        throw std::runtime_error(load.error);
    return *load.outlines;
}

int fipsAt(const Outlines& o, GeoPoint p, bool county) {
    const auto* r = county ? o.countyAt(p) : o.stateAt(p);
    return r ? r->fips : 0;
}

} // namespace

TEST(RealOutlines, HoldEveryStateTerritoryAndCountyByFips) {
    const Outlines& o = real();
    EXPECT_EQ(o.states().size(), 56u); // 50 states, DC, PR, VI, GU, AS, MP
    EXPECT_EQ(o.counties().size(), 3231u);
    ASSERT_TRUE(o.state(49));
    EXPECT_EQ(o.state(49)->name, "Utah");
    EXPECT_EQ(o.state(49)->abbrev, "UT");
    EXPECT_EQ(o.stateByAbbrev("GU")->fips, 66);
    EXPECT_EQ(o.stateByAbbrev("ZZ"), nullptr);
    EXPECT_EQ(o.county(49035)->name, "Salt Lake");
    EXPECT_EQ(o.county(72097)->name, "Mayag\xC3\xBC"
                                     "ez");
    EXPECT_EQ(o.county(49036), nullptr);
    for (const auto& c : o.counties())
        EXPECT_TRUE(o.state(c.fips / 1000)) << c.fips;
    // Every border is one arc: state lines are some of the arcs, county lines the rest.
    std::size_t stateLines = 0;
    for (const auto& a : o.arcs())
        stateLines += a.stateLine;
    EXPECT_GT(stateLines, 1000u);
    EXPECT_LT(stateLines, o.arcs().size() / 2);
    // The country runs from Guam eastwards across the 180th meridian to the Virgin Islands.
    EXPECT_NEAR(o.bounds().west, 144.6, 0.1);
    EXPECT_NEAR(o.bounds().east - 360, -64.6, 0.1);
    EXPECT_NEAR(o.bounds().south, -14.4, 0.1); // American Samoa
}

TEST(RealOutlines, KnownPointsLieInTheirStateAndCounty) {
    const Outlines& o = real();
    struct Case {
        const char* where;
        GeoPoint at;
        int state, county;
    };
    const Case cases[] = {
        {"Salt Lake City", {40.761, -111.891}, 49, 49035},
        {"Springfield, IL (the state's ring closes a step short)", {39.80, -89.65}, 17, 17167},
        {"Honolulu", {21.31, -157.86}, 15, 15003},
        {"San Juan", {18.45, -66.06}, 72, 72127},
        {"Hagatna, Guam", {13.47, 144.75}, 66, 66010},
        {"Adak, west of 180 W", {51.87, -176.65}, 2, 2016},
        {"Attu, east of 180 E", {52.85, 173.2}, 2, 2016},
        {"Washington", {38.90, -77.03}, 11, 11001},
        {"Lake Michigan", {43.5, -87.0}, 0, 0},
        {"Gulf of Mexico", {25.0, -90.0}, 0, 0},
        {"Ottawa", {45.42, -75.70}, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fipsAt(o, c.at, false), c.state) << c.where;
        EXPECT_EQ(fipsAt(o, c.at, true), c.county) << c.where;
    }
}

TEST(HandMadeOutlines, ShapesHolesAndTheMeridian) {
    const std::string bytes = twoStates().bytes();
    OutlineLoad load = parseOutlines(span(bytes));
    ASSERT_TRUE(load.outlines) << load.error;
    const Outlines& o = *load.outlines;
    ASSERT_EQ(o.states().size(), 2u);
    EXPECT_EQ(o.state(12)->name, "Ost\xC3\xA9");
    EXPECT_EQ(o.stateByAbbrev("WS")->fips, 11);
    EXPECT_EQ(fipsAt(o, {42, 15}, false), 11);
    EXPECT_EQ(fipsAt(o, {45, 25}, false), 12);
    // The small county is a hole of the one around it.
    EXPECT_EQ(fipsAt(o, {45, 15}, true), 11003);
    EXPECT_EQ(fipsAt(o, {45, 12}, true), 11001);
    EXPECT_FALSE(o.contains(*o.county(11001), {45, 15}));
    // The island reaches from 179 E to 179 W.
    for (double lon : {179.5, -179.5, 180.0})
        EXPECT_EQ(fipsAt(o, {11, lon}, false), 12) << lon;
    EXPECT_EQ(fipsAt(o, {11, 178.5}, false), 0);
    const GeoBox& east = o.state(12)->box;
    EXPECT_NEAR(east.west, 20, 1e-9);
    EXPECT_NEAR(east.east, 181, 1e-9);
    // Lines shared by the two states are state lines; the small county's is not.
    EXPECT_TRUE(o.arcs()[0].stateLine);
    EXPECT_FALSE(o.arcs()[3].stateLine);
    EXPECT_EQ(o.refs(o.rings()[1])[0], ~0);
    EXPECT_NEAR(o.points(o.arcs()[1])[1].longitude, 10, 1e-9);
    EXPECT_NEAR(o.points(o.arcs()[1])[1].latitude, 50, 1e-9);
}

TEST(HandMadeOutlines, TheGridsEndsAreTheBoxsEdgesExactly) {
    // A box whose width in degrees has no exact double: a point at the east end must not lie
    // a rounding past 180 degrees.
    corvana::test::OutlineBuilder b;
    b.steps = 3601;
    b.west = -179.9969024;
    b.arcs = {{{0, 0}, {3600, 0}, {3600, 3600}, {0, 3600}, {0, 0}}};
    b.states = {{1, "Edge", "ED", {{0}}}};
    const std::string bytes = b.bytes();
    OutlineLoad load = parseOutlines(span(bytes));
    ASSERT_TRUE(load.outlines) << load.error;
    auto pts = load.outlines->points(load.outlines->arcs()[0]);
    EXPECT_EQ(pts[1].longitude, 180.0);
    EXPECT_EQ(pts[2].latitude, 90.0);
    EXPECT_EQ(pts[0].longitude, -179.9969024);
    EXPECT_EQ(pts[0].latitude, -90.0);
}

TEST(OutlineFormat, RecordsDecodeAndEncodeAsTheTestsWriteThem) {
    const std::string bytes = twoStates().bytes();
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    auto h = format::Header::decode(p);
    EXPECT_EQ(h.steps, 36001u);
    EXPECT_EQ(h.west, -1800000000);
    EXPECT_EQ(h.countyCount, 3u);
    std::string again;
    h.encode(again);
    EXPECT_EQ(again, bytes.substr(0, format::Header::Size));
    auto s = format::PlaceRecord::decode(p + format::Header::Size);
    EXPECT_EQ(s.abbrev(), "WS");
    std::string state;
    s.encode(state);
    EXPECT_EQ(state, bytes.substr(format::Header::Size, format::PlaceRecord::Size));
    const std::size_t countyAt = format::Header::Size + 2 * format::PlaceRecord::Size;
    auto c = format::PlaceRecord::decode(p + countyAt);
    EXPECT_EQ(c.state * 1000 + c.countyCode(), 11001);
    std::string county;
    c.encode(county);
    EXPECT_EQ(county, bytes.substr(countyAt, format::PlaceRecord::Size));
}

TEST(OutlineFormat, VarintsRoundTripAndOverlongOnesAreRefused) {
    for (std::uint32_t v : {0u, 1u, 127u, 128u, 16383u, 16384u, 0xFFFFFFFFu}) {
        std::string s;
        format::storeVarint(s, v);
        auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
        std::uint32_t back = 1;
        EXPECT_TRUE(format::readVarint(p, p + s.size(), back));
        EXPECT_EQ(back, v);
        EXPECT_EQ(p, reinterpret_cast<const std::uint8_t*>(s.data()) + s.size());
        // One byte short.
        p = reinterpret_cast<const std::uint8_t*>(s.data());
        EXPECT_FALSE(format::readVarint(p, p + s.size() - 1, back));
    }
    for (std::int32_t v : {0, -1, 1, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max()})
        EXPECT_EQ(format::unzigzag(format::zigzag(v)), v);
    const std::uint8_t tooBig[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x10};
    const std::uint8_t tooLong[] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x00};
    for (auto* bytes : {tooBig, tooLong}) {
        const std::uint8_t* p = bytes;
        std::uint32_t v = 0;
        EXPECT_FALSE(format::readVarint(p, bytes + 6, v));
    }
}

TEST(GeoBox, AroundTakesTheShortWayAcrossThe180thMeridian) {
    const GeoPoint aleutians[] = {{52.9, 172.9}, {51.2, -179.0}, {53.9, -166.5}};
    GeoBox b = GeoBox::around(aleutians);
    EXPECT_NEAR(b.west, 172.9, 1e-9);
    EXPECT_NEAR(b.east, 193.5, 1e-9);
    EXPECT_NEAR(b.centre().longitude, -176.8, 1e-9);
    EXPECT_TRUE(b.contains({52, 179.9}));
    EXPECT_TRUE(b.contains({52, -170}));
    EXPECT_FALSE(b.contains({52, -160}));
    EXPECT_FALSE(b.contains({52, 170}));

    const GeoPoint lower48[] = {{48.4, -124.7}, {44.8, -67.0}, {24.5, -81.8}};
    b = GeoBox::around(lower48);
    EXPECT_NEAR(b.west, -124.7, 1e-9);
    EXPECT_NEAR(b.east, -67.0, 1e-9);

    // Boxes: the widest gap between them is left out, whichever box comes first.
    const GeoBox guamAndMaine[] = {
        {-71, -67, 43, 47}, {144.6, 145.0, 13, 14}, {-160, -150, 18, 22}};
    b = GeoBox::around(guamAndMaine);
    EXPECT_NEAR(b.west, 144.6, 1e-9);
    EXPECT_NEAR(b.east, 293.0, 1e-9);
    EXPECT_NEAR(b.south, 13, 1e-9);
    EXPECT_NEAR(b.north, 47, 1e-9);
    // A box that reaches around the globe, and points all around it.
    const GeoBox wide[] = {{-10, 355, 0, 1}};
    EXPECT_EQ(GeoBox::around(wide).width(), 360);
    const GeoPoint ring[] = {{0, 0}, {0, 90}, {0, 180}, {0, -90}};
    EXPECT_NEAR(GeoBox::around(ring).width(), 270, 1e-9);
    EXPECT_TRUE(GeoBox::around(std::span<const GeoPoint>()).empty());
    EXPECT_DOUBLE_EQ(wrapLongitude(180), -180);
    EXPECT_DOUBLE_EQ(wrapLongitude(-540.5), 179.5);
}
