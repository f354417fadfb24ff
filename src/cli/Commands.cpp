#include "cli/Commands.h"

#include "cli/Lookup.h"
#include "cli/StructuredOutput.h"
#include "data/Errors.h"
#include "text/Win1252.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <stdexcept>
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

// Runs a command's body; a missing or damaged data file ends it with its message and status 3.
template <class Body> int ReportingDataErrors(Body&& body) {
    try {
        return body();
    } catch (const FatalError& e) {
        std::cerr << "FATAL ERROR: " << Win1252ToUtf8(e.what()) << '\n';
    } catch (const IoError& e) {
        std::cerr << e.what() << '\n';
    }
    return DataError;
}

} // namespace

int RunLookup(const std::vector<std::string>& zips, const std::optional<std::string>& column,
              const DataSet& data, const Settings& settings) {
    if (!zips.empty() && column) {
        std::cerr << "corvana-query: --column applies to a file on standard input, not to ZIP "
                     "codes given on the command line\n";
        return UsageError;
    }
    return ReportingDataErrors([&] {
        LookupCounts counts;
        try {
            ZipAnnotator annotator(data, settings);
            if (zips.empty()) {
                CsvReader in(FdSource(STDIN_FILENO));
                counts = LookupCsv(in, WriteOut, annotator, column);
            } else {
                counts = LookupList(zips, WriteOut, annotator);
            }
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
        return counts.allFound() ? Found : NothingFound;
    });
}

int PrintStructured(const SearchResult& result, bool json, bool countyMode, const DataSet& data,
                    const Settings& settings, const TimeContext& time) {
    return ReportingDataErrors([&] {
        const Table table = TabulateResult(result, countyMode, data, settings, time);
        std::cout << (json ? TableJson(table) : TableCsv(table));
        std::cout.flush();
        if (result.ioError) {
            std::cerr << *result.ioError << '\n';
            return DataError;
        }
        return table.rows.empty() ? NothingFound : Found;
    });
}

} // namespace corvana::cli
