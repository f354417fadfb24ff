#pragma once

#include "data/DataSet.h"
#include "data/People.h"
#include "data/ZipFacts.h"
#include "format/LocalTime.h"
#include "geo/Distance.h"
#include "geo/Points.h"
#include "geo/Reach.h"
#include "settings/Settings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace corvana {

// What a line of the results list stands for, with the numbers behind it: the one line of a
// search that found nothing ("No matching cities found."), a state of a leading ZIP digit (its
// entry in the state table), a three-digit ZIP prefix with the city that has most ZIP codes under
// it, a city, a county (its number, as ZIP records name it) or a ZIP code with its details.
struct NoMatchItem {
    bool operator==(const NoMatchItem&) const = default;
};
struct StateItem {
    int state = 0;
    bool operator==(const StateItem&) const = default;
};
struct MainCityItem {
    int prefix = 0;
    std::int32_t cityOffset = 0; // in CITY.DAT
    bool operator==(const MainCityItem&) const = default;
};
struct CityItem {
    std::int32_t cityOffset = 0; // in CITY.DAT
    bool operator==(const CityItem&) const = default;
};
struct CountyItem {
    int county = 0;
    bool operator==(const CountyItem&) const = default;
};
// The fields of a ZIP line as its search read them, with the capitals settings applied: what
// the CSV and JSON of corvana-query show without reading the record again. Names are
// Windows-1252, an empty county or state is none.
struct ZipLineFields {
    std::string zip; // five characters
    std::string city;
    std::string state; // the abbreviation
    std::string county;
    std::optional<int> areaCode;
    int zone = NoZone; // 1 to 24
    bool dst = false;
};

struct ZipItem {
    std::uint32_t record = 0; // in ZIPCODE.DAT
    std::optional<double> km; // in a list of nearby ZIP codes: the distance from its centre

    ZipItem() = default;
    ZipItem(std::uint32_t record, std::optional<double> km = std::nullopt)
        : record(record), km(km) {}
    bool operator==(const ZipItem&) const = default;
};

// The kinds in the order of ResultItem's alternatives.
enum class ItemKind : std::uint8_t { NoMatch, State, MainCity, City, County, Zip };

// One line of the results list: its text as the list shows it, and what it stands for.
struct ResultItem {
    std::string text;
    std::variant<NoMatchItem, StateItem, MainCityItem, CityItem, CountyItem, ZipItem> what;
    // The fields of a ZIP line, kept by a search whose context asks for them
    // (SearchContext::keepFields). They live here rather than in ZipItem so that every
    // alternative stays trivially copyable: lists of thousands of lines are moved and sorted.
    std::shared_ptr<const ZipLineFields> fields{};

    ItemKind kind() const { return ItemKind(what.index()); }
    template <class T> const T* as() const { return std::get_if<T>(&what); }
    // The ZIPCODE.DAT record of a ZIP line; empty for every other line.
    std::optional<std::uint32_t> record() const {
        if (const ZipItem* z = as<ZipItem>())
            return z->record;
        return std::nullopt;
    }

    // The fields follow from the record and the settings, so a line is told by the two alone.
    bool operator==(const ResultItem& o) const { return text == o.text && what == o.what; }
};

template <ItemKind K>
using ItemOf = std::variant_alternative_t<std::size_t(K), decltype(ResultItem::what)>;
static_assert(std::is_same_v<ItemOf<ItemKind::NoMatch>, NoMatchItem> &&
              std::is_same_v<ItemOf<ItemKind::State>, StateItem> &&
              std::is_same_v<ItemOf<ItemKind::MainCity>, MainCityItem> &&
              std::is_same_v<ItemOf<ItemKind::City>, CityItem> &&
              std::is_same_v<ItemOf<ItemKind::County>, CountyItem> &&
              std::is_same_v<ItemOf<ItemKind::Zip>, ZipItem>);

