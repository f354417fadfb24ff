// corvana-query zip|city|state|county|area: one search, printed as the list shows it, in a copy
// format, or as CSV or JSON.

#include "cli/Command.h"
#include "cli/Places.h"
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
    if (const auto state = in.options.value(option::State))
        request.singleState = upperAscii(ToCore(*state));
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
    std::string_view usage() const override {
        return "zip TEXT | city TEXT | state ST [TEXT] | county TEXT | area TEXT";
    }
    std::vector<const Option*> options() const override {
        return {&option::State, &option::Show, &option::Caps, &option::Format,
                &option::Csv,   &option::Json, &option::Sort};
    }
    std::string refusal(const Option& o, const CommandLine& line) const override {
        if (&o == &option::Column)
            return "--column applies to lookup only";
        return Command::refusal(o, line);
    }

    int run(const Invocation& in) const override {
        const TimeContext time = RunTime(in);
        const std::optional<SearchRequest> request = Request(in);
        if (!request) {
            if (in.options.has(option::Json))
                std::cout << "[]\n";
            std::cerr << "No matching state abbreviations found.\n";
            return NothingFound;
        }
        SearchResult result = RunSearch(*request, {in.data, in.settings, time, true});
        if (in.options.has(option::Sort)) // population, the one order --sort takes
            SortByPopulation(result.items, RequirePeople(in.data));
        return PrintResult(result, time, in);
    }
};

} // namespace

const Command& SearchCommand() {
    static const Search command;
    return command;
}

} // namespace corvana::cli
