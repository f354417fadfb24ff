#include "cli/Options.h"

#include "cli/Command.h"
#include "data/FileNames.h"
#include "format/OutputFormats.h"
#include "format/SystemZone.h"
#include "settings/IniFile.h"
#include "text/Win1252.h"

#include "Version.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>

namespace corvana::cli {

namespace {

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> words;
    if (list == "none")
        return words;
    while (true) {
        const auto comma = list.find(',');
        words.emplace_back(list.substr(0, comma));
        if (comma == std::string_view::npos)
            return words;
        list.remove_prefix(comma + 1);
    }
}

void CheckList(std::string_view list, std::initializer_list<std::string_view> allowed,
               std::string_view option) {
    for (const std::string& word : SplitList(list))
        if (std::find(allowed.begin(), allowed.end(), word) == allowed.end())
            throw UsageFailure{"unknown word \"" + word + "\" in " + std::string(option)};
}

bool Has(const std::vector<std::string>& words, std::string_view w) {
    return std::find(words.begin(), words.end(), w) != words.end();
}

// A positive whole number of at most nine digits.
std::size_t ReadLimit(std::string_view value) {
    const std::string v(value);
    if (v.empty() || v.size() > 9 || v.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(v) == 0)
        throw UsageFailure{"--limit takes a whole number from 1 to 999999999, not \"" + v + "\"",
                           false};
    return std::stoul(v);
}

KindSet ReadKinds(std::string_view value) {
    if (const std::optional<KindSet> kinds = KindSet::parse(value))
        return *kinds;
    throw UsageFailure{"--kind takes all or a comma list from standard,po_box_or_unique,military, "
                       "not \"" +
                           std::string(value) + "\"",
                       false};
}

NearbyRadius ReadRadius(const Option& o, std::string_view value) {
    const geo::LengthUnit unit = &o == &option::Km ? geo::LengthUnit::Km : geo::LengthUnit::Miles;
    const geo::RadiusParse parse = geo::ParseRadius(value, unit);
    if (parse.error != geo::RadiusError::None)
        throw UsageFailure{std::string(o.name) + " " + std::string(value) + ": " + parse.message,
                           false};
    return NearbyRadius{unit == geo::LengthUnit::Miles ? parse.km / geo::KmPerMile : parse.km,
                        unit};
}

// --people and a radius exclude each other, whichever comes first.
void CheckNotBoth(const CommandLine& earlier, const Option& o) {
    if (&o == &option::People) {
        for (const Option* radius : {&option::Miles, &option::Km})
            if (earlier.has(*radius))
                throw UsageFailure{std::string(radius->name) + " and --people exclude each other"};
    } else if (earlier.has(option::People)) {
        throw UsageFailure{std::string(o.name) + " and --people exclude each other"};
    }
}

void CheckRadius(const CommandLine& earlier, const Option& o, const Option& other,
                 std::string_view value) {
    if (earlier.has(other))
        throw UsageFailure{"--miles and --km exclude each other"};
    CheckNotBoth(earlier, o);
    ReadRadius(o, value);
}

// A whole number of people from 1 up; eighteen digits at most, so that it cannot overflow.
std::uint64_t ReadPeople(std::string_view value) {
    const std::string v(value);
    if (v.empty() || v.size() > 18 || v.find_first_not_of("0123456789") != std::string::npos ||
        std::stoull(v) == 0)
        throw UsageFailure{"--people takes a whole number from 1 up, not \"" + v + "\"", false};
    return std::stoull(v);
}

int ReadFormat(std::string_view value) {
    const std::string v(value);
    if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(v) >= int(OutputFormats.size()))
        throw UsageFailure{"--format takes a number from 0 to 32"};
    return std::stoi(v);
}

CallWindow ReadHours(std::string_view value) {
    const std::optional<CallWindow> hours = ParseCallWindow(value);
    if (!hours)
        throw UsageFailure{"--hours takes two whole hours from 0 to 24, the first before the "
                           "second, as 9-20, not \"" +
                               std::string(value) + "\"",
                           false};
    return *hours;
}

} // namespace

