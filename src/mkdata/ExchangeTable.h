#pragma once

#include <string>
#include <string_view>

namespace corvana::mkdata {

// The column names of the exchange table (dataset/exchanges.csv), in the order it is written.
// A row with an empty exchange gives an area code's state, zones and country, and in its city
// the province's or country's name for numbers without a place (empty for a US area code); a
// row with one gives the exchange's place (city and state, the state empty only outside the
// US) and zones. zones is a ';' list of OFFSET:DST, such as "-7:Y;-8:Y": the standard offset
// from UTC in hours (and ":30" for a zone half an hour off them, "-3:30:Y") and Y or N for
// daylight-saving time. time_zones names the same zones in the same order as the time-zone
// database does ("America/Boise;America/Los_Angeles"); country is the area code's country
// (two capital letters, US when empty). source says where the zones came from and is not read.
// The columns after zones may be left out.
inline constexpr std::string_view ExchangeColumns[] = {
    "area_code", "exchange", "city", "state", "zones", "source", "time_zones", "country"};

// EXCHANGE.DAT from the UTF-8 exchange table. Throws InputError, with the line where it can
// name one, for anything the file could not hold as given.
std::string BuildExchangeFile(std::string_view csv);

} // namespace corvana::mkdata
