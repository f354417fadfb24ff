// The names on the map without a painter: placing them apart from each other, the dots and the
// edges; which names a view asks for on the real outlines; where an area's name goes; the scale
// bar's round lengths; and ZIP codes that share a point.
#include "map/Labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace corvana::map;

namespace {

const Outlines& real() {
    static const OutlineLoad load =
        loadOutlines(std::string(CORVANA_BIN_DIR) + "/" + OutlineFileName);
    if (!load.outlines)
        throw std::runtime_error(load.error);
    return *load.outlines;
}

// Seven pixels a character, twelve high: a font of fixed width.
TextSize fixedWidth(const LabelRequest& r, bool shortForm) {
    return {7.0 * double((shortForm ? r.shortText : r.text).size()), 12};
}

// The view of a MapView fitted to a box, as the canvas hands it over.
Projection viewOf(GeoBox box, double width, double height) {
    Projection p;
    p.centre = box.centre();
    p.width = width;
    p.height = height;
    const double c = std::cos(p.centre.latitude * 3.141592653589793 / 180);
    p.scale = std::min(width / (box.width() * c), height / box.height());
    p.xScale = p.scale * c;
    return p;
}

std::set<std::string> names(const std::vector<LabelRequest>& requests, LabelKind kind) {
    std::set<std::string> out;
    for (const auto& r : requests)
        if (r.kind == kind)
            out.insert(r.text);
    return out;
}

} // namespace

TEST(PlaceLabels, KeepsNamesApartFromEachOtherTheDotsAndTheEdges) {
    // Three names on one spot: the first takes it, the next two move above and below.
    std::vector<LabelRequest> requests(3, LabelRequest{LabelKind::City, "Ogden", {}, 100, 100});
    auto placed = PlaceLabels(requests, {}, 400, 300, fixedWidth);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_DOUBLE_EQ(placed[0].box.left, 100 - 17.5);
    EXPECT_DOUBLE_EQ(placed[0].box.top, 94);
    for (std::size_t i = 0; i < placed.size(); ++i)
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(placed[i].box.overlaps(placed[j].box));

    // A dot under the spot pushes the name off it, and a name beside a dot keeps its gap.
    const DotMark dot{100, 100, 4};
    placed = PlaceLabels(std::span(requests).first(1), std::span(&dot, 1), 400, 300, fixedWidth);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_FALSE(placed[0].box.overlaps({96, 96, 104, 104}));
    const LabelRequest zip{LabelKind::Zip, "84101", {}, 100, 100, 0, 4};
    placed = PlaceLabels(std::span(&zip, 1), std::span(&dot, 1), 400, 300, fixedWidth);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_DOUBLE_EQ(placed[0].box.left, 105); // to the right first
    // At the right edge it goes to the left; in a corner with no room at all it is left out.
    const LabelRequest edge{LabelKind::Zip, "84101", {}, 390, 100, 0, 4};
    placed = PlaceLabels(std::span(&edge, 1), {}, 400, 300, fixedWidth);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_LT(placed[0].box.right, 390);
    EXPECT_TRUE(PlaceLabels(std::span(&edge, 1), {}, 30, 10, fixedWidth).empty());
    // A reserved box (the legend) is no place for a name.
    const PixelBox legend{0, 0, 400, 300};
    EXPECT_TRUE(
        PlaceLabels(std::span(&zip, 1), {}, 400, 300, fixedWidth, std::span(&legend, 1)).empty());
}

TEST(PlaceLabels, ShortensAreaNamesThatDoNotFitTheirRoom) {
    const std::vector<LabelRequest> requests{
        {LabelKind::State, "Massachusetts", "MA", 100, 50, 60},
        {LabelKind::State, "Utah", "UT", 200, 50, 60},
        {LabelKind::State, "Rhode Island", "RI", 300, 50, 10},
        {LabelKind::County, "San Bernardino", "", 100, 150, 60},
        {LabelKind::ListedCounty, "San Bernardino", "", 300, 150, 0}};
    const auto placed = PlaceLabels(requests, {}, 400, 300, fixedWidth);
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(placed[0].request, 0u);
    EXPECT_TRUE(placed[0].shortForm);
    EXPECT_EQ(placed[1].request, 1u);
    EXPECT_FALSE(placed[1].shortForm);
    EXPECT_EQ(placed[2].request, 2u); // an abbreviation whatever its room
    EXPECT_TRUE(placed[2].shortForm);
    EXPECT_EQ(placed[3].request, 4u); // a listed county whatever its room; the other is left out
}

