#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::mkdata {

// A fault in the input table. line() is the line of the table it was found on, 0 when the
// fault belongs to the table as a whole; what() begins with "line N: " when there is a line.
class InputError : public std::runtime_error {
public:
    InputError(std::size_t line, const std::string& problem)
        : std::runtime_error(line ? "line " + std::to_string(line) + ": " + problem : problem),
          line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// The data files of one data set: file name to contents (Windows-1252 text, little-endian
// records), every one of the ten names present, and POINTS.DAT when the table has positions.
using DataFiles = std::map<std::string, std::string>;

// The column names of the table, in the order the table is written.
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

// The date line of ZIPVER.DAT from UTF-8 text; throws InputError (line 0) when the text is
// empty, spans lines, or cannot be written in Windows-1252.
std::string DateText(std::string_view utf8);

// Builds every data file from the UTF-8 table and the UTF-8 data date; POINTS.DAT when the table
// has a latitude, longitude or county_fips column, ZIPFACTS.DAT when it has a kind or time_zone
// column, PEOPLE.DAT when it has a population or density column. Throws InputError, with the line
// of the table where it can name one, for anything the files could not hold as given.
DataFiles BuildDataFiles(std::string_view csv, std::string_view date);

// Writes the files into dir (made when missing) without ever leaving a half-written set: all of
// them go into a fresh folder inside dir first and are then renamed into place. A file of
// filenames::DataSetFiles that the new set lacks (POINTS.DAT from a table without positions,
// ZIPFACTS.DAT without kinds, EXCHANGE.DAT without --exchanges) is removed last, as it belongs to
// the old set; other files of dir are left alone. Throws std::exception when a file cannot be
// written; the folder is removed then.
void WriteDataFiles(const DataFiles& files, const std::filesystem::path& dir);

// The whole program: corvana-mkdata --csv FILE --out DIR --date TEXT. Returns the exit status:
// 0 done, 1 the table or the files failed, 2 the command line is wrong.
int RunMkdata(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace corvana::mkdata
