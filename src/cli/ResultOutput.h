#pragma once

// How a command prints a search result: the heading and lines as the window's list shows them,
// every ZIP line in a copy format (--format), or CSV or JSON (--csv, --json).

#include "cli/Command.h"
#include "search/Search.h"

#include <optional>
#include <string>

namespace corvana::cli {

struct PrintShape {
    // Each ZIP line with its distance: after the line as text ("  2.0 mi (3.2 km)"), after the
    // block of a copy format as a line of its own, and as the distance_miles and distance_km
    // columns of CSV and JSON.
    bool distances = false;
    // The lines' texts carry their distances already, as those of a nearby list do.
    bool distancesInLines = false;
    // A line printed after the text or the copy format, never in CSV or JSON.
    std::optional<std::string> footer;
};

// The time of the run, as every line with a current time shows it.
TimeContext RunTime(const Invocation& in);

// Prints the result as the options ask; returns the exit status.
int PrintResult(const SearchResult& result, const TimeContext& time, const Invocation& in,
                const PrintShape& shape = {});

} // namespace corvana::cli
