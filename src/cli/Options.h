#pragma once

// corvana-query's command line: its options and words, the usage text, and the settings and
// texts that the options give every command.

#include "data/DataSet.h"
#include "format/LocalTime.h"
#include "geo/Distance.h"
#include "settings/Settings.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::cli {

enum Exit { Found = 0, NothingFound = 1, UsageError = 2, DataError = 3 };

// A command line that cannot be run: "corvana-query: " and `what` go to standard error, then
// the usage text, and the run ends with UsageError. A value that is well placed but wrong (a
// radius of 0, a point off the globe) leaves the usage text out: the one line says it all.
struct UsageFailure {
    std::string what;
    bool showUsage = true;
};

// The radius of near as typed, in the unit of its option.
struct Radius {
    double value = 10;
    geo::LengthUnit unit = geo::LengthUnit::Miles;

    double km() const { return unit == geo::LengthUnit::Miles ? value * geo::KmPerMile : value; }
    double miles() const { return unit == geo::LengthUnit::Miles ? value : value / geo::KmPerMile; }
};

extern const char* const UsageText;

struct Options {
    std::optional<std::string> dataDir;
    std::optional<std::string> settingsFile;
    std::optional<std::string> singleState;
    std::optional<std::vector<std::string>> show;
    std::optional<std::vector<std::string>> caps;
    std::optional<int> format;
    std::optional<std::string> column;
    std::optional<Radius> radius;                    // --miles or --km
    std::optional<std::size_t> limit;                // --limit
    std::optional<std::vector<std::string>> columns; // --columns
    std::optional<std::string> distanceFrom;         // --distance-from
    bool csv = false;
    bool json = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> words; // the command and its texts
};

// Reads the options and words of a command line, and has the command that the first word names
// check the options it takes. Throws UsageFailure.
Options ParseOptions(int argc, char** argv);

// Refuses, with UsageFailure, each of `names` (options such as "--miles") that the command line
// gives: "--miles does not apply to lookup".
void RefuseOptions(const Options& o, std::string_view command,
                   std::initializer_list<std::string_view> names);

// The settings of the run: the settings file that --settings names, else the user's, with
// --show, --caps and --state applied. Never written back.
Settings ReadSettings(const Options& o, const Clock& clock);

// Command-line text is UTF-8; the data and the searches use Windows-1252. Throws UsageFailure
// for a character that Windows-1252 lacks.
std::string ToCore(std::string_view utf8);

// The line that --version prints: the program's version and the date of the data.
std::string VersionLine(const DataSet& data);

} // namespace corvana::cli