// The ZIP code of a results line as copy and print take it: the first five characters of its
// text, whatever its record holds.
inline std::string ListedZipCode(const ResultItem& line) {
    return line.text.substr(0, 5);
}

// The city text of a main-city line, "Salt Lake City, UT" of "841 Salt Lake City, UT".
std::string_view MainCityText(const ResultItem& line);

// The heading over a results list: what its lines are (a no-match line aside) and its text.
struct ListHeading {
    ItemKind holds = ItemKind::NoMatch;
    std::string text;

    bool operator==(const ListHeading&) const = default;
};

namespace heading {
inline const ListHeading PotentialStates{ItemKind::State, "Potential States"};
inline const ListHeading MainCities{ItemKind::MainCity, "Cities With Most Zip Codes In Area"};
inline const ListHeading PossibleCities{ItemKind::City, "Possible Cities"};
// The ZIP search and the State search list their ZIP lines under the cities' heading.
inline const ListHeading CityZipCodes{ItemKind::Zip, "Possible Cities"};
inline const ListHeading PossibleZipCodes{ItemKind::Zip, "Possible Zip Codes"};
inline const ListHeading PossibleCounties{ItemKind::County, "Possible Counties"};
} // namespace heading

// What the window must show after a search. A search stops at the first damaged or missing
// data file: its one fatal message is shown under "FATAL ERROR" and the program ends. The
// general input/output error is shown and the items added until then stay.
// A radius around a centre as it was asked for: its number in its unit, the way the heading
// names it ("Within 10 Miles", "Within 2.5 Kilometers").
struct NearbyRadius {
    double value = 10;
    geo::LengthUnit unit = geo::LengthUnit::Miles;

    double km() const { return unit == geo::LengthUnit::Miles ? value * geo::KmPerMile : value; }
    double miles() const { return unit == geo::LengthUnit::Miles ? value : value / geo::KmPerMile; }
};

// What a list of nearby ZIP codes is around: the centre's record and the radius asked for.
struct NearbyCentre {
    std::uint32_t record = 0;
    double radiusMiles = 0;
    bool operator==(const NearbyCentre&) const = default;
};

struct SearchResult : Problems {
    bool listShown = false;      // full height, list and heading visible
    bool outputControls = false; // copy, print and range-select on
    bool cleared = false;        // the list was cleared and holds `items`; otherwise keep old items
    std::optional<ListHeading> heading;
    std::vector<ResultItem> items;      // in list order
    std::optional<NearbyCentre> nearby; // set on a list of nearby ZIP codes
};

struct SearchContext {
    const DataSet& data;
    const Settings& settings;
    TimeContext time;
    // Each ZIP line keeps the fields it was made from, for output that shows them one by one
    // (corvana-query's CSV and JSON); the window's lists do without.
    bool keepFields = false;
};

// Results-list order: a-z compared as A-Z, other bytes by value; ties by plain byte order.
bool ItemLess(const std::string& a, const std::string& b);
int ItemCompare(const std::string& a, const std::string& b); // <0, 0, >0
void SortItems(std::vector<ResultItem>& items);

// The ZIP lines of a list by their people, most first; a line without a figure after those with
// one, ties in the order they had. The other lines keep their places, and the ZIP lines take the
// places that ZIP lines had.
void SortByPopulation(std::vector<ResultItem>& items, const People& people);

SearchResult SearchTheZip(std::string_view text, const SearchContext& ctx);
// stateComboText: the state chosen in the single-state list, used when All State is off.
SearchResult SearchTheCity(std::string_view text, const SearchContext& ctx,
                           std::string_view stateComboText);
SearchResult SearchTheCityWithState(std::string_view text, const SearchContext& ctx,
                                    const std::vector<int>& chosenStates);
SearchResult SearchTheCounty(std::string_view text, const SearchContext& ctx,
                             std::string_view stateComboText);
SearchResult SearchTheArea(std::string_view text, const SearchContext& ctx);

