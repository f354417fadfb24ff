#include "cli/Command.h"

#include "search/SearchRequest.h"
#include "text/Win1252.h"

#include <algorithm>
#include <iostream>

namespace corvana::cli {

namespace {

struct Named {
    std::string_view word;
    const Command& (*command)();
};

constexpr Named Commands[] = {
    {"lookup", LookupCommand},   {"distance", DistanceCommand}, {"near", NearCommand},
    {"nearest", NearestCommand}, {"phone", PhoneCommand},       {"show", ShowCommand},
    {"reach", ReachCommand},
};

} // namespace

const Command& FindCommand(std::string_view word) {
    for (const Named& c : Commands)
        if (c.word == word)
            return c.command();
    return SearchCommand();
}

std::string Command::refusal(const Option& o, const CommandLine& line) const {
    return std::string(o.name) + " does not apply to " +
           (line.words.empty() ? std::string("a search") : line.words.front());
}

bool Command::takes(const Option& o) const {
    for (const Option* every :
         {&option::Data, &option::SettingsFile, &option::Help, &option::Version})
        if (&o == every)
            return true;
    const std::vector<const Option*> own = options();
    return std::find(own.begin(), own.end(), &o) != own.end();
}

std::string Command::help() const {
    std::string text = "Usage: corvana-query [OPTIONS] " + std::string(usage()) + "\n";
    for (const Option* o : AllOptions())
        if (takes(*o))
            text += OptionUsage(*o, false);
    return text;
}

std::string HelpText(const CommandLine& line) {
    if (line.words.empty())
        return UsageText();
    const std::string& word = line.words.front();
    const Command& command = FindCommand(word);
    if (&command == &SearchCommand() && !ModeFromWord(word))
        return UsageText();
    return command.help();
}

int RunCommand(const CommandLine& line, DataSet& data) {
    if (line.words.empty())
        throw UsageFailure{"no search given"};
    const SystemClock clock;
    const Settings settings = ReadSettings(line, clock);

    const LoadResult load = LoadInData(data);
    for (const auto& m : load.fatal)
        PrintFatal(m);
    if (load.ioError)
        std::cerr << *load.ioError << '\n';
    if (!load.ok()) {
        // The messages name a file, not where it was looked for.
        std::cerr << "corvana-query: the data files were looked for in " << data.dir << '\n';
        return DataError;
    }

    const Command& command = FindCommand(line.words.front());
    try {
        return ReportingDataErrors([&] {
            return command.run(Invocation{
                line, {line.words.begin() + 1, line.words.end()}, data, settings, clock});
        });
    } catch (const CommandEnd& end) {
        std::cout.flush();
        std::cerr << end.message << '\n';
        return end.status;
    }
}

void PrintFatal(const std::string& message) {
    std::cerr << "FATAL ERROR: " << Win1252ToUtf8(message) << '\n';
}

int ReportingDataErrors(const std::function<int()>& body) {
    try {
        return body();
    } catch (const FatalError& e) {
        PrintFatal(e.what());
    } catch (const IoError& e) {
        std::cerr << e.what() << '\n';
    }
    return DataError;
}

} // namespace corvana::cli
