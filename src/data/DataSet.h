#pragma once

#include "data/Errors.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// One three-digit prefix of the ZIP index: where its block of ZIPCODE.DAT lies and the
// CITY.DAT offset of the city with most ZIP codes under it. first == -1: no ZIP codes.
struct ZipIndexEntry {
    std::int32_t first = -1;
    std::uint16_t count = 0;
    std::int32_t mainCity = 0;
    std::uint8_t spare = 0;
};

// One county of one state: the name followed by one byte holding the state number, and the
// COUNTY.IDX offset of its ZIP list.
struct CountyEntry {
    std::string text;
    std::int32_t zipListOffset = 0;

    std::string_view name() const {
        return text.empty() ? std::string_view()
                            : std::string_view(text).substr(0, text.size() - 1);
    }
    int stateNumber() const { return text.empty() ? -1 : int(std::uint8_t(text.back())); }
};

// The resident tables, loaded once at start and read-only afterwards, and where the data
// files lie.
struct DataSet {
    std::string dir; // program directory, without a trailing "/"
    std::vector<std::string> states;
    std::vector<CountyEntry> counties;
    std::array<ZipIndexEntry, 1000> zipIndex{};
    std::array<std::int32_t, 1000> areaTable{};

    DataSet() { areaTable.fill(-1); }

    // dir + "/" + name; a program in "/" gives "/NAME", never "//NAME".
    std::string path(std::string_view name) const;

    // The first two characters of state entry n; empty when n has no entry.
    std::string_view stateAbbrev(int n) const;

    // The county name of county number n, empty for "no county" and numbers outside the table.
    std::string_view countyName(int n) const;
};

// ZIP record county number 65535 means the ZIP code has no county, area code 0 that it has
// no area code, and zone number 0 that it has no time zone (military post offices): those
// parts are left out of its result line and its output fields are empty.
inline constexpr std::uint16_t NoCounty = 65535;
inline constexpr std::uint16_t NoAreaCode = 0;
inline constexpr std::uint8_t NoZone = 0;

// What loading the resident tables reported. Fatal messages come in the order they arose;
// an input/output error (a partial record) stops the loading where it happened.
struct LoadResult : Problems {};

// Loads STATE.DAT, COUNTY.DAT, then ZIPCODE.IDX and AREA.DAT. A missing or corrupt state or
// county file keeps the ZIP index and area-code table from being loaded at all.
LoadResult LoadInData(DataSet& data);

// Loads ZIPCODE.IDX and AREA.DAT into the ZIP index and area-code table, each independently,
// so both "could not be found" messages can arise.
LoadResult LoadZIdx(DataSet& data);

// The text of the "Version" message: the first line of ZIPVER.DAT after "updated in ".
std::string ZipVersionMessage(const DataSet& data);

// The data date alone (first line of ZIPVER.DAT), empty when the file is missing.
std::string ZipDataDate(const DataSet& data);

// The directory of the running executable.
std::string ProgramDirectory();

} // namespace corvana
