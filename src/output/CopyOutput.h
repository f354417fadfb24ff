#pragma once

#include "data/DataSet.h"
#include "data/MappedFile.h"
#include "data/ZipFile.h"
#include "format/OutputFormats.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <vector>

namespace corvana {

// The ZIP details of one results-list line: the ZIP code as ListedZipCode takes it from the
// line, every other field from the line's ZIP record and that record's city, cut to the lengths
// of the copy formats. A city record that cannot be reached or read whole adds its message
// ("Seek in City File failed." or "File containing city definitions is corrupt.") to `fatal`
// and the line gives no details; so does any line but a ZIP line. A record number past the end
// of ZIPCODE.DAT throws IoError.
std::optional<ZipDetails> LoadValues(const ResultItem& line, const ZipFile& zip,
                                     const CityFile& city, const DataSet& data,
                                     const Settings& settings, std::vector<std::string>& fatal);

// The text that Copy puts on the clipboard and Print prints. Fatal messages are shown under
// "FATAL ERROR" in their order; those of damaged lines leave the lines built to be copied or
// printed. The general input/output error ends the command: nothing is copied or printed.
struct CollectedOutput : Problems {
    // Each expanded line followed by CR LF, the last one too.
    std::string text;
    // CITY.DAT or ZIPCODE.DAT is missing (its message is the one fatal message): nothing was
    // collected and the command stops before copying or printing.
    bool missingFile = false;
    // What printed pages open with (Windows-1252): a nearby list's heading, since its lines alone
    // do not say around which ZIP code or how far they were found. Empty for other lists.
    std::string heading;

    // The text goes to the clipboard or the printer.
    bool deliver() const { return !missingFile && !ioError; }
    // A fatal message was shown: the dialog closes when the command ends.
    bool closeDialog() const { return !fatal.empty(); }
};

// Expands output format `format` (a position in OutputFormats) for each line in turn. A
// position outside the table collects nothing.
CollectedOutput CollectOutput(const std::vector<ResultItem>& lines, int format, const DataSet& data,
                              const Settings& settings);

} // namespace corvana
