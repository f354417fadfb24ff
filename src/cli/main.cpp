// corvana-query: one search of the ZIP code directory from the command line, answered from the
// same data files and with the same searches as the window, or a look-up of many ZIP codes.
// Here the command line is read and handed to its command (src/cli/Command.h).

#include "cli/Command.h"
#include "cli/Options.h"
#include "data/DataSet.h"
#include "search/SearchRequest.h"

#include <iostream>

using namespace corvana;
using namespace corvana::cli;

namespace {

// Where to read on after a command line that cannot be run: the help of the command it names, or
// the whole usage when it names none. The command is the first word that names one (an option's
// value, such as a folder, names none).
std::string HelpHint(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--")) {
            // "--show area": the value is no command.
            for (const Option* o : AllOptions())
                if (o->name == arg && o->takesValue())
                    ++i;
            continue;
        }
        if (&FindCommand(arg) != &SearchCommand() || ModeFromWord(arg))
            return "Try 'corvana-query " + std::string(arg) + " --help'.";
    }
    return "Try 'corvana-query --help'.";
}

} // namespace

int main(int argc, char** argv) {
    try {
        const CommandLine line = ParseCommandLine(argc, argv);
        if (line.has(option::Help)) {
            std::cout << HelpText(line);
            return Found;
        }
        DataSet data;
        data.dir = line.value(option::Data).value_or(ProgramDirectory());
        if (line.has(option::Version)) {
            std::cout << VersionLine(data) << '\n';
            return Found;
        }
        return RunCommand(line, data);
    } catch (const UsageFailure& e) {
        std::cerr << "corvana-query: " << e.what << '\n';
        if (e.showUsage)
            std::cerr << HelpHint(argc, argv) << '\n';
        return UsageError;
    }
}
