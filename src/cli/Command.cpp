#include "cli/Command.h"

#include "text/Win1252.h"

#include <iostream>

namespace corvana::cli {

namespace {

struct Named {
    std::string_view word;
    const Command& (*command)();
};

constexpr Named Commands[] = {
    {"lookup", LookupCommand},
    {"distance", DistanceCommand},
    {"near", NearCommand},
    {"nearest", NearestCommand},
};

} // namespace

const Command& FindCommand(std::string_view word) {
    for (const Named& c : Commands)
        if (c.word == word)
            return c.command();
    return SearchCommand();
}

int RunCommand(const Options& o, DataSet& data) {
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

    const Command& command = FindCommand(o.words.front());
    try {
        return ReportingDataErrors([&] {
            return command.run(
                Invocation{o, {o.words.begin() + 1, o.words.end()}, data, settings, clock});
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
