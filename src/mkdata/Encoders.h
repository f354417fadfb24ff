#pragma once

// The encoders of the data files: each writes one file, or one family of files laid out
// together, from the grouped table. BuildDataFiles runs every one in turn; an encoder whose
// columns the table lacks writes nothing.

#include "mkdata/DataFiles.h"
#include "mkdata/Grouping.h"

namespace corvana::mkdata {

using Encoder = void (*)(const GroupedTable&, DataFiles&);

// STATE.DAT.
void EncodeStates(const GroupedTable& grouped, DataFiles& files);
// CITY.DAT and CITY.IDX.
void EncodeCities(const GroupedTable& grouped, DataFiles& files);
// COUNTY.DAT and COUNTY.IDX.
void EncodeCounties(const GroupedTable& grouped, DataFiles& files);
// AREA.DAT and AREA.IDX.
void EncodeAreas(const GroupedTable& grouped, DataFiles& files);
// ZIPCODE.DAT and ZIPCODE.IDX.
void EncodeZips(const GroupedTable& grouped, DataFiles& files);
// POINTS.DAT, when the table has a latitude, longitude or county_fips column.
void EncodePoints(const GroupedTable& grouped, DataFiles& files);
// ZIPFACTS.DAT, when the table has a kind or time_zone column. Throws InputError for more
// items than the file holds.
void EncodeFacts(const GroupedTable& grouped, DataFiles& files);

// PEOPLE.DAT, when the table has a population or density column.
void EncodePeople(const GroupedTable& grouped, DataFiles& files);

// In the order they run: a fault that two encoders would find is reported by the first.
inline constexpr Encoder Encoders[] = {EncodeStates, EncodeCities, EncodeCounties, EncodeAreas,
                                       EncodeZips,   EncodePoints, EncodeFacts,    EncodePeople};

} // namespace corvana::mkdata
