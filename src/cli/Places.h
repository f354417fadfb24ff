#pragma once

// What the commands about places read from the command line and the data: the positions of
// POINTS.DAT, a ZIP code's record, a centre given as a ZIP code or as a point.

#include "cli/Command.h"
#include "data/People.h"
#include "geo/GeoPoint.h"
#include "geo/Points.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvana::cli {

// The positions of the data set. Data without POINTS.DAT ends the run with "This data has no
// locations." and a damaged file with its fatal message, both as DataError (CommandEnd).
geo::Points RequirePoints(const DataSet& data);

// The facts, for a choice of kinds: nothing when the data has no ZIPFACTS.DAT (every ZIP code
// then passes); a damaged file ends the run with its message and DataError.
const ZipFacts* RequireFacts(const LazyFacts& facts);

// The figures of PEOPLE.DAT. RequirePeople ends the run when the data has none, as a command
// about people cannot answer without them; OptionalPeople answers nothing then, for a command
// that shows them beside other facts. A damaged file ends both with its message and DataError.
People RequirePeople(const DataSet& data);
std::optional<People> OptionalPeople(const DataSet& data);

// The ZIPCODE.DAT record of a ZIP code typed with its five digits (84101, or ZIP+4 as
// 84101-1234); the first record when several cities share it. Text that is no ZIP code, fewer or
// more digits, or a ZIP code the data lacks, ends the run as a usage error with one line.
std::uint32_t RecordOfZip(const DataSet& data, std::string_view text);

// The text of a record's ZIP code, "84101".
std::string ZipTextOf(const DataSet& data, std::uint32_t record);

// A centre: a ZIP code (its record and position) or a point typed as LAT,LON or "LAT LON".
struct Centre {
    std::optional<std::uint32_t> record;
    geo::GeoPoint point;
    std::string text; // as the heading names it: the ZIP code, or the point as typed
};

// Reads a centre. Five digits (or ZIP+4) are a ZIP code, anything else a point; a point that
// cannot be read, or an unknown ZIP code, is a usage error with one line. A ZIP code without a
// position (a military post office) ends the run as NothingFound: the code is right, but no
// distance can be measured from it.
Centre ReadCentre(const DataSet& data, const geo::Points& points, std::string_view text);

// The message of a ZIP code without a position.
std::string NoLocationMessage(std::string_view zip);

} // namespace corvana::cli