TEST(PlaceLabels, FindsAPlaceAmongManyDotsWithoutCoveringOne) {
    // A grid of dots 30 px apart: ZIP codes fit beside some of them, never over any.
    std::vector<DotMark> dots;
    std::vector<LabelRequest> requests;
    for (int x = 15; x < 600; x += 30)
        for (int y = 15; y < 400; y += 30) {
            dots.push_back({double(x), double(y), 4});
            requests.push_back({LabelKind::Zip, "84101", {}, double(x), double(y), 0, 4});
        }
    const auto placed = PlaceLabels(requests, dots, 600, 400, fixedWidth);
    EXPECT_GT(placed.size(), 20u);
    for (const auto& p : placed) {
        for (const auto& d : dots)
            EXPECT_FALSE(p.box.overlaps({d.x - 4, d.y - 4, d.x + 4, d.y + 4}));
        for (const auto& q : placed)
            EXPECT_TRUE(&p == &q || !p.box.overlaps(q.box));
    }
}

TEST(PlaceLabels, ACityCrowdedByItsDotsGoesBesideThemWithALeader) {
    // A city's place amid a block of its own dots, 10 px apart, every near position taken; a
    // town alone to the east. The city comes first and is named beside its dots, pointed at;
    // the town, of one ZIP code, goes without a leader.
    std::vector<DotMark> dots;
    for (int x = 170; x <= 230; x += 10)
        for (int y = 130; y <= 170; y += 10)
            dots.push_back({double(x), double(y), 4});
    dots.push_back({400, 150, 4});
    const std::vector<LabelRequest> requests{
        {LabelKind::City, "Salt Lake City", {}, 200, 150, 0, -1, nullptr, true},
        {LabelKind::City, "Willard", {}, 400, 150, 0, -1, nullptr, false},
        {LabelKind::City, "Crowded", {}, 200, 150, 0, -1, nullptr, false}};
    const auto placed = PlaceLabels(requests, dots, 600, 400, fixedWidth);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].request, 0u);
    EXPECT_TRUE(placed[0].leader);
    EXPECT_EQ(placed[1].request, 1u);
    EXPECT_FALSE(placed[1].leader);
    for (const auto& p : placed)
        for (const auto& d : dots)
            EXPECT_FALSE(p.box.overlaps({d.x - 4, d.y - 4, d.x + 4, d.y + 4}));

    // Areas: a state too small for its abbreviation whose one position on it is taken goes
    // beside it, pointed at; a state with room for its name and a county not listed are left
    // out instead; a position off the area is never taken.
    const DotMark block{100, 100, 12};
    auto onAnchor = [](const LabelRequest&, double x, double y) { return x == 100 && y == 100; };
    std::vector<LabelRequest> areas{
        {LabelKind::State, "Rhode Island", "RI", 100, 100, 10, -1, nullptr, true},
        {LabelKind::State, "Utah", "UT", 100, 100, 60, -1, nullptr, true},
        {LabelKind::County, "Kent", {}, 100, 100, 0, -1, nullptr, false}};
    Outlines::Region region;
    for (auto& r : areas)
        r.area = &region;
    const auto beside =
        PlaceLabels(areas, std::span(&block, 1), 400, 300, fixedWidth, {}, onAnchor);
    ASSERT_EQ(beside.size(), 1u);
    EXPECT_TRUE(beside[0].leader);
    EXPECT_EQ(beside[0].request, 0u);
    EXPECT_DOUBLE_EQ(beside[0].box.left, 112); // one height of the name to the right
    auto nowhere = [](const LabelRequest&, double, double) { return false; };
    EXPECT_TRUE(PlaceLabels(areas, {}, 400, 300, fixedWidth, {}, nowhere).empty());
}

