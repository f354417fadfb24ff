// corvana-query lookup: annotates the ZIP codes given, or the CSV file named alone, or with
// neither the CSV file or list on standard input, to standard output; the counts go to standard
// error.

#include "cli/Command.h"
#include "cli/Lookup.h"
#include "cli/PhoneLookup.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "search/ZipDetails.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace corvana::cli {

namespace {

// Standard output as the lookup writes it: whole pieces with write(), a failure (a full disk)
// ending the run as an error rather than passing unseen. A reader that goes away (head) ends
// the run through SIGPIPE, quietly, as it ends any other filter.
void WriteOut(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error(std::string("cannot write the output: ") +
                                     std::strerror(errno));
        bytes.remove_prefix(std::size_t(n));
    }
}

// The file a look-up reads: standard input, or the one file named on the command line. A text
// of digits is a ZIP code even where a file of that name exists.
class InputFile {
public:
    explicit InputFile(const std::vector<std::string>& texts) {
        for (const std::string& text : texts)
            if (!IsDigits(text) && IsFile(text)) {
                if (texts.size() > 1)
                    throw UsageFailure{"'" + text +
                                       "' is a file: give lookup one file alone, or ZIP codes"};
                fd_ = ::open(text.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd_ < 0)
                    throw UsageFailure{"cannot read '" + text + "': " + std::strerror(errno)};
                named_ = true;
            }
    }
    ~InputFile() {
        if (named_)
            ::close(fd_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool named() const { return named_; }
    int fd() const { return fd_; }

private:
    static bool IsDigits(const std::string& text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
            return std::isdigit(c) || c == ' ' || c == '-';
        });
    }
    static bool IsFile(const std::string& text) {
        struct stat st {};
        return ::stat(text.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }

    int fd_ = STDIN_FILENO;
    bool named_ = false;
};

LookupCounts Annotate(const std::vector<std::string>& zips, const InputFile& file,
                      const std::optional<std::string>& column, const DataSet& data,
                      const Settings& settings, LookupAppends appends) {
    ZipAnnotator annotator(data, settings, std::move(appends));
    if (!file.named() && !zips.empty())
        return LookupList(zips, WriteOut, annotator);
    CsvReader in(FdSource(file.fd()));
    return LookupCsv(in, WriteOut, annotator, column);
}

class Lookup : public Command {
public:
    std::string_view usage() const override {
        return "lookup [ZIP... | FILE]   (neither: CSV or list on standard input)";
    }
    std::vector<const Option*> options() const override {
        return {&option::Caps,         &option::Csv,         &option::Column, &option::Columns,
                &option::DistanceFrom, &option::PhoneColumn, &option::Hours};
    }
    std::string refusal(const Option& o, const CommandLine& line) const override {
        if (&o == &option::Json || &o == &option::Format || &o == &option::State ||
            &o == &option::Show)
            return "lookup writes CSV with every field; --json, --format, --state and --show do "
                   "not apply";
        return Command::refusal(o, line);
    }