namespace option {
const Option Data{"--data", "DIR", "",
                  "directory of the data files (default: the program directory)"};
const Option SettingsFile{"--settings", "FILE", "",
                          "settings file to read instead of the user's CORVANA.INI; never written"};
const Option State{"--state", "ST", "", "City and County: search the single state ST only"};
const Option Show{"--show", "LIST", "", "comma list from county,area,zone,time, or none",
                  [](const CommandLine&, std::string_view v) {
                      CheckList(v, {"county", "area", "zone", "time"}, "--show");
                  }};
const Option Caps{"--caps", "LIST", "", "comma list from cities,counties,states, or none",
                  [](const CommandLine&, std::string_view v) {
                      CheckList(v, {"cities", "counties", "states"}, "--caps");
                  }};
const Option Format{"--format", "N", "",
                    "print output format N (0-32) for every ZIP line instead of the list",
                    [](const CommandLine&, std::string_view v) { ReadFormat(v); }};
const Option Csv{"--csv", "", "", "print the result as CSV with a header row"};
const Option Json{"--json", "", "", "print the result as a JSON array of objects"};
const Option Column{"--column", "NAME", "lookup: ",
                    "the column of the ZIP codes (default: zip, zipcode, zip_code,\n"
                    "zip code, postal_code or postcode)"};
const Option Columns{"--columns", "LIST", "lookup: ",
                     "the appended columns, a comma list from city,state,county,\n"
                     "area_code,utc_offset,dst,latitude,longitude,county_fips,kind,\n"
                     "time_zone,other_counties,other_area_codes,other_cities,\n"
                     "population,density (default: the first six; lists joined with ;)",
                     [](const CommandLine&, std::string_view v) {
                         CheckList(v,
                                   {"city", "state", "county", "area_code", "utc_offset", "dst",
                                    "latitude", "longitude", "county_fips", "kind", "time_zone",
                                    "other_counties", "other_area_codes", "other_cities",
                                    "population", "density"},
                                   "--columns");
                     }};
const Option DistanceFrom{"--distance-from", "ZIP|LAT,LON",
                          "lookup: ", "append the distance from that ZIP code or point"};
const Option Miles{
    "--miles", "R", "near, reach: ", "the radius in miles (default: 10)",
    [](const CommandLine& earlier, std::string_view v) { CheckRadius(earlier, Miles, Km, v); }};
const Option Km{
    "--km", "R", "near, reach: ", "the radius in kilometers",
    [](const CommandLine& earlier, std::string_view v) { CheckRadius(earlier, Km, Miles, v); }};
const Option People{"--people", "N",
                    "reach: ", "the radius that reaches N people, nearest ZIP codes first",
                    [](const CommandLine& earlier, std::string_view v) {
                        CheckNotBoth(earlier, People);
                        ReadPeople(v);
                    }};
const Option Sort{
    "--sort", "ORDER",
    "zip, city, state, county, area: ", "population: the ZIP lines by their people, most first",
    [](const CommandLine&, std::string_view v) {
        if (v != "population")
            throw UsageFailure{"--sort takes population, not \"" + std::string(v) + "\"", false};
    }};
const Option Limit{"--limit", "N", "near: ", "list at most N ZIP codes, the nearest",
                   [](const CommandLine&, std::string_view v) { ReadLimit(v); }};
const Option Kind{"--kind", "LIST", "near, nearest, reach: ",
                  "the kinds of ZIP codes: all, or a comma list from standard,\n"
                  "po_box_or_unique,military (near: all; nearest: standard)",
                  [](const CommandLine&, std::string_view v) { ReadKinds(v); }};
const Option Hours{"--hours", "H-H",
                   "phone, lookup: ", "the calling hours at the called place (default: 8-21)",
                   [](const CommandLine&, std::string_view v) { ReadHours(v); }};
const Option Zips{"--zips", "", "phone: ", "list the ZIP lines of where each number rings"};
const Option PhoneColumn{"--phone-column", "NAME", "lookup: ",
                         "the column of telephone numbers: append place, state, zones,\n"
                         "local_time and callable_now instead of the ZIP columns"};
const Option Help{"--help", "", "", "show this text"};
const Option Version{"--version", "", "", "show the program version and the date of the data"};
} // namespace option

