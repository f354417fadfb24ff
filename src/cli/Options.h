#pragma once

#include "data/ZipFacts.h"

// corvana-query's command line: its options, each declared once with its line of the usage
// text, the parser that reads them and the words, and the settings and texts that the options
// give every command. Which options a command takes, the command says (cli/Command.h).

#include "data/DataSet.h"
#include "format/LocalTime.h"
#include "search/Phone.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
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

class CommandLine;

// One option: its name, what its value is called ("DIR"; empty for a switch) and its help in the
// usage text, and the check of a value as the parser reads it.
struct Option {
    std::string_view name;
    std::string_view value;
    // The commands that take it, before the help in the whole usage text ("near: "); a
    // command's own usage leaves it out.
    std::string_view scope;
    // A line after the first is indented under the first.
    std::string_view help;
    // Throws UsageFailure for a value it refuses; `earlier` holds the options before this one.
    void (*check)(const CommandLine& earlier, std::string_view value) = nullptr;

    bool takesValue() const { return !value.empty(); }
};

namespace option {
extern const Option Data, SettingsFile, State, Show, Caps, Format, Csv, Json, Sort, Column, Columns,
    DistanceFrom, Miles, Km, People, Limit, Kind, Hours, Zips, PhoneColumn, Help, Version;
} // namespace option

// A command line as read: the options given, each with its value, and the words (the command
// and its texts).
class CommandLine {
public:
    bool has(const Option& o) const;
    // The value given last; empty when the option is not given.
    std::optional<std::string> value(const Option& o) const;
    void add(const Option& o, std::string value = {});

    std::vector<std::string> words;

private:
    std::vector<std::pair<const Option*, std::string>> given_;
};

// Every option, in the order of the usage text.
std::span<const Option* const> AllOptions();

// Reads the options and words of a command line, and has the command that the first word names
// refuse the options it does not take. Throws UsageFailure.
CommandLine ParseCommandLine(int argc, char** argv);

// The usage line of an option with its help, as the usage texts show it; with `scope`, the
// commands that take it before the help.
std::string OptionUsage(const Option& o, bool scope);

// The whole usage text: every command and every option.
const std::string& UsageText();

// The values of the options that take a number or a list, read as the parser checked them.
std::optional<int> FormatOf(const CommandLine& line);
std::optional<std::size_t> LimitOf(const CommandLine& line);
// The kinds --kind chooses; nothing when it is not given.
std::optional<KindSet> KindsOf(const CommandLine& line);
std::optional<NearbyRadius> RadiusOf(const CommandLine& line);
std::optional<std::uint64_t> PeopleOf(const CommandLine& line);
// The calling hours that --hours gives, else the federal 8 to 21.
CallWindow CallWindowOf(const CommandLine& line);
// The words of a comma list (--show, --caps, --columns); "none" is no words.
std::optional<std::vector<std::string>> ListOf(const CommandLine& line, const Option& o);

// The settings of the run: the settings file that --settings names, else the user's, with
// --show, --caps and --state applied. Never written back.
Settings ReadSettings(const CommandLine& line, const Clock& clock);

// Command-line text is UTF-8; the data and the searches use Windows-1252. Throws UsageFailure
// for a character that Windows-1252 lacks.
std::string ToCore(std::string_view utf8);

// The line that --version prints: the program's version and the date of the data.
std::string VersionLine(const DataSet& data);

} // namespace corvana::cli
