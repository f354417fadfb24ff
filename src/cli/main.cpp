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
        const Options o = ParseOptions(argc, argv);
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
        return RunCommand(o, data);
    } catch (const UsageFailure& e) {
        std::cerr << "corvana-query: " << e.what << '\n';
        if (e.showUsage)
            std::cerr << '\n' << UsageText;
        return UsageError;
    }
}
