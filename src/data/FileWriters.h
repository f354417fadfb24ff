#pragma once

// The data files as corvana-mkdata writes them, one writer per file, each laying out the
// records of data/Records.h. The builder decides what a file holds and in which order; the
// writer decides its bytes.

#include "data/FactsFormat.h"
#include "data/Records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// A city of CITY.DAT or a county of COUNTY.DAT: its Windows-1252 name, its STATE.DAT line and
// the ZIPCODE.DAT record numbers of its ZIP codes, in ZIP order.
struct NamedZipList {
    std::string name;
    std::uint8_t state = 0;
    std::vector<std::uint16_t> records;
};
using NamedZipLists = std::vector<const NamedZipList*>;

// An area code of AREA.DAT with the record numbers of its ZIP codes, in ZIP order.
struct AreaZipList {
    std::uint16_t code = 0;
    std::vector<std::uint16_t> records;
};

// ZIPVER.DAT: the data date (Windows-1252) as its first line.
std::string WriteVersionFile(std::string_view date);

// STATE.DAT: a line per state number, each the state's two letters and a leading ZIP digit.
std::string WriteStateFile(const std::vector<std::string>& lines);

// ZIPCODE.DAT: one ZipRecord per record number.
std::string WriteZipFile(const std::vector<ZipRecord>& records);

// ZIPCODE.IDX: one ZipIndexRecord per prefix, in prefix order.
std::string WriteZipIndexFile(const std::vector<ZipIndexRecord>& records);

// CITY.DAT: the cities in the order given, which is that of their upper-cased names. offsets
// receives each city's offset, which ZIPCODE.DAT, ZIPCODE.IDX and CITY.IDX point at.
std::string WriteCityFile(const NamedZipLists& cities, std::vector<std::int32_t>& offsets);

// CITY.IDX: a CityIndexRecord for the first city of each two-letter beginning of the
// upper-cased names; cities and offsets as WriteCityFile took and gave them.
std::string WriteCityIndexFile(const NamedZipLists& cities,
                               const std::vector<std::int32_t>& offsets);

// COUNTY.DAT: the counties in county-number order, each pointing at its list in COUNTY.IDX.
std::string WriteCountyFile(const NamedZipLists& counties);

// COUNTY.IDX: the ZIP lists of the counties, in county-number order.
std::string WriteCountyListFile(const NamedZipLists& counties);

// AREA.DAT: an AreaRecord per area code, in the order given, pointing at its list in AREA.IDX.
std::string WriteAreaFile(const std::vector<AreaZipList>& areas);

// AREA.IDX: the ZIP lists of the area codes, in the order of AREA.DAT.
std::string WriteAreaListFile(const std::vector<AreaZipList>& areas);

// POINTS.DAT: a PointRecord per record number, then the place list in the order given (the
// tree order) with leaves of leafSize places.
std::string WritePointsFile(const std::vector<PointRecord>& records,
                            const std::vector<std::uint16_t>& list, std::uint8_t leafSize);

// ZIPFACTS.DAT from the zone names and one record per ZIP code (see data/FactsFormat.h).
std::string WriteFactsFile(const std::vector<std::string>& zoneNames,
                           const std::vector<FactsRecord>& records);

} // namespace corvana
