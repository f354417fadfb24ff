#pragma once

// What EXCHANGE.DAT can hold, in one place: corvana-mkdata's exchange table reader refuses a
// row by these rules, naming its line, and WriteExchangeFile refuses by the same rules what
// reaches it some other way, so the two never disagree.

#include "data/ExchangeFormat.h"

#include <cstddef>
#include <string_view>

namespace corvana {

// An area code or exchange of the North American plan.
constexpr bool IsNanpCode(unsigned code) {
    return code >= FirstNanpCode && code <= LastNanpCode;
}

// A state as the file stores it: two capital letters.
constexpr bool IsStateLetters(std::string_view state) {
    return state.size() == 2 && state[0] >= 'A' && state[0] <= 'Z' && state[1] >= 'A' &&
           state[1] <= 'Z';
}

// A zone number of a zone byte (ZipRecord::zoneOf); 0 would be "no zone".
constexpr bool IsZoneOnScale(int zone) {
    return zone >= 1 && zone <= 24;
}

// A zone set: 1 to MaxZones zones.
constexpr bool IsZoneCount(std::size_t count) {
    return count >= 1 && count <= MaxZones;
}

// A place's city and its two state letters share one length byte.
inline constexpr std::size_t MaxPlaceCityBytes = 253;

// What keeps a Windows-1252 city from being a place of the file.
enum class PlaceCityFault {
    None,
    EmptyOrLong,      // no byte, or more than MaxPlaceCityBytes
    ControlCharacter, // a C0 or C1 control or DEL (IsControl), as in any name of the data files
};
PlaceCityFault CheckPlaceCity(std::string_view win1252);

} // namespace corvana