    int run(const Invocation& in) const override {
        if (in.options.has(option::PhoneColumn) || in.options.has(option::Hours))
            return runPhones(in);
        const InputFile file(in.texts);
        const std::optional<std::string> column = in.options.value(option::Column);
        if (!in.texts.empty() && !file.named() && column) {
            std::cerr << "corvana-query: --column applies to a file, not to ZIP codes given on "
                         "the command line\n";
            return UsageError;
        }
        LookupAppends appends;
        if (auto columns = ListOf(in.options, option::Columns))
            appends.columns = std::move(*columns);
        // The positions are read only when a column needs them: the default look-up works on
        // data without POINTS.DAT as it always has. What the columns need is taken from them
        // before the rows are read, and they are let go.
        const std::optional<std::string> distanceFrom = in.options.value(option::DistanceFrom);
        if (distanceFrom || std::any_of(appends.columns.begin(), appends.columns.end(),
                                        [](const std::string& c) { return NeedsPoints(c); })) {
#if defined(__GLIBC__)
            // Blocks of 128 kB and more stay mapped blocks of their own, as they are before the
            // first one is freed: what the positions and their index used then goes back to the
            // system instead of staying in the heap under the look-up's tables.
            mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
            const geo::Points points = RequirePoints(in.data);
            std::optional<geo::GeoPoint> centre;
            if (distanceFrom)
                centre = ReadCentre(in.data, points, *distanceFrom).point;
            appends.places.emplace(points, appends.columns, centre);
        }
        // The facts are read only when a column asks for them.
        const LazyFacts facts(in.data);
        if (std::any_of(appends.columns.begin(), appends.columns.end(),
                        [](const std::string& c) { return FactColumnOf(c).has_value(); }))
            appends.facts = RequireFacts(facts);
        std::optional<People> people;
        if (std::any_of(appends.columns.begin(), appends.columns.end(),
                        [](const std::string& c) { return NeedsPeople(c); })) {
            people = OptionalPeople(in.data);
            appends.people = people ? &*people : nullptr;
        }
        return ReportingDataErrors([&] {
            LookupCounts counts;
            try {
                counts = Annotate(in.texts, file, column, in.data, in.settings, std::move(appends));
            } catch (const LookupError& e) {
                std::cerr << "corvana-query lookup: " << e.what() << '\n';
                return UsageError;
            } catch (const FatalError&) {
                throw;
            } catch (const IoError&) {
                throw;
            } catch (const std::runtime_error& e) {
                // Standard input or output failed: no fault of the data.
                std::cerr << "corvana-query lookup: " << e.what() << '\n';
                return UsageError;
            }
            std::cerr << "corvana-query lookup: " << CountsLine(counts) << '\n';
            // ZIP codes given on the command line follow the rule of every command that takes
            // several texts: one that is no ZIP code gives 2. The rows of a file are its data:
            // any row not found, or malformed, gives 1.
            if (!in.texts.empty() && !file.named() && counts.malformed > 0)
                return UsageError;
            return counts.allFound() ? Found : NothingFound;
        });
    }

private:
    // The telephone numbers of a CSV file on standard input, each row with where and when its
    // number rings.
    static int runPhones(const Invocation& in) {
        const std::optional<std::string> column = in.options.value(option::PhoneColumn);
        if (!column)
            throw UsageFailure{"--hours applies to the telephone numbers of --phone-column"};
        const InputFile file(in.texts);
        if (!in.texts.empty() && !file.named())
            throw UsageFailure{"--phone-column applies to a file, not to texts given on the "
                               "command line"};
        for (const Option* o : {&option::Column, &option::Columns, &option::DistanceFrom})
            if (in.options.has(*o))
                throw UsageFailure{std::string(o->name) + " does not go with --phone-column"};
        const ExchangesLoad load = LoadExchanges(in.data);
        if (load.status != ExchangesStatus::Loaded) {
            PrintFatal(load.message);
            return DataError;
        }
        PhoneAnnotator annotator(
            PhoneContext{load, in.settings, RunTime(in), CallWindowOf(in.options)});
        PhoneCounts counts;
        try {
            CsvReader reader(FdSource(file.fd()));
            counts = LookupPhoneCsv(reader, WriteOut, annotator, *column);
        } catch (const LookupError& e) {
            std::cerr << "corvana-query lookup: " << e.what() << '\n';
            return UsageError;
        } catch (const std::runtime_error& e) {
            std::cerr << "corvana-query lookup: " << e.what() << '\n';
            return UsageError;
        }
        std::cerr << "corvana-query lookup: " << PhoneCountsLine(counts) << '\n';
        return counts.malformed == 0 ? Found : NothingFound;
    }
};

} // namespace

const Command& LookupCommand() {
    static const Lookup command;
    return command;
}

} // namespace corvana::cli
