// corvana-query: one search of the ZIP code directory from the command line, answered from the
// same data files and with the same searches as the window, or a look-up of many ZIP codes.
// Here the command line is read and handed to its command (src/cli/Command.h).

#include "cli/Command.h"
#include "cli/Options.h"
#include "data/DataSet.h"

#include <iostream>

using namespace corvana;
using namespace corvana::cli;

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
            std::cerr << '\n' << UsageText();
        return UsageError;
    }
}