namespace {

// Every option in the order of the usage text.
const Option* const UsageOrder[] = {
    &option::Data,    &option::SettingsFile, &option::State, &option::Show, &option::Caps,
    &option::Format,  &option::Csv,          &option::Json,  &option::Sort, &option::Column,
    &option::Columns, &option::DistanceFrom, &option::Miles, &option::Km,   &option::People,
    &option::Limit,   &option::Kind,         &option::Hours, &option::Zips, &option::PhoneColumn,
    &option::Help,    &option::Version};

// Every option in the order a command refuses them: of several it does not take, the first.
const Option* const RefusalOrder[] = {
    &option::State,  &option::Show,        &option::Format,  &option::Json,
    &option::Column, &option::Miles,       &option::Km,      &option::People,
    &option::Limit,  &option::Kind,        &option::Columns, &option::DistanceFrom,
    &option::Caps,   &option::Csv,         &option::Hours,   &option::Zips,
    &option::Sort,   &option::PhoneColumn, &option::Data,    &option::SettingsFile,
    &option::Help,   &option::Version};

const Option* Named(std::string_view name) {
    for (const Option* o : UsageOrder)
        if (o->name == name)
            return o;
    return nullptr;
}

} // namespace

bool CommandLine::has(const Option& o) const {
    return std::any_of(given_.begin(), given_.end(), [&](const auto& g) { return g.first == &o; });
}

std::optional<std::string> CommandLine::value(const Option& o) const {
    for (auto it = given_.rbegin(); it != given_.rend(); ++it)
        if (it->first == &o)
            return it->second;
    return std::nullopt;
}