TEST(CityLabels, MoreZipCodesFirstAndOnlyThoseOfSeveralPointedAt) {
    const NamedPlace places[] = {{{41.4, -112.0}, "Willard", 1},
                                 {{40.76, -111.89}, "Salt Lake City", 30},
                                 {{41.22, -111.97}, "Ogden", 9}};
    LabelScene scene;
    scene.places = places;
    Projection view;
    view.centre = {40.8, -111.9};
    view.scale = view.xScale = 200;
    view.width = 640;
    view.height = 480;
    const auto cities = CityLabels(scene, view);
    ASSERT_EQ(cities.size(), 3u);
    EXPECT_EQ(cities[0].text, "Salt Lake City");
    EXPECT_EQ(cities[1].text, "Ogden");
    EXPECT_EQ(cities[2].text, "Willard");
    EXPECT_TRUE(cities[0].leader && cities[1].leader);
    EXPECT_FALSE(cities[2].leader);
    // Only the first few are pointed at, whatever their ZIP codes.
    std::vector<NamedPlace> many;
    for (int i = 0; i < 20; ++i)
        many.push_back({{40.5 + 0.02 * i, -111.9}, "Town " + std::to_string(i), 30 - i});
    scene.places = many;
    const auto all = CityLabels(scene, view);
    ASSERT_EQ(all.size(), 20u);
    const auto pointed = std::count_if(all.begin(), all.end(), [](auto& r) { return r.leader; });
    EXPECT_GT(pointed, 3);
    EXPECT_LT(pointed, 12);
    EXPECT_TRUE(all.front().leader);
    EXPECT_FALSE(all.back().leader);
}

TEST(AreaAnchor, LiesOnTheLandOfItsArea) {
    const Outlines& o = real();
    // Florida's box centre is in the Gulf, Michigan's in Lake Michigan, Hawaii's at sea.
    for (int fips : {12, 26, 15, 2, 49, 24}) {
        const auto* state = o.state(fips);
        const AreaAnchor a = AreaAnchorOf(o, *state);
        EXPECT_EQ(o.stateAt(a.at), state) << state->name;
        EXPECT_GT(a.widthDegrees, 0.2) << state->name;
    }
    EXPECT_EQ(o.countyAt(AreaAnchorOf(o, *o.county(49035)).at)->fips, 49035);
    AreaAnchors anchors(o);
    EXPECT_EQ(&anchors.of(*o.state(12)), &anchors.of(*o.state(12)));
}

TEST(LabelsFor, NamesWhatTheViewShows) {
    const Outlines& o = real();
    AreaAnchors anchors(o);
    // The 48 states at 1280 x 800: states, large western counties, no county of the East.
    const Projection nation = viewOf({-124.8, -66.9, 24.5, 49.4}, 1280, 800);
    LabelScene scene;
    scene.outlines = &o;
    scene.anchors = &anchors;
    auto requests = LabelsFor(scene, nation);
    auto states = names(requests, LabelKind::State);
    EXPECT_TRUE(states.count("Texas") && states.count("Rhode Island") && states.count("Utah"));
    EXPECT_FALSE(states.count("Alaska")); // out of view
    for (const auto& r : requests) {
        if (r.kind == LabelKind::State) {
            EXPECT_EQ(r.shortText.size(), 2u);
        }
    }
    // Larger states are asked for first.
    auto first = std::find_if(requests.begin(), requests.end(),
                              [](const auto& r) { return r.kind == LabelKind::State; });
    EXPECT_EQ(first->text, "Texas");
    // No county name fits at this scale; in a view of Utah the large ones do.
    for (const auto& p : PlaceLabels(requests, {}, 1280, 800, fixedWidth))
        EXPECT_NE(requests[p.request].kind, LabelKind::County) << requests[p.request].text;
    requests = LabelsFor(scene, viewOf({-114.05, -109.04, 37, 42}, 800, 800));
    std::set<std::string> placedCounties;
    for (const auto& p : PlaceLabels(requests, {}, 800, 800, fixedWidth))
        if (requests[p.request].kind == LabelKind::County)
            placedCounties.insert(requests[p.request].text);
    EXPECT_TRUE(placedCounties.count("Millard") && placedCounties.count("San Juan"));
    // The islands of the Pacific, in a view of the Pacific.
    const Projection pacific = viewOf({130, 175, 0, 20}, 800, 600);
    requests = LabelsFor(scene, pacific);
    auto islands = names(requests, LabelKind::Island);
    EXPECT_TRUE(islands.count("Palau") && islands.count("Marshall Islands") &&
                islands.count("Guam"));
    // A county list names its counties whatever their size; a city list its cities, those
    // with more ZIP codes first, and the ZIP codes of its marks unless they share a point.
    const int listed[] = {36103, 11001};
    const NamedPlace places[] = {{{40.9, -72.7}, "Riverhead", 2}, {{40.8, -73.0}, "Medford", 5}};
    const MarkName marks[] = {{{40.8, -73.0}, "11763", 1}, {{40.9, -72.7}, "11901", 3}};
    scene.listedCounties = listed;
    scene.places = places;
    scene.marks = marks;
    requests = LabelsFor(scene, nation);
    ASSERT_GE(requests.size(), 4u);
    EXPECT_EQ(requests[0].text, "Medford");
    EXPECT_EQ(requests[1].text, "Riverhead");
    EXPECT_EQ(requests[2].kind, LabelKind::ListedCounty);
    EXPECT_EQ(requests[2].room, 0);
    EXPECT_EQ(names(requests, LabelKind::ListedCounty),
              (std::set<std::string>{"Suffolk", "District of Columbia"}));
    EXPECT_EQ(names(requests, LabelKind::Zip), std::set<std::string>{"11763"});
    EXPECT_EQ(requests.back().gap, 4);
}

