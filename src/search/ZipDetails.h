#pragma once

#include "data/DataSet.h"
#include "data/People.h"
#include "data/ZipFacts.h"
#include "format/LocalTime.h"
#include "geo/GeoPoint.h"
#include "geo/Points.h"
#include "settings/Settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// Everything the data knows about one ZIP code, for the details window and corvana-query's
// `show`. Every text is UTF-8, names in capitals where the settings ask for them.

struct CountyDetails {
    std::string name;
    std::string fips; // five digits; empty when the data does not give it
    bool operator==(const CountyDetails&) const = default;
};

// One of the ZIP codes nearest to the one asked for.
struct NeighbourDetails {
    std::uint32_t record = 0; // in ZIPCODE.DAT
    std::string zip;
    std::string city;
    std::string state; // the abbreviation
    double km = 0;
    double miles = 0;
    bool operator==(const NeighbourDetails&) const = default;
};

// The neighbours listed: the nearest three, of kind standard where the data knows kinds.
inline constexpr std::size_t NeighbourCount = 3;

// The facts of one ZIPCODE.DAT record of the ZIP code.
struct RecordDetails {
    std::uint32_t record = 0;
    std::string zip; // five digits
    std::string city;
    std::string state;                   // the abbreviation
    std::string stateName;               // its long name
    std::vector<CountyDetails> counties; // the main county first, then the others
    bool hasMainCounty = false;          // counties[0] is the main county
    std::vector<int> areaCodes;          // the main code first, then overlays and others
    bool hasMainAreaCode = false;        // areaCodes[0] is the main code
    std::vector<std::string> otherCities;
    ZipKind kind = ZipKind::Unknown; // Unknown when the data has no kinds
    std::optional<geo::GeoPoint> position;
    // The time zone: IANA name (empty when the data has none), standard offset from UTC in
    // hours, daylight-saving time, the short label ("MST") and the local time now in the
    // user's time format (empty without a zone).
    std::string timeZone;
    std::optional<int> utcOffset;
    bool dst = false;
    std::string zoneLabel;
    std::string localTime;
    std::vector<NeighbourDetails> nearest; // nearest first
    // How many people live there; nothing without PEOPLE.DAT or a figure for the ZIP code.
    std::optional<PeopleFigures> people;

    std::string_view kindName() const { return KindName(kind); }
};

enum class DetailsOutcome {
    Found,
    NotZipText, // the text is no ZIP code
    NotFound,   // no ZIP code of the data has it
    Military    // a military post office: a ZIP code without a place
};

// The answer for one text. A damaged data file sets `fatal` (or `ioError`) and lists nothing.
struct ZipDetailsResult : Problems {
    std::string zip; // the five digits, when the text was a ZIP code
    DetailsOutcome outcome = DetailsOutcome::NotZipText;
    std::string reason;                 // the sentence to show when not Found
    std::vector<RecordDetails> records; // Found, and also for a military ZIP code

    bool found() const { return ok() && outcome == DetailsOutcome::Found; }
};

struct DetailsContext {
    const DataSet& data;
    const Settings& settings;
    TimeContext time;
    const geo::Points* points = nullptr; // without positions: no position and no neighbours
    const LazyFacts* facts = nullptr;    // without ZIPFACTS.DAT: the ZIP record's facts only
    const People* people = nullptr;      // without PEOPLE.DAT: no population
};

// The ZIP code a text names: five digits, or ZIP+4 as 84101-1234, blanks around allowed.
std::optional<std::string> ZipCodeOfText(std::string_view text);

// Everything known about the ZIP code of `text`.
ZipDetailsResult DetailsOfZip(std::string_view text, const DetailsContext& ctx);

// The look-up's columns from the facts, in order, and each one's value for one ZIPCODE.DAT
// record: the kind name, the zone name, and the other counties, area codes and city names,
// each list joined with ';'. UTF-8, names in capitals where the settings ask; empty when the
// data has no facts.
enum class FactColumn { Kind, TimeZone, OtherCounties, OtherAreaCodes, OtherCities };
inline constexpr std::array<std::string_view, 5> FactColumnNames = {
    "kind", "time_zone", "other_counties", "other_area_codes", "other_cities"};
std::optional<FactColumn> FactColumnOf(std::string_view name);
std::string FactColumnValue(FactColumn column, const ZipFacts* facts, std::uint32_t record,
                            const Settings& settings);

} // namespace corvana
