#include "mkdata/TableFields.h"

#include "mkdata/InputError.h"

#include "geo/GeoPoint.h"
#include "text/Blanks.h"
#include "text/Utf8.h"
#include "text/Win1252.h"

#include <algorithm>

namespace corvana::mkdata {

std::string inQuotes(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digitsValue(std::string_view s) {
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

std::string convertText(std::string_view utf8, std::string_view what, std::size_t line) {
    if (!IsUtf8(utf8))
        throw InputError(line, std::string(what) + " is not valid UTF-8");
    // A control character would show as garbage in the results list, and a line end in the date
    // would cut the first line of ZIPVER.DAT short.
    if (!IsPlainUtf8(utf8))
        throw InputError(line,
                         std::string(what) + " " + inQuotes(utf8) + " holds a control character");
    auto text = Utf8ToWin1252(utf8);
    if (!text)
        throw InputError(line, std::string(what) + " " + inQuotes(utf8) +
                                   " holds a character that Windows-1252 cannot represent");
    return *text;
}

std::string nameText(std::string_view field, std::string_view what, std::size_t line) {
    std::string text = convertText(field, what, line);
    if (text.empty())
        throw InputError(line, "empty " + std::string(what));
    if (text.size() > MaxNameBytes)
        throw InputError(line, std::string(what) + " " + inQuotes(field) + " is " +
                                   std::to_string(text.size()) +
                                   " bytes long in Windows-1252; at most 254 fit");
    return text;
}

std::uint16_t areaCodeValue(std::string_view field, std::string_view what, std::size_t line) {
    // 000 would read as "no area code".
    if (field.size() != 3 || !allDigits(field) || field == "000")
        throw InputError(line, "bad " + std::string(what) + " " + inQuotes(field) +
                                   " (three digits other than 000 wanted)");
    return std::uint16_t(digitsValue(field));
}

std::uint8_t timeZoneCode(std::string_view offset, std::string_view dst, std::size_t line) {
    if (offset.empty()) {
        // Without a zone there is no flag to keep; military rows often leave dst empty.
        if (dst != "Y" && dst != "N" && !dst.empty())
            throw InputError(line, "bad dst " + inQuotes(dst) + " (Y, N or empty wanted)");
        return NoZone;
    }
    std::string_view digits = offset;
    bool negative = false;
    if (digits.front() == '+' || digits.front() == '-') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    // Checked before converting: a long run of digits would overflow the conversion.
    int hours = 99;
    if (!digits.empty() && digits.size() <= 2 && allDigits(digits))
        hours = digitsValue(digits);
    if (negative)
        hours = -hours;
    // Zone number 0, which UTC-12 would give, is "no time zone": the zones are 1 to 24.
    if (hours < -11 || hours > 12)
        throw InputError(line, "bad utc_offset " + inQuotes(offset) +
                                   " (whole hours from -11 to 12 wanted)");
    if (dst != "Y" && dst != "N")
        throw InputError(line, "bad dst " + inQuotes(dst) + " (Y or N wanted)");
    return ZipRecord::zoneByte(hours + 12, dst == "Y");
}

namespace {

std::string degreesWanted(int limit) {
    return "decimal degrees from -" + std::to_string(limit) + " to " + std::to_string(limit) +
           " with at most " + std::to_string(geo::MaxDegreeDecimals) + " decimals";
}

} // namespace

void readPlace(Row& row, std::string_view latitude, std::string_view longitude,
               std::string_view countyFips) {
    const std::size_t line = row.line;
    if (latitude.empty() != longitude.empty())
        throw InputError(line, latitude.empty() ? "longitude without a latitude"
                                                : "latitude without a longitude");
    if (!latitude.empty()) {
        const auto lat = geo::ParseDegrees(latitude, 90, geo::DegreesForm::Table);
        if (lat.error != geo::DegreesError::None)
            throw InputError(line, "bad latitude " + inQuotes(latitude) + " (" + degreesWanted(90) +
                                       " wanted)");
        const auto lon = geo::ParseDegrees(longitude, 180, geo::DegreesForm::Table);
        if (lon.error != geo::DegreesError::None)
            throw InputError(line, "bad longitude " + inQuotes(longitude) + " (" +
                                       degreesWanted(180) + " wanted)");
        row.hasPoint = true;
        row.latitude = lat.degrees;
        row.longitude = lon.degrees;
    }
    if (!countyFips.empty() && (countyFips.size() != 5 || !allDigits(countyFips)))
        throw InputError(line, "bad county_fips " + inQuotes(countyFips) + " (five digits wanted)");
    // POINTS.DAT keeps state code 00 for "no county code"; no state has it.
    if (countyFips.starts_with("00"))
        throw InputError(line,
                         "bad county_fips " + inQuotes(countyFips) + " (no state has the code 00)");
    row.countyFips = std::string(countyFips);
}

void readFacts(Row& row, std::string_view kind, std::string_view zone, bool hasOffset) {
    if (!kind.empty()) {
        auto k = KindOfName(kind);
        if (!k)
            throw InputError(row.line, "bad kind " + inQuotes(kind) +
                                           " (standard, po_box_or_unique or military wanted)");
        row.kind = *k;
    }
    if (zone.empty())
        return;
    if (!IsZoneNameForm(zone))
        throw InputError(row.line, "bad time_zone " + inQuotes(zone) +
                                       " (an IANA zone name such as America/Boise wanted)");
    if (!hasOffset)
        throw InputError(row.line, "time_zone " + inQuotes(zone) + " without a utc_offset");
    row.zoneName = std::string(zone);
}

std::vector<std::string_view> listItems(std::string_view field) {
    std::vector<std::string_view> items;
    while (!field.empty()) {
        std::size_t semi = field.find(';');
        std::string_view item = trimBlanks(field.substr(0, semi));
        if (!item.empty())
            items.push_back(item);
        if (semi == std::string_view::npos)
            break;
        field.remove_prefix(semi + 1);
    }
    return items;
}

} // namespace corvana::mkdata
