#include "mkdata/CommandLine.h"

#include "mkdata/Builder.h"
#include "mkdata/ExchangeTable.h"
#include "mkdata/TableFields.h"

#include "data/FileNames.h"

#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <variant>

namespace corvana::mkdata {

namespace {

constexpr const char* Usage =
    "Usage: corvana-mkdata --csv FILE --out DIR --date TEXT [--exchanges FILE]\n"
    "Builds the Corvana data files from a UTF-8 table with the header\n"
    "  zip,city,state,county,area_code,utc_offset,dst,other_counties,other_area_codes\n"
    "and optionally other_cities and other_county_names (further names of the place and of\n"
    "its counties, each a ';' list), latitude, longitude (decimal degrees), county_fips\n"
    "(five digits), kind (standard, po_box_or_unique or military) and time_zone (an IANA\n"
    "name such as America/Boise) into DIR; TEXT is the data date that the Version message\n"
    "shows (e.g. \"March 2026\"). POINTS.DAT is written when the table has a latitude,\n"
    "longitude or county_fips column, ZIPFACTS.DAT when it has kind or time_zone.\n"
    "PEOPLE.DAT is written when it has population (people) or density (people per square\n"
    "mile, at most one decimal).\n"
    "With --exchanges, EXCHANGE.DAT (where telephone numbers ring) is built from that table\n"
    "(area_code,exchange,city,state,zones; see dataset/exchanges.csv).\n"
    "Nothing in DIR is replaced unless every file could be built and written.\n";

struct Options {
    std::string csvPath, outDir, date, exchangesPath;
};

// The options of the command line; the exit status instead when the run ends with them (help
// asked for, or a wrong command line).
std::variant<Options, int> parseOptions(const std::vector<std::string>& args, std::ostream& out,
                                        std::ostream& err) {
    std::string csvPath, outDir, date, exchangesPath;
    bool haveCsv = false, haveOut = false, haveDate = false, haveExchanges = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << Usage;
            return 0;
        }
        std::string* value = a == "--csv"         ? &csvPath
                             : a == "--out"       ? &outDir
                             : a == "--date"      ? &date
                             : a == "--exchanges" ? &exchangesPath
                                                  : nullptr;
        bool* given = a == "--csv"    ? &haveCsv
                      : a == "--out"  ? &haveOut
                      : a == "--date" ? &haveDate
                                      : &haveExchanges;
        if (!value) {
            err << "corvana-mkdata: unknown argument " << inQuotes(a) << "\n" << Usage;
            return 2;
        }
        if (i + 1 >= args.size()) {
            err << "corvana-mkdata: " << a << " needs a value\n" << Usage;
            return 2;
        }
        *value = args[++i];
        *given = true;
    }
    if (!haveCsv || !haveOut || !haveDate || csvPath.empty() || outDir.empty()) {
        err << "corvana-mkdata: --csv, --out and --date are all needed\n" << Usage;
        return 2;
    }
    try {
        DateText(date);
    } catch (const InputError& e) {
        err << "corvana-mkdata: --date: " << e.what() << "\n";
        return 2;
    }
    if (haveExchanges && exchangesPath.empty()) {
        err << "corvana-mkdata: --exchanges needs a file\n" << Usage;
        return 2;
    }
    return Options{csvPath, outDir, date, exchangesPath};
}

} // namespace

int RunMkdata(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::variant<Options, int> options = parseOptions(args, out, err);
    if (const int* status = std::get_if<int>(&options))
        return *status;
    const auto& [csvPath, outDir, date, exchangesPath] = std::get<Options>(options);

    auto readText = [&err](const std::string& path) -> std::optional<std::string> {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        if (in.is_open())
            text << in.rdbuf();
        if (!in.is_open() || in.bad()) {
            err << "corvana-mkdata: cannot read " << path << "\n";
            return std::nullopt;
        }
        return text.str();
    };
    const std::optional<std::string> text = readText(csvPath);
    if (!text)
        return 1;
    DataFiles files;
    std::string_view reading = csvPath;
    try {
        files = BuildDataFiles(*text, date);
        if (!exchangesPath.empty()) {
            const std::optional<std::string> exchanges = readText(exchangesPath);
            if (!exchanges)
                return 1;
            reading = exchangesPath;
            files[filenames::ExchangeDat] = BuildExchangeFile(*exchanges);
        }
    } catch (const InputError& e) {
        err << "corvana-mkdata: " << reading << (e.line() ? ", " : ": ") << e.what() << "\n";
        return 1;
    }
    try {
        WriteDataFiles(files, outDir);
    } catch (const std::exception& e) {
        err << "corvana-mkdata: the data files in " << outDir
            << " were left as they were: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace corvana::mkdata
