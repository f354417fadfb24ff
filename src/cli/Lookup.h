#pragma once

#include "data/DataSet.h"
#include "data/People.h"
#include "data/ZipFacts.h"
#include "data/ZipFile.h"
#include "geo/Nearby.h"
#include "geo/Points.h"
#include "settings/Settings.h"
#include "text/Csv.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::cli {

// Input the look-up cannot annotate: not CSV, a row longer than the header, no ZIP column.
// what() reads "line N: problem".
class LookupError : public std::runtime_error {
public:
    LookupError(std::size_t line, const std::string& problem)
        : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// A source reading a file descriptor; a read error throws std::runtime_error.
CsvReader::Source FdSource(int fd);

// The ZIP code a list or spreadsheet cell means: five digits, ZIP+4 as 84101-1234 or
// 841011234, blanks around it, or three or four digits whose leading zeros a spreadsheet
// dropped (601 is 00601). Empty for anything else.
std::optional<std::uint32_t> ParseZipText(std::string_view text);

// The header names that mark the ZIP column when none is named, compared case-insensitively.
extern const std::vector<std::string_view> ZipColumnNames;

// The appended column names, in order.
extern const std::vector<std::string_view> LookupColumns;

// The columns that need the positions of POINTS.DAT.
bool NeedsPoints(std::string_view column);
// The columns that need the figures of PEOPLE.DAT.
bool NeedsPeople(std::string_view column);

// What the look-up appends from POINTS.DAT for each ZIPCODE.DAT record, taken whole before the
// rows are read, so that the positions and their index need not stay in memory while a long
// file streams. Only what `columns` name is kept; with a centre, each record's distance from it.
class RecordPlaces {
public:
    RecordPlaces(const geo::Points& points, const std::vector<std::string>& columns,
                 std::optional<geo::GeoPoint> centre);

    std::optional<geo::GeoPoint> position(std::uint32_t record) const;
    std::string countyFips(std::uint32_t record) const; // five digits, or empty
    std::optional<double> km(std::uint32_t record) const;
    bool hasDistances() const { return !km_.empty(); }

private:
    std::vector<geo::GeoPoint> at_;   // a NaN latitude: no position
    std::vector<std::uint32_t> fips_; // 0: none
    std::vector<double> km_;          // NaN: no position
};

// What the look-up appends: the columns picked (LookupColumns unless chosen), then with
// distances distance_miles and distance_km. latitude, longitude, county_fips and the distances
// need `places`.
struct LookupAppends {
    std::vector<std::string> columns{LookupColumns.begin(), LookupColumns.end()};
    std::optional<RecordPlaces> places;
    // kind, time_zone and the other_ lists need the facts; without them they stay empty.
    const ZipFacts* facts = nullptr;
    // population and density need PEOPLE.DAT; without it they stay empty.
    const People* people = nullptr;
};

// Answers ZIP codes from the data files, opened once for the whole run. A three-digit block of
// ZIPCODE.DAT is read the first time one of its ZIP codes is asked for, and the appended CSV
// text of each of its ZIP codes is made then, once: a long file costs one table look-up per row.
class ZipAnnotator {
public:
    // Throws FatalError when CITY.DAT or ZIPCODE.DAT cannot be opened.
    ZipAnnotator(const DataSet& data, const Settings& settings, LookupAppends appends = {});

    // The appended fields of a ZIP code (0 to 99999), each after a comma (by default
    // ",city,state,county,area_code,utc_offset,dst"), or nothing when the data has no such ZIP
    // code. The view lasts as long as the annotator. A damaged data file throws FatalError or
    // IoError.
    std::optional<std::string_view> fields(std::uint32_t zip);

    // The names of the appended columns, in order.
    const std::vector<std::string>& columns() const { return columns_; }
    // The appended fields of a row without a ZIP code: a comma for each column.
    std::string_view noFields() const { return noFields_; }

private:
    void loadBlock(std::uint32_t prefix);
    void appendFields(std::uint32_t record, const ZipRecord& rec);
    void appendPeople(std::string_view column, std::uint32_t record);

    static constexpr std::int32_t NotRead = -2;
    static constexpr std::int32_t Unknown = -1;

    const DataSet& data_;
    const Settings& settings_;
    LookupAppends appends_;
    std::vector<std::string> columns_;
    std::string noFields_;
    ZipFile zips_;
    CityFile cities_;
    std::vector<std::int32_t> entry_; // by ZIP code: an index into offsets_, Unknown or NotRead
    std::string text_;                // the appended texts back to back
    std::vector<std::uint32_t> offsets_{0};
};

struct LookupCounts {
    std::size_t rows = 0;
    std::size_t found = 0;
    std::size_t notFound = 0;
    std::size_t malformed = 0; // empty fields too

    bool allFound() const { return found == rows; }
};

// Receives the output in pieces of a few hundred kilobytes.
using OutputSink = std::function<void(std::string_view)>;

// Annotates a CSV stream: the header row and every row as they came, each with the appended
// columns (a name the input has already gets the prefix zip_); short rows are filled with empty
// fields so the appended columns line up. The ZIP column is `column` when given, else the first
// of ZipColumnNames; without one, a first line whose first field is a ZIP code starts a plain
// list of ZIP codes, one per line, written under the header zip. Input that is not CSV, a row
// longer than the header, or a header without the ZIP column throws LookupError.
LookupCounts LookupCsv(CsvReader& in, const OutputSink& out, ZipAnnotator& annotator,
                       const std::optional<std::string>& column);

// Annotates ZIP codes given one by one, as a plain list with CR LF line ends.
LookupCounts LookupList(const std::vector<std::string>& zips, const OutputSink& out,
                        ZipAnnotator& annotator);

// The summary line for standard error, without its line end.
std::string CountsLine(const LookupCounts& counts);

} // namespace corvana::cli