TEST(LabelCandidates, EachKindAlone) {
    const Outlines& o = real();
    AreaAnchors anchors(o);
    const Projection utah = viewOf({-114.05, -109.04, 37, 42}, 800, 800);
    LabelScene scene;
    // Without outlines no area is named, and nothing needs them.
    const NamedPlace ogden[] = {{{41.22, -111.97}, "Ogden", 3}};
    scene.places = ogden;
    EXPECT_TRUE(IslandLabels(scene, utah).empty());
    EXPECT_TRUE(StateLabels(scene, utah).empty());
    EXPECT_TRUE(CountyLabels(scene, utah).empty());
    EXPECT_TRUE(ListedCountyLabels(scene, utah).empty());
    ASSERT_EQ(CityLabels(scene, utah).size(), 1u);
    EXPECT_EQ(LabelsFor(scene, utah).size(), 1u);

    // At most 60 cities, those with most ZIP codes; a place without a name takes no turn.
    std::vector<NamedPlace> many;
    for (int i = 0; i < 70; ++i)
        many.push_back({{38 + i * 0.05, -111.5}, "Town" + std::to_string(i), i});
    many.push_back({{40, -111}, "", 100});
    scene.places = many;
    const auto cities = CityLabels(scene, utah);
    ASSERT_EQ(cities.size(), 60u);
    EXPECT_EQ(cities.front().text, "Town69");
    EXPECT_EQ(cities.back().text, "Town10");

    // Counties are asked for in a view of a few states, not of the nation, and a listed one is
    // named as listed only.
    scene.outlines = &o;
    scene.anchors = &anchors;
    const int listed[] = {49035};
    scene.listedCounties = listed;
    const auto counties = names(CountyLabels(scene, utah), LabelKind::County);
    EXPECT_TRUE(counties.count("Millard"));
    EXPECT_FALSE(counties.count("Salt Lake"));
    EXPECT_EQ(names(ListedCountyLabels(scene, utah), LabelKind::ListedCounty),
              std::set<std::string>{"Salt Lake"});
    EXPECT_TRUE(CountyLabels(scene, viewOf({-124.8, -66.9, 24.5, 49.4}, 1280, 800)).empty());

    // The ZIP codes of marks alone, until more than 300 marks are in view; marks out of view
    // do not count.
    std::vector<MarkName> marks(298, MarkName{{39.5, -111.5}, "84001", 1});
    marks.push_back({{39.6, -111.6}, "84002", 2});
    marks.push_back({{39.7, -111.7}, "", 1});
    marks.push_back({{10, 10}, "84003", 1});
    scene.marks = marks;
    scene.markRadius = 6;
    const auto zips = ZipLabels(scene, utah);
    EXPECT_EQ(zips.size(), 298u);
    EXPECT_EQ(names(zips, LabelKind::Zip), std::set<std::string>{"84001"});
    EXPECT_EQ(zips.front().gap, 6);
    marks.push_back({{39.8, -111.8}, "84004", 1});
    scene.marks = marks;
    EXPECT_TRUE(ZipLabels(scene, utah).empty());

    // The islands come first, before the cities that would crowd them.
    const Projection guam = viewOf({144.6, 145.0, 13.2, 13.7}, 800, 600);
    const NamedPlace hagatna[] = {{{13.47, 144.75}, "Hagatna", 9}};
    scene.places = hagatna;
    scene.marks = {};
    scene.listedCounties = {};
    const auto requests = LabelsFor(scene, guam);
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].kind, LabelKind::Island);
    EXPECT_EQ(requests[0].text, "Guam");
    EXPECT_EQ(requests[1].text, "Hagatna");
}