void CommandLine::add(const Option& o, std::string value) {
    given_.emplace_back(&o, std::move(value));
}

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded || !arg.starts_with("--")) {
            line.words.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (const Option* o = Named(arg); o && !o->takesValue()) {
            line.add(*o);
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (auto eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const Option* o = Named(name);
        if (!o || !o->takesValue())
            throw UsageFailure{"unknown option " + std::string(name)};
        if (!value) {
            if (i + 1 >= argc)
                throw UsageFailure{std::string(name) + " needs a value"};
            value = argv[++i];
        }
        if (o->check)
            o->check(line, *value);
        line.add(*o, std::string(*value));
    }
    if (line.has(option::Csv) && line.has(option::Json))
        throw UsageFailure{"--csv and --json exclude each other"};
    if (line.has(option::Format) && (line.has(option::Csv) || line.has(option::Json)))
        throw UsageFailure{"--format prints text lines; it does not go with --csv or --json"};
    const Command& command =
        FindCommand(line.words.empty() ? std::string_view() : line.words.front());
    for (const Option* o : RefusalOrder)
        if (line.has(*o) && !command.takes(*o))
            throw UsageFailure{command.refusal(*o, line)};
    return line;
}

std::string OptionUsage(const Option& o, bool scope) {
    constexpr std::size_t HelpColumn = 19;
    std::string text = "  " + std::string(o.name);
    if (o.takesValue())
        text += " " + std::string(o.value);
    if (text.size() < HelpColumn)
        text.append(HelpColumn - text.size(), ' ');
    else
        text += "\n" + std::string(HelpColumn, ' ');
    if (scope)
        text += o.scope;
    for (char c : o.help) {
        text += c;
        if (c == '\n')
            text.append(HelpColumn, ' ');
    }
    return text + "\n";
}

const std::string& UsageText() {
    static const std::string text = [] {
        std::string t =
            "Usage: corvana-query [OPTIONS] zip TEXT | city TEXT | state ST [TEXT] | county TEXT "
            "| area TEXT\n"
            "       corvana-query [OPTIONS] lookup [ZIP... | FILE]   (neither: CSV or list on "
            "standard input)\n"
            "       corvana-query [OPTIONS] distance ZIP ZIP | near ZIP|LAT,LON | nearest "
            "LAT,LON\n"
            "       corvana-query [OPTIONS] reach ZIP|LAT,LON --miles R | --km R | --people N\n"
            "       corvana-query [OPTIONS] phone NUMBER...\n"
            "       corvana-query [OPTIONS] show ZIP...   (everything known about each)\n";
        for (const Option* o : UsageOrder)
            t += OptionUsage(*o, true);
        return t;
    }();
    return text;
}

std::span<const Option* const> AllOptions() {
    return UsageOrder;
}

std::optional<int> FormatOf(const CommandLine& line) {
    const auto v = line.value(option::Format);
    return v ? std::optional<int>(ReadFormat(*v)) : std::nullopt;
}

std::optional<std::size_t> LimitOf(const CommandLine& line) {
    const auto v = line.value(option::Limit);
    return v ? std::optional<std::size_t>(ReadLimit(*v)) : std::nullopt;
}

std::optional<KindSet> KindsOf(const CommandLine& line) {
    const auto v = line.value(option::Kind);
    return v ? std::optional<KindSet>(ReadKinds(*v)) : std::nullopt;
}

std::optional<std::uint64_t> PeopleOf(const CommandLine& line) {
    const auto v = line.value(option::People);
    return v ? std::optional<std::uint64_t>(ReadPeople(*v)) : std::nullopt;
}

std::optional<NearbyRadius> RadiusOf(const CommandLine& line) {
    if (const auto v = line.value(option::Miles))
        return ReadRadius(option::Miles, *v);
    if (const auto v = line.value(option::Km))
        return ReadRadius(option::Km, *v);
    return std::nullopt;
}

CallWindow CallWindowOf(const CommandLine& line) {
    const auto v = line.value(option::Hours);
    return v ? ReadHours(*v) : CallWindow{};
}

std::optional<std::vector<std::string>> ListOf(const CommandLine& line, const Option& o) {
    const auto v = line.value(o);
    return v ? std::optional<std::vector<std::string>>(SplitList(*v)) : std::nullopt;
}

Settings ReadSettings(const CommandLine& line, const Clock& clock) {
    IniFile ini;
    if (const auto file = line.value(option::SettingsFile)) {
        if (!std::filesystem::is_regular_file(*file))
            throw UsageFailure{"cannot read the settings file " + *file};
        ini = IniFile::load(*file);
    } else if (auto path = SettingsFilePath(); !path.empty()) {
        ini = IniFile::load(path);
    }
    Settings s = LoadSettings(ini, ClockUserZone(clock));
    if (const auto show = ListOf(line, option::Show)) {
        s.showCounty = Has(*show, "county");
        s.showAreaCode = Has(*show, "area");
        s.showTimeZone = Has(*show, "zone");
        s.showCurrentTime = Has(*show, "time");
    }
    if (const auto caps = ListOf(line, option::Caps)) {
        s.citiesInCaps = Has(*caps, "cities");
        s.countiesInCaps = Has(*caps, "counties");
        s.statesInCaps = Has(*caps, "states");
    }
    if (line.has(option::State))
        s.allState = false;
    return s;
}

std::string ToCore(std::string_view utf8) {
    auto bytes = Utf8ToWin1252(utf8);
    if (!bytes)
        throw UsageFailure{"\"" + std::string(utf8) + "\" cannot be written in Windows-1252"};
    return *bytes;
}

std::string VersionLine(const DataSet& data) {
    std::string line = "corvana-query " CORVANA_VERSION;
    const std::string date = ZipDataDate(data);
    if (std::filesystem::is_regular_file(data.path(filenames::ZipVerDat)))
        line += ", Zip Code Data updated in " + Win1252ToUtf8(date);
    else
        line += ", no version date of Zip Code Data in " + data.dir;
    return line;
}

} // namespace corvana::cli
