// corvana-query zip|city|state|county|area: one search, printed as the list shows it, in a copy
// format, or as CSV or JSON.

#include "cli/Command.h"
#include "cli/ResultOutput.h"
#include "search/Search.h"
#include "search/SearchRequest.h"
#include "text/ShortString.h"

#include <iostream>
#include <optional>

namespace corvana::cli {

namespace {

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

class Search : public Command {
public:
    void checkOptions(const Options& o) const override {
        if (o.column)
            throw UsageFailure{"--column applies to lookup only"};
        RefuseOptions(o, o.words.empty() ? "a search" : o.words.front(),
                      {"--miles", "--km", "--limit", "--columns", "--distance-from"});
    }

    int run(const Invocation& in) const override {
        const TimeContext time = RunTime(in);
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
