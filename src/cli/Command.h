#pragma once

// The commands of corvana-query, one file each: the first word of the command line names one,
// and every other word is taken as a search (which refuses a word that names none). A new
// command is a class of its own file and a line in the table of Command.cpp.

#include "cli/Options.h"
#include "data/DataSet.h"
#include "data/Errors.h"
#include "format/LocalTime.h"
#include "settings/Settings.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::cli {

// What a command runs with: the command line, the texts after the command's word, the loaded
// data set, the settings and the clock.
struct Invocation {
    const Options& options;
    std::vector<std::string> texts;
    const DataSet& data;
    const Settings& settings;
    const Clock& clock;
};

// A run that ends before its answer: `message` (a whole line without its end) goes to standard
// error and the run ends with `status`.
struct CommandEnd {
    std::string message;
    int status = DataError;
};

class Command {
public:
    virtual ~Command() = default;
    // Refuses, with UsageFailure, an option that the command does not take. Runs while the
    // command line is read, before anything else is done.
    virtual void checkOptions(const Options& options) const = 0;
    // Runs the command and returns the exit status. UsageFailure ends the run as a usage error.
    virtual int run(const Invocation& in) const = 0;
};

// The command that a word names; a search for every word that names no other command.
const Command& FindCommand(std::string_view word);

// The commands, each in its own file.
const Command& SearchCommand();
const Command& LookupCommand();
const Command& DistanceCommand();
const Command& NearCommand();
const Command& NearestCommand();

// Runs the command line's command: reads the settings, loads the resident tables (a missing or
// damaged data file ends the run with DataError), then runs the command. A CommandEnd that the
// command throws ends the run with its message and status.
int RunCommand(const Options& options, DataSet& data);

// Prints a data file's fatal message under "FATAL ERROR" to standard error.
void PrintFatal(const std::string& message);

// Runs a command's body; a missing or damaged data file ends it with its message and DataError.
int ReportingDataErrors(const std::function<int()>& body);

} // namespace corvana::cli
