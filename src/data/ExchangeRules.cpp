#include "data/ExchangeRules.h"

#include "text/Utf8.h"
#include "text/Win1252.h"

namespace corvana {

PlaceCityFault CheckPlaceCity(std::string_view win1252) {
    if (win1252.empty() || win1252.size() > MaxPlaceCityBytes)
        return PlaceCityFault::EmptyOrLong;
    // The five bytes Windows-1252 leaves unassigned read as the C1 controls of their value.
    if (!IsPlainUtf8(Win1252ToUtf8(win1252)))
        return PlaceCityFault::ControlCharacter;
    return PlaceCityFault::None;
}

} // namespace corvana
