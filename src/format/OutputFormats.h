#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvana {

// One ZIP code ready for output, each field already cut to its length.
struct ZipDetails {
    std::string state;     // 2
    std::string stateName; // 25
    std::string county;    // 25
    std::string areaCode;  // 3
    std::string zip;       // 5
    std::string city;      // 25
    std::string timeZone;  // 10
};

extern const std::array<std::string_view, 33> OutputFormats;

// Expands the field tokens ("[CITY]" ...) and control tokens ("<TAB>", "<CR>" ...) of a
// format; the result is at most 255 characters.
std::string BuildOutString(std::string_view format, const ZipDetails& details);

} // namespace corvana
