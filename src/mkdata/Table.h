#pragma once

// The ZIP table as corvana-mkdata reads it: one Row per ZIP code, every text already in
// Windows-1252 and every number checked against what the data files can hold.

#include "data/PeopleFormat.h"
#include "data/Records.h"
#include "data/ZipFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::mkdata {

// The column names of the table, in the order the table is written. Column numbers the same
// columns for the code; a new column goes into both, and into Row.
inline constexpr std::string_view TableColumns[] = {"zip",
                                                    "city",
                                                    "state",
                                                    "county",
                                                    "area_code",
                                                    "utc_offset",
                                                    "dst",
                                                    "other_counties",
                                                    "other_area_codes",
                                                    "other_cities",
                                                    "other_county_names",
                                                    "latitude",
                                                    "longitude",
                                                    "county_fips",
                                                    "kind",
                                                    "time_zone",
                                                    "population",
                                                    "density"};
// The columns from this one on may be left out: tables written before them still build.
inline constexpr std::size_t FirstOptionalColumn = 9;

enum Column {
    ColZip,
    ColCity,
    ColState,
    ColCounty,
    ColAreaCode,
    ColUtcOffset,
    ColDst,
    ColOtherCounties,
    ColOtherAreaCodes,
    ColOtherCities,
    ColOtherCountyNames,
    ColLatitude,
    ColLongitude,
    ColCountyFips,
    ColKind,
    ColTimeZone,
    ColPopulation,
    ColDensity,
    ColumnCount
};
static_assert(std::size(TableColumns) == ColumnCount && FirstOptionalColumn == ColOtherCities);

struct Row {
    std::size_t line = 0;
    std::uint32_t zip = 0;
    std::string city; // Windows-1252, as are state and the counties
    std::string state;
    std::string county;
    std::uint16_t areaCode = NoAreaCode;
    std::uint8_t timeZone = NoZone;
    std::vector<std::string> otherCounties;
    std::vector<std::uint16_t> otherAreaCodes;
    std::vector<std::string> otherCities;
    std::vector<std::string> otherCountyNames;
    // The place of the ZIP code, where the table gives one; the FIPS code of its main county.
    bool hasPoint = false;
    double latitude = 0;
    double longitude = 0;
    std::string countyFips;
    ZipKind kind = ZipKind::Unknown;
    std::string zoneName; // IANA, "America/Boise"; empty when none
    PeopleRecord people;
};

struct Table {
    // In ZIP order, which makes each prefix one block and puts every list of record numbers in
    // ZIP order: row i is record i of ZIPCODE.DAT.
    std::vector<Row> rows;
    bool hasPlaces = false; // the header has a latitude, longitude or county_fips column
    bool hasFacts = false;  // the header has a kind or time_zone column
    bool hasPeople = false; // the header has a population or density column
};

// The rows of the UTF-8 table. Throws InputError, with the line where it can name one, for a
// fault of the CSV, the header or a row, a ZIP code given twice, or more ZIP codes than the
// record numbers reach.
Table ReadTable(std::string_view csv);

} // namespace corvana::mkdata
