#pragma once

#include "cli/Lookup.h"
#include "search/Phone.h"

#include <string>
#include <string_view>

namespace corvana::cli {

// Annotates a CSV stream by its column of telephone numbers (`column`, compared as the ZIP
// column's name is): the header row and every row as they came, short rows filled with empty
// fields, each followed by PhoneAnnotator::Columns (a name the input has already gets the prefix
// phone_). A row whose cell is no number keeps its fields empty and counts as malformed. Input
// that is not CSV, a row longer than the header, or a header without the column throws
// LookupError.
PhoneCounts LookupPhoneCsv(CsvReader& in, const OutputSink& out, PhoneAnnotator& annotator,
                           std::string_view column);

// The summary line for standard error, without its line end.
std::string PhoneCountsLine(const PhoneCounts& counts);

} // namespace corvana::cli
