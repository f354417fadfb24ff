#include "cli/Options.h"

#include "cli/Command.h"
#include "data/FileNames.h"
#include "text/Win1252.h"
#include "format/OutputFormats.h"
#include "format/SystemZone.h"
#include "settings/IniFile.h"

#include "Version.h"

#include <filesystem>
#include <initializer_list>

namespace corvana::cli {

const char* const UsageText =
    "Usage: corvana-query [OPTIONS] zip TEXT | city TEXT | state ST [TEXT] | county TEXT | "
    "area TEXT\n"
    "       corvana-query [OPTIONS] lookup [ZIP...]   (no ZIP: CSV or list on standard input)\n"
    "       corvana-query [OPTIONS] distance ZIP ZIP | near ZIP|LAT,LON | nearest LAT,LON\n"
    "  --data DIR       directory of the data files (default: the program directory)\n"
    "  --settings FILE  settings file to read instead of the user's CORVANA.INI; never written\n"
    "  --state ST       City and County: search the single state ST only\n"
    "  --show LIST      comma list from county,area,zone,time, or none\n"
    "  --caps LIST      comma list from cities,counties,states, or none\n"
    "  --format N       print output format N (0-32) for every ZIP line instead of the list\n"
    "  --csv            print the result as CSV with a header row\n"
    "  --json           print the result as a JSON array of objects\n"
    "  --column NAME    lookup: the column of the ZIP codes (default: zip, zipcode, zip_code,\n"
    "                   zip code, postal_code or postcode)\n"
    "  --columns LIST   lookup: the appended columns, a comma list from city,state,county,\n"
    "                   area_code,utc_offset,dst,latitude,longitude,county_fips (default: the\n"
    "                   first six)\n"
    "  --distance-from ZIP|LAT,LON\n"
    "                   lookup: append the distance from that ZIP code or point\n"
    "  --miles R        near: the radius in miles (default: 10)\n"
    "  --km R           near: the radius in kilometers\n"
    "  --limit N        near: list at most N ZIP codes, the nearest\n"
    "  --help           show this text\n"
    "  --version        show the program version and the date of the data\n";

namespace {

std::vector<std::string> SplitList(std::string_view list,
                                   std::initializer_list<std::string_view> allowed,
                                   std::string_view option) {
    std::vector<std::string> words;
    if (list == "none")
        return words;
    while (true) {
        const auto comma = list.find(',');
        const std::string_view word = list.substr(0, comma);
        bool known = false;
        for (auto a : allowed)
            known = known || word == a;
        if (!known)
            throw UsageFailure{"unknown word \"" + std::string(word) + "\" in " +
                               std::string(option)};
        words.emplace_back(word);
        if (comma == std::string_view::npos)
            return words;
        list.remove_prefix(comma + 1);
    }
}

bool Has(const std::vector<std::string>& words, std::string_view w) {
    for (const auto& x : words)
        if (x == w)
            return true;
    return false;
}

bool TakesValue(std::string_view name) {
    for (std::string_view option :
         {"--data", "--settings", "--state", "--show", "--caps", "--format", "--column", "--miles",
          "--km", "--limit", "--columns", "--distance-from"})
        if (name == option)
            return true;
    return false;
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

Radius ReadRadius(std::optional<Radius> earlier, std::string_view name, std::string_view value) {
    const geo::LengthUnit unit = name == "--km" ? geo::LengthUnit::Km : geo::LengthUnit::Miles;
    if (earlier && earlier->unit != unit)
        throw UsageFailure{"--miles and --km exclude each other"};
    const geo::RadiusParse parse = geo::ParseRadius(value, unit);
    if (parse.error != geo::RadiusError::None)
        throw UsageFailure{std::string(name) + " " + std::string(value) + ": " + parse.message,
                           false};
    return Radius{unit == geo::LengthUnit::Miles ? parse.km / geo::KmPerMile : parse.km, unit};
}

void SetValue(Options& o, std::string_view name, std::string_view value) {
    if (name == "--miles" || name == "--km") {
        o.radius = ReadRadius(o.radius, name, value);
    } else if (name == "--limit") {
        o.limit = ReadLimit(value);
    } else if (name == "--columns") {
        o.columns = SplitList(value,
                              {"city", "state", "county", "area_code", "utc_offset", "dst",
                               "latitude", "longitude", "county_fips"},
                              name);
    } else if (name == "--distance-from") {
        o.distanceFrom = std::string(value);
    } else if (name == "--data") {
        o.dataDir = std::string(value);
    } else if (name == "--settings") {
        o.settingsFile = std::string(value);
    } else if (name == "--column") {
        o.column = std::string(value);
    } else if (name == "--state") {
        o.singleState = std::string(value);
    } else if (name == "--show") {
        o.show = SplitList(value, {"county", "area", "zone", "time"}, name);
    } else if (name == "--caps") {
        o.caps = SplitList(value, {"cities", "counties", "states"}, name);
    } else {
        const std::string v(value);
        if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(v) >= int(OutputFormats.size()))
            throw UsageFailure{"--format takes a number from 0 to 32"};
        o.format = std::stoi(v);
    }
}

// A flag option; false when `arg` is none.
bool SetFlag(Options& o, std::string_view arg) {
    if (arg == "--help")
        o.help = true;
    else if (arg == "--version")
        o.version = true;
    else if (arg == "--csv")
        o.csv = true;
    else if (arg == "--json")
        o.json = true;
    else
        return false;
    return true;
}

} // namespace

Options ParseOptions(int argc, char** argv) {
    Options o;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded || !arg.starts_with("--")) {
            o.words.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (SetFlag(o, arg))
            continue;
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (auto eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (!TakesValue(name))
            throw UsageFailure{"unknown option " + std::string(name)};
        if (!value) {
            if (i + 1 >= argc)
                throw UsageFailure{std::string(name) + " needs a value"};
            value = argv[++i];
        }
        SetValue(o, name, *value);
    }
    if (o.csv && o.json)
        throw UsageFailure{"--csv and --json exclude each other"};
    if (o.format && (o.csv || o.json))
        throw UsageFailure{"--format prints text lines; it does not go with --csv or --json"};
    FindCommand(o.words.empty() ? std::string_view() : o.words.front()).checkOptions(o);
    return o;
}

void RefuseOptions(const Options& o, std::string_view command,
                   std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        bool given = false;
        if (name == "--state")
            given = bool(o.singleState);
        else if (name == "--column")
            given = bool(o.column);
        else if (name == "--miles" || name == "--km")
            given = o.radius && (o.radius->unit == geo::LengthUnit::Km) == (name == "--km");
        else if (name == "--limit")
            given = bool(o.limit);
        else if (name == "--columns")
            given = bool(o.columns);
        else if (name == "--distance-from")
            given = bool(o.distanceFrom);
        if (given)
            throw UsageFailure{std::string(name) + " does not apply to " + std::string(command)};
    }
}

Settings ReadSettings(const Options& o, const Clock& clock) {
    IniFile ini;
    if (o.settingsFile) {
        if (!std::filesystem::is_regular_file(*o.settingsFile))
            throw UsageFailure{"cannot read the settings file " + *o.settingsFile};
        ini = IniFile::load(*o.settingsFile);
    } else if (auto path = SettingsFilePath(); !path.empty()) {
        ini = IniFile::load(path);
    }
    Settings s = LoadSettings(ini, ClockUserZone(clock));
    if (o.show) {
        s.showCounty = Has(*o.show, "county");
        s.showAreaCode = Has(*o.show, "area");
        s.showTimeZone = Has(*o.show, "zone");
        s.showCurrentTime = Has(*o.show, "time");
    }
    if (o.caps) {
        s.citiesInCaps = Has(*o.caps, "cities");
        s.countiesInCaps = Has(*o.caps, "counties");
        s.statesInCaps = Has(*o.caps, "states");
    }
    if (o.singleState)
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