// The ZIP lines within `radius` of the position of the ZIP code of record `centre`, nearest
// first and so not in the list's alphabetical order, each with its distance (in its ZipItem, and
// after the line's text: "84102 Salt Lake City, UT  2.0 mi (3.2 km)"); the centre comes first.
// The heading names the list in the radius's unit, "Zip Codes Within 10 Miles Of 84101". A
// centre without a position (a military post office) lists the no-match line. The radius must be
// one that geo::CheckRadiusKm accepts. Only ZIP codes whose kind `kinds` keeps are listed; the
// centre always is.
SearchResult SearchNearby(const geo::Points& points, std::uint32_t centre,
                          const NearbyRadius& radius, const SearchContext& ctx,
                          const KindChoice& kinds = {});
// The same with a radius in miles, as the window asks.
SearchResult SearchNearby(const geo::Points& points, std::uint32_t centre, double radiusMiles,
                          const SearchContext& ctx, const KindChoice& kinds = {});

// The same around a point: `centreText` names it in the heading ("40.76,-111.89"), and the
// nearest ZIP code comes first. `nearby` stays empty, as no ZIP code is the centre.
SearchResult SearchNearby(const geo::Points& points, geo::GeoPoint centre,
                          std::string_view centreText, const NearbyRadius& radius,
                          const SearchContext& ctx, const KindChoice& kinds = {});
SearchResult SearchNearby(const geo::Points& points, geo::GeoPoint centre,
                          std::string_view centreText, double radiusMiles, const SearchContext& ctx,
                          const KindChoice& kinds = {});

// The ZIP lines of `zips` under `heading`, in that order and each with the distance it carries
// in its ZipItem (the text is the plain ZIP line):
// the line of the nearest ZIP code, or the lines of two ZIP codes a distance apart.
SearchResult ZipLinesOf(const std::vector<ZipItem>& zips, ListHeading heading,
                        const SearchContext& ctx);

// A circle of people around a centre: by its radius, or the smallest one that holds `people`.
struct ReachRequest {
    std::optional<NearbyRadius> radius;
    std::uint64_t people = 0; // used when there is no radius
};

// A nearby list with the people of its ZIP codes: `list` is the list SearchNearby makes for the
// radius (asked for, or found: then named to 0.1 mile in the heading), and `reach` gives each of
// its ZIP lines, in order, its population and the running total. A number of people that the
// data's people cannot reach lists the no-match line and says so in `reach`.
struct ReachSearchResult {
    SearchResult list;
    geo::ReachResult reach;
};
ReachSearchResult SearchReach(const geo::Points& points, const People& people, std::uint32_t centre,
                              const ReachRequest& request, const SearchContext& ctx,
                              const KindChoice& kinds = {});
ReachSearchResult SearchReach(const geo::Points& points, const People& people, geo::GeoPoint centre,
                              std::string_view centreText, const ReachRequest& request,
                              const SearchContext& ctx, const KindChoice& kinds = {});

// The heading of a reach as the window shows and prints it, with the people the list holds:
// "Zip Codes Within 13 Miles Of 84101 (1,009,758 People)".
std::string ReachHeading(const ReachSearchResult& r);
// Why a number of people cannot be reached: "The Zip Codes of this data hold only 97,264 people."
std::string ReachShortfall(const ReachSearchResult& r);

// The heading of that list: "Zip Codes Within 2.5 Miles Of 84101", "... Within 1 Mile Of ...",
// "... Within 5 Kilometers Of ...".
std::string NearbyHeading(const NearbyRadius& radius, std::string_view centre);
std::string NearbyHeading(double radiusMiles, std::string_view zipCode);

// The state numbers of every state-table entry whose abbreviation is exactly `abbrev`.
std::vector<int> ChooseStates(const DataSet& data, std::string_view abbrev);

// The abbreviations of the state table, each once, sorted.
std::vector<std::string> StateAbbreviations(const DataSet& data);

} // namespace corvana