TEST(Projection, RoundTripsAcrossThe180thMeridianAndSeesAtMostTheGlobe) {
    Projection p;
    p.centre = {52, -175};
    p.scale = 100;
    p.xScale = 100 * std::cos(52 * 3.141592653589793 / 180);
    p.width = 800;
    p.height = 600;
    EXPECT_DOUBLE_EQ(p.x(-175), 400);
    EXPECT_DOUBLE_EQ(p.y(52), 300);
    // 179 E lies six degrees west of the centre, not 354 east.
    EXPECT_NEAR(p.x(179), 400 - 6 * p.xScale, 1e-9);
    for (const GeoPoint at : {GeoPoint{51.5, 179.0}, GeoPoint{53, -172}, GeoPoint{52, -175}}) {
        const GeoPoint back = p.toGeo(p.x(at.longitude), p.y(at.latitude));
        EXPECT_NEAR(back.latitude, at.latitude, 1e-9);
        EXPECT_NEAR(back.longitude, at.longitude, 1e-9);
    }
    const GeoBox v = p.visible();
    EXPECT_NEAR(v.width(), 800 / p.xScale, 1e-9);
    EXPECT_TRUE(v.contains({52, 179}) && !v.contains({52, 170}));
    // Zoomed out past the whole globe, the view holds it once.
    p.scale = p.xScale = 0.5;
    EXPECT_DOUBLE_EQ(p.visible().width(), 360);
    EXPECT_DOUBLE_EQ(p.visible().height(), 1200);
}

TEST(ScaleBar, RoundLengthsThatFit) {
    // 2 pixels a km, at most 150 pixels: 50 km (100 px) and 20 miles (64.4 px).
    ScaleBar bar = ScaleBarFor(2, 150);
    EXPECT_EQ(bar.km, 50);
    EXPECT_DOUBLE_EQ(bar.kmPixels, 100);
    EXPECT_EQ(bar.miles, 20);
    EXPECT_NEAR(bar.milesPixels, 64.37376, 1e-9);
    bar = ScaleBarFor(2, 322); // 100 miles is 321.9 px
    EXPECT_EQ(bar.km, 100);
    EXPECT_EQ(bar.miles, 100);
    bar = ScaleBarFor(400, 120); // a town: fractions of a mile
    EXPECT_DOUBLE_EQ(bar.km, 0.2);
    EXPECT_DOUBLE_EQ(bar.miles, 0.1);
    EXPECT_EQ(ScaleBarFor(0, 100).km, 0);
    EXPECT_EQ(LengthText(50, "mi"), "50 mi");
    EXPECT_EQ(LengthText(0.2, "km"), "0.2 km");
    EXPECT_EQ(LengthText(0.05, "mi"), "0.05 mi");
    // A degree of latitude is 110.6 km at the equator and 111.7 km at the poles.
    Projection p;
    p.scale = 111.0;
    p.centre = {0, 0};
    EXPECT_NEAR(p.pixelsPerKm(), 111.0 / 110.574, 1e-4);
    p.centre = {89.99, 0};
    EXPECT_NEAR(p.pixelsPerKm(), 111.0 / 111.694, 1e-4);
}

TEST(StackPoints, GroupsEntriesAtTheSamePointInTheirOrder) {
    const GeoPoint points[] = {{40.6681, -111.9083},
                               {40.76, -111.89},
                               {40.6681, -111.9083},
                               {40.6681, -111.9084},
                               {40.6681, -111.9083}};
    const auto groups = StackPoints(points);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0], (std::vector<std::size_t>{0, 2, 4}));
    EXPECT_EQ(groups[1], std::vector<std::size_t>{1});
    EXPECT_EQ(groups[2], std::vector<std::size_t>{3});
    EXPECT_TRUE(StackPoints({}).empty());
}
