#pragma once

#include "data/DataSet.h"
#include "format/LocalTime.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <vector>

namespace corvana::cli {

enum Exit { Found = 0, NothingFound = 1, UsageError = 2, DataError = 3 };

// corvana-query lookup: annotates the ZIP codes given, or with none the CSV file or list on
// standard input, to standard output; the counts go to standard error. Returns the exit status.
int RunLookup(const std::vector<std::string>& zips, const std::optional<std::string>& column,
              const DataSet& data, const Settings& settings);

// Prints a search result as CSV or JSON (--csv, --json). Returns the exit status: 1 when the
// result has no rows, 3 when a data file turns out damaged.
int PrintStructured(const SearchResult& result, bool json, bool countyMode, const DataSet& data,
                    const Settings& settings, const TimeContext& time);

} // namespace corvana::cli
