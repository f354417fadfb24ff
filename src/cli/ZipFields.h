#pragma once

#include "data/DataSet.h"
#include "data/ZipFile.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvana::cli {

// One ZIP record taken apart for structured output, its texts in UTF-8 and whole (the copy
// formats cut their fields; a script gets the full names).
struct ZipFields {
    std::string zip;    // five digits
    std::string city;   // in capitals when Cities in Caps is on
    std::string state;  // the abbreviation
    std::string county; // empty when the ZIP code has none; in capitals when Counties in Caps is on
    std::optional<int> areaCode;
    int zone = 0;     // the zone number, 1 to 24; 0 when the ZIP code has no time zone
    bool dst = false; // the place observes daylight-saving time

    bool hasZone() const { return zone >= 1 && zone <= 24; }
    // The standard offset from UTC in hours.
    std::optional<int> utcOffset() const {
        return hasZone() ? std::optional<int>(zone - 12) : std::nullopt;
    }
};

// Reads the record's city; a city that cannot be reached throws FatalError as the searches do.
ZipFields ReadZipFields(const ZipRecord& rec, const CityFile& city, const DataSet& data,
                        const Settings& settings);

// Appends one CSV field, in double quotes when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view text);

// Appends a JSON string literal.
void AppendJsonString(std::string& out, std::string_view utf8);

} // namespace corvana::cli
