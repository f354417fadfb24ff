#pragma once

// The fields of the ZIP table: each is read from its UTF-8 text into what the data files hold,
// or refused with an InputError naming the line and what is wrong with the field.

#include "mkdata/Table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::mkdata {

// A name the data files store behind one length byte together with its state byte.
inline constexpr std::size_t MaxNameBytes = 254;

// The text in double quotes, as messages show a field.
std::string inQuotes(std::string_view s);

bool allDigits(std::string_view s);
// The value of a short run of decimal digits (allDigits).
int digitsValue(std::string_view s);

// Windows-1252 text of a table field; what is the column's description in messages.
std::string convertText(std::string_view utf8, std::string_view what, std::size_t line);

// A name of a city or county: convertText, not empty and at most MaxNameBytes long.
std::string nameText(std::string_view field, std::string_view what, std::size_t line);

// An area code: three digits other than 000.
std::uint16_t areaCodeValue(std::string_view field, std::string_view what, std::size_t line);

// The zone byte of utc_offset and dst; NoZone when the offset is empty.
std::uint8_t timeZoneCode(std::string_view offset, std::string_view dst, std::size_t line);

// The point and county code of a row: latitude and longitude both given or both empty.
void readPlace(Row& row, std::string_view latitude, std::string_view longitude,
               std::string_view countyFips);

// The kind and zone name of a row: a known kind or none; a zone name only beside an offset.
void readFacts(Row& row, std::string_view kind, std::string_view zone, bool hasOffset);

// The items of a ';'-separated list, trimmed, empty items dropped.
std::vector<std::string_view> listItems(std::string_view field);

} // namespace corvana::mkdata
