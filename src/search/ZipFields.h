#pragma once

#include "data/DataSet.h"
#include "data/Records.h"
#include "data/ZipFile.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvana {

// A name as its field shows it: the stored text, in capitals when its setting asks for them.
// A view, so that a results line costs no copy of its city and county names.
struct CasedName {
    std::string_view stored;
    bool capitals = false;

    bool empty() const { return stored.empty(); }
    // The first `max` characters, in capitals when asked.
    std::string str(std::size_t max = std::string::npos) const;
};

// One ZIP record and its city taken apart into the fields that the results line, the copy and
// print formats and corvana-query's CSV and JSON show, with the capitals settings applied. No
// field is cut: each output cuts to its own lengths. The names are views into the data set and
// the city header, which must outlive the fields.
struct ZipFields {
    std::string zip;        // five characters
    CasedName city;         // Cities in Caps
    std::string_view state; // the abbreviation
    CasedName county;       // Counties in Caps; empty when the ZIP code has none
    std::optional<int> areaCode;
    int zone = NoZone; // 1 to 24; NoZone when the ZIP code has none or a damaged one
    bool dst = false;  // the place observes daylight-saving time
    bool statesInCaps = false;

    bool hasZone() const { return zone != NoZone; }
    // The standard offset from UTC in hours.
    std::optional<int> utcOffset() const {
        return hasZone() ? std::optional<int>(zone - 12) : std::nullopt;
    }
    // The long name of the state (States in Caps), at most 25 characters.
    std::string stateName() const { return GetState(state, statesInCaps); }
    // The zone byte of a place with these fields, the key of a list's time texts.
    std::uint8_t zoneByte() const { return ZipRecord::zoneByte(zone, dst); }
};

// `city` is the header of the record's city (its cityOffset).
ZipFields ProjectZip(const ZipRecord& rec, const CityHeader& city, const DataSet& data,
                     const Settings& settings);
// The fields view the header: it must not be a temporary.
ZipFields ProjectZip(const ZipRecord&, CityHeader&&, const DataSet&, const Settings&) = delete;

} // namespace corvana
