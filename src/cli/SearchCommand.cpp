// corvana-query zip|city|state|county|area: one search, printed as the list shows it, in a copy
// format, or as CSV or JSON.

#include "cli/Command.h"
#include "cli/StructuredOutput.h"
#include "text/ShortString.h"
#include "text/Win1252.h"
#include "output/CopyOutput.h"
#include "search/Search.h"
#include "search/SearchRequest.h"

#include <clocale>
#include <iostream>
#include <optional>

namespace corvana::cli {

namespace {

void PrintLine(const std::string& core) {
    std::cout << Win1252ToUtf8(core) << '\n';
}

// The request of the command line; empty when the state abbreviation names no state.
std::optional<SearchRequest> Request(const Invocation& in) {
    const std::string& word = in.options.words.front();
    const std::vector<std::string>& texts = in.texts;
    const std::optional<SearchMode> mode = ModeFromWord(word);
    if (!mode)
        throw UsageFailure{"unknown search \"" + word + "\""};
    const bool stateMode = mode == SearchMode::State;
    if (stateMode ? (texts.size() < 1 || texts.size() > 2) : texts.size() != 1)
        throw UsageFailure{"wrong number of texts for \"" + word + "\""};

    SearchRequest request;
    request.mode = *mode;
    if (in.options.singleState)
        request.singleState = upperAscii(ToCore(*in.options.singleState));
    // Only the digits of a ZIP code count, so its text need not be written in Windows-1252.
    request.text = request.mode == SearchMode::Zip ? texts[0] : ToCore(texts[0]);
    if (stateMode) {
        request.chosenStates = ChooseStates(in.data, FieldText(SearchMode::State, request.text));
        if (request.chosenStates.empty())
            return std::nullopt;
        request.text = texts.size() == 2 ? ToCore(texts[1]) : std::string();
    }
    return request;
}

// The heading and every line; whether a line other than a no-match line was printed.
bool PrintList(const SearchResult& result) {
    bool printed = false;
    if (result.heading)
        PrintLine(std::string(result.heading->text));
    for (const auto& item : result.items) {
        PrintLine(item.text);
        printed = printed || item.kind() != ItemKind::NoMatch;
    }
    return printed;
}

// Every ZIP line in output format `format`, with LF line ends. Returns the exit status; empty
// when CITY.DAT or ZIPCODE.DAT is missing, which ends the run at once.
std::optional<int> PrintFormatted(const SearchResult& result, int format, const Invocation& in) {
    std::vector<ResultItem> lines;
    for (const auto& item : result.items) {
        if (item.kind() == ItemKind::Zip)
            lines.push_back(item);
    }
    const CollectedOutput out = CollectOutput(lines, format, in.data, in.settings);
    if (out.missingFile) {
        for (const auto& m : out.fatal)
            PrintFatal(m);
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 0; i < out.text.size(); ++i) {
        if (out.text[i] == '\r' && i + 1 < out.text.size() && out.text[i + 1] == '\n')
            continue;
        text += out.text[i];
    }
    std::cout << Win1252ToUtf8(text);
    for (const auto& m : out.fatal)
        PrintFatal(m);
    if (out.ioError)
        std::cerr << *out.ioError << '\n';
    if (!out.fatal.empty() || out.ioError)
        return DataError;
    return !lines.empty() && !text.empty() ? Found : NothingFound;
}

// The result as CSV or JSON (--csv, --json). Returns NothingFound when the result has no rows.
int PrintStructured(const SearchResult& result, const TimeContext& time, const Invocation& in) {
    return ReportingDataErrors([&] {
        const bool json = in.options.json;
        const bool countyMode = ModeFromWord(in.options.words.front()) == SearchMode::County;
        const Table table = TabulateResult(result, countyMode, in.data, in.settings, time);
        std::cout << (json ? TableJson(table) : TableCsv(table));
        std::cout.flush();
        if (result.ioError) {
            std::cerr << *result.ioError << '\n';
            return DataError;
        }
        return table.rows.empty() ? NothingFound : Found;
    });
}

// Prints the result as the options ask; returns the exit status.
int PrintResult(const SearchResult& result, const TimeContext& time, const Invocation& in) {
    if (!result.fatal.empty()) {
        for (const auto& m : result.fatal)
            PrintFatal(m);
        return DataError;
    }
    const Options& o = in.options;
    if (o.csv || o.json)
        return PrintStructured(result, time, in);
    int status = NothingFound;
    if (result.listShown && o.format) {
        const std::optional<int> formatted = PrintFormatted(result, *o.format, in);
        if (!formatted)
            return DataError;
        status = *formatted;
    } else if (result.listShown) {
        status = PrintList(result) ? Found : NothingFound;
    }
    if (result.ioError) {
        std::cerr << *result.ioError << '\n';
        status = DataError;
    }
    std::cout.flush();
    return status;
}

class Search : public Command {
public:
    void checkOptions(const Options& o) const override {
        if (o.column)
            throw UsageFailure{"--column applies to lookup only"};
    }

    int run(const Invocation& in) const override {
        std::setlocale(LC_TIME, "");
        const TimeContext time{IsDaylightPeriod(in.clock.now()), &in.clock, FormatTimeC};
        const std::optional<SearchRequest> request = Request(in);
        if (!request) {
            if (in.options.csv || in.options.json)
                std::cout << (in.options.json ? "[]\n" : "");
            std::cerr << "No matching state abbreviations found.\n";
            return NothingFound;
        }
        return PrintResult(RunSearch(*request, {in.data, in.settings, time}), time, in);
    }
};

} // namespace

const Command& SearchCommand() {
    static const Search command;
    return command;
}

} // namespace corvana::cli
