#pragma once

#include "data/DataSet.h"
#include "data/MappedFile.h"
#include "data/Records.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvana {

// ZIPCODE.DAT opened for one search or one copy-and-print run.
class ZipFile {
public:
    // Empty when the file cannot be opened; the caller reports "Zip Code File could not be found."
    static std::optional<ZipFile> open(const DataSet& data);

    std::size_t recordCount() const { return file_.size() / ZipRecord::Size; }

    // Record n. A record past the end, or a partial last record, throws IoError.
    ZipRecord read(std::int64_t n) const;

private:
    explicit ZipFile(DataFile f) : file_(std::move(f)) {}
    DataFile file_;
};

// The name and state of a CITY.DAT record, and where its ZIP list begins.
struct CityHeader {
    std::string name;          // as stored, mixed case
    std::uint8_t state = 0;
    std::size_t listPos = 0;   // byte position of the ZIP count
};

// CITY.DAT opened for one search or one copy-and-print run.
class CityFile {
public:
    // Empty when the file cannot be opened (the caller reports CityNotFound).
    static std::optional<CityFile> open(const DataSet& data);

    // Reads the length byte and body at offset. A negative offset throws FatalError
    // CitySeekFailed; a short read, or a state number the state table does not have, throws
    // FatalError CityCorrupt.
    CityHeader readHeader(std::int64_t offset, const DataSet& data) const;

    const DataFile& file() const { return file_; }
    std::size_t size() const { return file_.size(); }

private:
    explicit CityFile(DataFile f) : file_(std::move(f)) {}
    DataFile file_;
};

// The city text of the record at offset: the name (in capitals when `capitals`, the setting
// Cities in Caps), ", " and the state abbreviation, cut to 255 characters. Throws as
// readHeader does.
std::string GetCityState(const CityFile& city, std::int64_t offset, bool capitals,
                         const DataSet& data);

// The same text from a header already read.
std::string CityText(const CityHeader& header, bool capitals, const DataSet& data);

// The long name of a state abbreviation (exact, case-sensitive match), or the abbreviation
// itself; in capitals when `capitals` (the setting States in Caps); at most 25 characters.
std::string GetState(std::string_view abbrev, bool capitals);

// The 62 rows of abbreviations and names, in the order they are tried.
struct StateName {
    const char* abbrev;
    const char* name;
};
extern const StateName StateNames[62];

} // namespace corvana
