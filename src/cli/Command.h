#pragma once

// The commands of corvana-query, one file each: the first word of the command line names one,
// and every other word is taken as a search (which refuses a word that names none). Each command
// says what it takes: its usage line and its options, of those declared in cli/Options.h; the
// parser refuses the others. A new command is a class of its own file and a line in the table
// of Command.cpp.

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
    const CommandLine& options;
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
    // The words after "corvana-query [OPTIONS] ": "near ZIP|LAT,LON".
    virtual std::string_view usage() const = 0;
    // The options it takes besides --data, --settings, --help and --version, which every
    // command takes.
    virtual std::vector<const Option*> options() const = 0;
    // The message that refuses an option the command does not take: "--miles does not apply to
    // lookup".
    virtual std::string refusal(const Option& o, const CommandLine& line) const;
    // Runs the command and returns the exit status. UsageFailure ends the run as a usage error.
    virtual int run(const Invocation& in) const = 0;

    bool takes(const Option& o) const;
    // What --help shows after the command's word: its usage line and the options it takes.
    std::string help() const;
};

// The command that a word names; a search for every word that names no other command.
const Command& FindCommand(std::string_view word);

// What --help shows: the command's own text after a word that names a command or a search,
// else the whole usage text.
std::string HelpText(const CommandLine& line);

// The commands, each in its own file.
const Command& SearchCommand();
const Command& LookupCommand();
const Command& DistanceCommand();
const Command& NearCommand();
const Command& NearestCommand();
const Command& PhoneCommand();
const Command& ShowCommand();
const Command& ReachCommand();

// Runs the command line's command: reads the settings, loads the resident tables (a missing or
// damaged data file ends the run with DataError), then runs the command. A CommandEnd that the
// command throws ends the run with its message and status.
int RunCommand(const CommandLine& line, DataSet& data);

// Prints a data file's fatal message under "FATAL ERROR" to standard error.
void PrintFatal(const std::string& message);

// Runs a command's body; a missing or damaged data file ends it with its message and DataError.
int ReportingDataErrors(const std::function<int()>& body);

} // namespace corvana::cli
