#pragma once

// The data builder of corvana-mkdata, in stages: ReadTable (mkdata/Table.h) reads the table,
// GroupTable (mkdata/Grouping.h) gathers and numbers its rows, the encoders (mkdata/Encoders.h)
// lay out the files, WriteDataFiles (mkdata/DataSetWriter.h) replaces the set on disk and
// RunMkdata (mkdata/CommandLine.h) is the program.

#include "mkdata/CommandLine.h"
#include "mkdata/DataFiles.h"
#include "mkdata/DataSetWriter.h"
#include "mkdata/InputError.h"

#include <string>
#include <string_view>

namespace corvana::mkdata {

// The date line of ZIPVER.DAT from UTF-8 text; throws InputError (line 0) when the text is
// empty, spans lines, or cannot be written in Windows-1252.
std::string DateText(std::string_view utf8);

// Builds every data file from the UTF-8 table and the UTF-8 data date; POINTS.DAT when the table
// has a latitude, longitude or county_fips column, ZIPFACTS.DAT when it has a kind or time_zone
// column, PEOPLE.DAT when it has a population or density column. Throws InputError, with the line
// of the table where it can name one, for anything the files could not hold as given.
DataFiles BuildDataFiles(std::string_view csv, std::string_view date);

} // namespace corvana::mkdata
