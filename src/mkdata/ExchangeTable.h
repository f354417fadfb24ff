#pragma once

#include <string>
#include <string_view>

namespace corvana::mkdata {

// The column names of the exchange table (dataset/exchanges.csv), in the order it is written.
// A row with an empty exchange gives an area code's state and zones; a row with one gives the
// exchange's place (city and state) and zones. zones is a ';' list of OFFSET:DST, such as
// "-7:Y;-8:Y": the standard offset from UTC in whole hours and Y or N for daylight-saving time.
// source says where the zones came from and is not read.
inline constexpr std::string_view ExchangeColumns[] = {"area_code", "exchange", "city",
                                                       "state",     "zones",    "source"};

// EXCHANGE.DAT from the UTF-8 exchange table. Throws InputError, with the line where it can
// name one, for anything the file could not hold as given.
std::string BuildExchangeFile(std::string_view csv);

} // namespace corvana::mkdata
