#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvana {

// What a number of the North American plan is for, read from its area code alone.
enum class PhoneKind : std::uint8_t {
    Geographic,   // an area code that names a region
    TollFree,     // 800, 888, 877, 866, 855, 844, 833 and the codes kept for more of them
    NonGeographic // 500 and the other personal-service codes, 900 and the like: no place
};

// Why a text is not a number that can be looked up.
enum class PhoneProblem : std::uint8_t {
    None,
    Empty,
    BadCharacter,  // a letter or sign no way of writing a number has
    NotTenDigits,  // not ten digits after the country code
    OutsidePlan,   // a country code other than 1
    AreaCodeStart, // an area code that begins with 0 or 1
    ExchangeStart, // an exchange that begins with 0 or 1
    ServiceCode,   // an N11 code (211 to 911) as area code or exchange
};

// The sentence that says why; empty for None.
std::string_view PhoneProblemText(PhoneProblem problem);

struct PhoneNumber {
    std::uint16_t areaCode = 0; // 200 to 999
    std::uint16_t exchange = 0; // 200 to 999
    std::uint16_t line = 0;     // 0 to 9999
    PhoneKind kind = PhoneKind::Geographic;

    // "(208) 334-1234"
    std::string national() const;
    bool operator==(const PhoneNumber&) const = default;
};

struct PhoneParse {
    std::optional<PhoneNumber> number;
    PhoneProblem problem = PhoneProblem::None;
};

// Reads a North American number as people write it: "(208) 334-1234", "208-334-1234",
// "208.334.1234", "2083341234", "1-208-334-1234", "+1 208 334 1234", with blanks around it and
// an extension ("x12", "ext. 12", "extension 12", "#12") left out.
PhoneParse ParsePhoneNumber(std::string_view text);

// The kind of an area code (200 to 999).
PhoneKind KindOfAreaCode(std::uint16_t areaCode);

} // namespace corvana
