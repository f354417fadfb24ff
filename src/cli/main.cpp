// corvana-query: one search of the ZIP code directory from the command line, answered from the
// same data files and with the same searches as the window.

#include "cli/Commands.h"
#include "data/DataSet.h"
#include "data/FileNames.h"
#include "data/ShortString.h"
#include "data/Win1252.h"
#include "format/LocalTime.h"
#include "format/OutputFormats.h"
#include "format/SystemZone.h"
#include "output/CopyOutput.h"
#include "search/Search.h"
#include "search/SearchRequest.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include "Version.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace corvana;

namespace {

using enum cli::Exit;

constexpr const char* UsageText =
    "Usage: corvana-query [OPTIONS] zip TEXT | city TEXT | state ST [TEXT] | county TEXT | "
    "area TEXT\n"
    "       corvana-query [OPTIONS] lookup [ZIP...]   (no ZIP: CSV or list on standard input)\n"
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
    "  --help           show this text\n"
    "  --version        show the program version and the date of the data\n";

struct Options {
    std::optional<std::string> dataDir;
    std::optional<std::string> settingsFile;
    std::optional<std::string> singleState;
    std::optional<std::vector<std::string>> show;
    std::optional<std::vector<std::string>> caps;
    std::optional<int> format;
    std::optional<std::string> column;
    bool csv = false;
    bool json = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> words; // the command and its texts
};

struct UsageFailure {
    std::string what;
};

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

Options ParseArguments(int argc, char** argv) {
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
        if (arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (arg == "--csv" || arg == "--json") {
            (arg == "--csv" ? o.csv : o.json) = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (auto eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name != "--data" && name != "--settings" && name != "--state" && name != "--show" &&
            name != "--caps" && name != "--format" && name != "--column")
            throw UsageFailure{"unknown option " + std::string(name)};
        if (!value) {
            if (i + 1 >= argc)
                throw UsageFailure{std::string(name) + " needs a value"};
            value = argv[++i];
        }
        if (name == "--data") {
            o.dataDir = std::string(*value);
        } else if (name == "--settings") {
            o.settingsFile = std::string(*value);
        } else if (name == "--column") {
            o.column = std::string(*value);
        } else if (name == "--state") {
            o.singleState = std::string(*value);
        } else if (name == "--show") {
            o.show = SplitList(*value, {"county", "area", "zone", "time"}, name);
        } else if (name == "--caps") {
            o.caps = SplitList(*value, {"cities", "counties", "states"}, name);
        } else {
            const std::string v(*value);
            if (v.empty() || v.size() > 2 ||
                v.find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(v) >= int(OutputFormats.size()))
                throw UsageFailure{"--format takes a number from 0 to 32"};
            o.format = std::stoi(v);
        }
    }
    if (o.csv && o.json)
        throw UsageFailure{"--csv and --json exclude each other"};
    if (o.format && (o.csv || o.json))
        throw UsageFailure{"--format prints text lines; it does not go with --csv or --json"};
    const bool lookup = !o.words.empty() && o.words[0] == "lookup";
    if (lookup && (o.json || o.format || o.singleState || o.show))
        throw UsageFailure{"lookup writes CSV with every field; --json, --format, --state and "
                           "--show do not apply"};
    if (!lookup && o.column)
        throw UsageFailure{"--column applies to lookup only"};
    return o;
}

// Command-line text is UTF-8; the data and the searches use Windows-1252.
std::string ToCore(std::string_view utf8) {
    auto bytes = Utf8ToWin1252(utf8);
    if (!bytes)
        throw UsageFailure{"\"" + std::string(utf8) + "\" cannot be written in Windows-1252"};
    return *bytes;
}

void PrintLine(const std::string& core) {
    std::cout << Win1252ToUtf8(core) << '\n';
}

void PrintFatal(const std::string& message) {
    std::cerr << "FATAL ERROR: " << Win1252ToUtf8(message) << '\n';
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

std::string VersionLine(const DataSet& data) {
    std::string line = "corvana-query " CORVANA_VERSION;
    const std::string date = ZipDataDate(data);
    if (std::filesystem::is_regular_file(data.path(files::ZipVerDat)))
        line += ", Zip Code Data updated in " + Win1252ToUtf8(date);
    else
        line += ", no version date of Zip Code Data in " + data.dir;
    return line;
}

// Runs the command's search; empty when the state abbreviation names no state.
std::optional<SearchResult> RunCommand(const Options& o, const SearchContext& ctx) {
    const auto& w = o.words;
    const std::string& mode = w[0];
    const std::size_t texts = w.size() - 1;
    const bool stateMode = mode == "state";
    if (!(mode == "zip" || mode == "city" || stateMode || mode == "county" || mode == "area"))
        throw UsageFailure{"unknown search \"" + mode + "\""};
    if (stateMode ? (texts < 1 || texts > 2) : texts != 1)
        throw UsageFailure{"wrong number of texts for \"" + mode + "\""};

    SearchRequest request;
    request.mode = mode == "zip"      ? SearchMode::Zip
                   : mode == "city"   ? SearchMode::City
                   : mode == "county" ? SearchMode::County
                   : mode == "area"   ? SearchMode::Area
                                      : SearchMode::State;
    if (o.singleState)
        request.singleState = upperAscii(ToCore(*o.singleState));
    // Only the digits of a ZIP code count, so its text need not be written in Windows-1252.
    request.text = request.mode == SearchMode::Zip ? w[1] : ToCore(w[1]);
    if (stateMode) {
        request.chosenStates = ChooseStates(ctx.data, FieldText(SearchMode::State, request.text));
        if (request.chosenStates.empty())
            return std::nullopt;
        request.text = texts == 2 ? ToCore(w[2]) : std::string();
    }
    return RunSearch(request, ctx);
}

int Run(int argc, char** argv) {
    const Options o = ParseArguments(argc, argv);
    if (o.help) {
        std::cout << UsageText;
        return Found;
    }
    DataSet data;
    data.dir = o.dataDir ? *o.dataDir : ProgramDirectory();
    if (o.version) {
        std::cout << VersionLine(data) << '\n';
        return Found;
    }
    if (o.words.empty())
        throw UsageFailure{"no search given"};
    const SystemClock clock;
    const Settings settings = ReadSettings(o, clock);

    const LoadResult load = LoadInData(data);
    for (const auto& m : load.fatal)
        PrintFatal(m);
    if (load.ioError)
        std::cerr << *load.ioError << '\n';
    if (!load.ok())
        return DataError;

    if (o.words[0] == "lookup")
        return cli::RunLookup({o.words.begin() + 1, o.words.end()}, o.column, data, settings);

    std::setlocale(LC_TIME, "");
    const SearchContext ctx{data, settings,
                            TimeContext{IsDaylightPeriod(clock.now()), &clock, FormatTimeC}};
    const std::optional<SearchResult> result = RunCommand(o, ctx);
    if (!result) {
        if (o.csv || o.json)
            std::cout << (o.json ? "[]\n" : "");
        std::cerr << "No matching state abbreviations found.\n";
        return NothingFound;
    }
    if (!result->fatal.empty()) {
        for (const auto& m : result->fatal)
            PrintFatal(m);
        return DataError;
    }
    if (o.csv || o.json)
        return cli::PrintStructured(*result, o.json, o.words[0] == "county", data, settings,
                                    ctx.time);

    bool printed = false;
    int status = Found;
    if (!o.format) {
        if (result->listShown) {
            if (result->heading)
                PrintLine(std::string(result->heading->text));
            for (const auto& item : result->items) {
                PrintLine(item.text);
                printed = printed || item.kind() != ItemKind::NoMatch;
            }
        }
    } else if (result->listShown) {
        std::vector<ResultItem> lines;
        for (const auto& item : result->items) {
            if (item.record())
                lines.push_back(item);
        }
        const CollectedOutput out = CollectOutput(lines, *o.format, data, settings);
        if (out.missingFile) {
            for (const auto& m : out.fatal)
                PrintFatal(m);
            return DataError;
        }
        std::string text;
        for (std::size_t i = 0; i < out.text.size(); ++i) {
            if (out.text[i] == '\r' && i + 1 < out.text.size() && out.text[i + 1] == '\n')
                continue;
            text += out.text[i];
        }
        std::cout << Win1252ToUtf8(text);
        printed = !lines.empty() && !text.empty();
        for (const auto& m : out.fatal)
            PrintFatal(m);
        if (!out.fatal.empty())
            status = DataError;
        if (out.ioError) {
            std::cerr << *out.ioError << '\n';
            status = DataError;
        }
    }
    if (result->ioError) {
        std::cerr << *result->ioError << '\n';
        status = DataError;
    }
    std::cout.flush();
    if (status != Found)
        return status;
    return printed ? Found : NothingFound;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const UsageFailure& e) {
        std::cerr << "corvana-query: " << e.what << "\n\n" << UsageText;
        return UsageError;
    }
}
