#pragma once

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/MappedFile.h"
#include "data/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

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

// Where the ZIP codes that begin with three to five digits lie in ZIPCODE.DAT: the block that
// the ZIP index keeps for their first three digits, and which records of it begin with all of
// them (a ZIP code of several cities has a record for each). Three digits take the block whole.
class ZipBlock {
public:
    // Anything but three to five digits, and a prefix the index has no block for, is empty.
    ZipBlock(const DataSet& data, std::string_view digits);

    // No block at all; a block the index gives no records is not empty.
    bool empty() const { return !present_; }
    std::uint32_t first() const { return first_; }
    std::uint32_t count() const { return count_; }
    // Whether a record of the block begins with the digits.
    bool holds(const ZipRecord& rec) const {
        return divisor_ == 0 || rec.zipValue() / divisor_ == value_;
    }

private:
    std::uint32_t first_ = 0, count_ = 0;
    std::uint32_t value_ = 0, divisor_ = 0; // divisor_ 0: the whole block
    bool present_ = false;
};

// Calls f(record number, record) for each record of the ZIP codes that begin with `digits`,
// in file order, reading each when its turn comes: what a damaged file lets through before its
// IoError has been handed on. An f that returns false stops the walk.
template <class F>
void ForEachZipRecord(const DataSet& data, const ZipFile& file, std::string_view digits, F&& f) {
    const ZipBlock block(data, digits);
    for (std::uint32_t k = 0; k < block.count(); ++k) {
        const std::uint32_t n = block.first() + k;
        const ZipRecord rec = file.read(n);
        if (!block.holds(rec))
            continue;
        if constexpr (std::is_same_v<std::invoke_result_t<F&, std::uint32_t, const ZipRecord&>,
                                     bool>) {
            if (!f(n, rec))
                return;
        } else {
            f(n, rec);
        }
    }
}

// The name and state of a CITY.DAT record, and where its ZIP list begins.
struct CityHeader {
    std::string name; // as stored, mixed case
    std::uint8_t state = 0;
    std::size_t listPos = 0; // byte position of the ZIP count
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

// Openers that report a missing file as the fatal message of that file (FatalError).
ZipFile OpenZipFile(const DataSet& data);
CityFile OpenCityFile(const DataSet& data);
DataFile OpenDataFile(const DataSet& data, const char* name, const char* missingMessage);

// Calls f(record number) for each entry of a ZIP list: the one at `offset` of COUNTY.IDX or
// AREA.IDX, or a city's after its header in CITY.DAT. An offset that reaches no whole count, or
// a number cut short, throws FatalError `corruptMessage`.
template <class F>
void ForEachListedZip(const DataFile& file, std::int64_t offset, const char* corruptMessage,
                      F&& f) {
    ByteCursor in(file);
    std::uint16_t count = 0;
    if (!in.seek(offset) || !in.readU16(count))
        throw FatalError(corruptMessage);
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t record = 0;
        if (!in.readU16(record))
            throw FatalError(corruptMessage);
        f(record);
    }
}

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
