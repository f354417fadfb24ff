#include "cli/ResultOutput.h"

#include "cli/StructuredOutput.h"
#include "geo/Distance.h"
#include "output/CopyOutput.h"
#include "search/SearchRequest.h"
#include "text/Win1252.h"

#include <clocale>
#include <iostream>

namespace corvana::cli {

namespace {

void PrintLine(const std::string& core) {
    std::cout << Win1252ToUtf8(core) << '\n';
}

std::optional<double> KmOf(const ResultItem& item) {
    const ZipItem* z = item.as<ZipItem>();
    return z ? z->km : std::nullopt;
}

// The heading and every line; whether a line other than a no-match line was printed.
bool PrintList(const SearchResult& result, const PrintShape& shape) {
    bool printed = false;
    if (result.heading)
        PrintLine(std::string(result.heading->text));
    for (const auto& item : result.items) {
        const std::optional<double> km =
            shape.distances && !shape.distancesInLines ? KmOf(item) : std::nullopt;
        PrintLine(km ? item.text + "  " + geo::DistanceText(*km) : item.text);
        printed = printed || item.kind() != ItemKind::NoMatch;
    }
    if (shape.footer)
        std::cout << *shape.footer << '\n';
    return printed;
}

// Every ZIP line in output format `format`, with LF line ends; with distances, each line's
// block is followed by its distance. Returns the exit status; empty when CITY.DAT or
// ZIPCODE.DAT is missing, which ends the run at once.
std::optional<int> PrintFormatted(const SearchResult& result, int format, const Invocation& in,
                                  const PrintShape& shape) {
    // The copy formats know no distances: with them, each line is formatted on its own.
    std::vector<std::vector<ResultItem>> groups(1);
    for (const auto& item : result.items) {
        if (item.kind() != ItemKind::Zip)
            continue;
        if (shape.distances && !groups.back().empty())
            groups.emplace_back();
        groups.back().push_back(item);
    }
    std::string text;
    CollectedOutput out;
    for (const auto& lines : groups) {
        out = CollectOutput(lines, format, in.data, in.settings);
        if (out.missingFile) {
            for (const auto& m : out.fatal)
                PrintFatal(m);
            return std::nullopt;
        }
        for (std::size_t i = 0; i < out.text.size(); ++i) {
            if (out.text[i] == '\r' && i + 1 < out.text.size() && out.text[i + 1] == '\n')
                continue;
            text += out.text[i];
        }
        const std::optional<double> km =
            shape.distances && !lines.empty() ? KmOf(lines.front()) : std::nullopt;
        if (km)
            text += geo::DistanceText(*km) + '\n';
        if (!out.fatal.empty() || out.ioError)
            break;
    }
    std::cout << Win1252ToUtf8(text);
    if (shape.footer && out.fatal.empty() && !out.ioError)
        std::cout << *shape.footer << '\n';
    for (const auto& m : out.fatal)
        PrintFatal(m);
    if (out.ioError)
        std::cerr << *out.ioError << '\n';
    if (!out.fatal.empty() || out.ioError)
        return DataError;
    return !groups.front().empty() && !text.empty() ? Found : NothingFound;
}

// distance_miles and distance_km after the columns of each ZIP row.
void AddDistances(Table& table, const SearchResult& result) {
    if (table.columns.empty())
        return;
    table.columns.insert(table.columns.end(), {"distance_miles", "distance_km"});
    std::size_t row = 0;
    for (const ResultItem& item : result.items) {
        if (item.kind() != ItemKind::Zip || row >= table.rows.size())
            continue;
        Cell miles{Cell::Kind::Number, {}}, km{Cell::Kind::Number, {}};
        if (const std::optional<double> d = KmOf(item)) {
            const geo::DistanceFigures f = geo::DistanceColumns(*d);
            miles.text = f.miles;
            km.text = f.km;
        }
        table.rows[row].push_back(miles);
        table.rows[row].push_back(km);
        ++row;
    }
}

// The result as CSV or JSON (--csv, --json). Returns NothingFound when the result has no rows.
int PrintStructured(const SearchResult& result, const TimeContext& time, const Invocation& in,
                    const PrintShape& shape) {
    return ReportingDataErrors([&] {
        const bool json = in.options.has(option::Json);
        const bool countyMode = ModeFromWord(in.options.words.front()) == SearchMode::County;
        Table table = TabulateResult(result, countyMode, in.settings, time);
        if (shape.distances)
            AddDistances(table, result);
        std::cout << (json ? TableJson(table) : TableCsv(table));
        std::cout.flush();
        if (result.ioError) {
            std::cerr << *result.ioError << '\n';
            return DataError;
        }
        return table.rows.empty() ? NothingFound : Found;
    });
}

} // namespace

TimeContext RunTime(const Invocation& in) {
    std::setlocale(LC_TIME, "");
    return TimeContext{IsDaylightPeriod(in.clock.now()), &in.clock, FormatTimeC};
}

int PrintResult(const SearchResult& result, const TimeContext& time, const Invocation& in,
                const PrintShape& shape) {
    if (!result.fatal.empty()) {
        for (const auto& m : result.fatal)
            PrintFatal(m);
        return DataError;
    }
    const CommandLine& o = in.options;
    if (o.has(option::Csv) || o.has(option::Json))
        return PrintStructured(result, time, in, shape);
    int status = NothingFound;
    const std::optional<int> format = FormatOf(o);
    if (result.listShown && format) {
        const std::optional<int> formatted = PrintFormatted(result, *format, in, shape);
        if (!formatted)
            return DataError;
        status = *formatted;
    } else if (result.listShown) {
        status = PrintList(result, shape) ? Found : NothingFound;
    }
    if (result.ioError) {
        std::cerr << *result.ioError << '\n';
        status = DataError;
    }
    std::cout.flush();
    return status;
}

} // namespace corvana::cli
