#include "geo/GeoPoint.h"

#include "text/Blanks.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace corvana::geo {

namespace {

// The part as the message shows it: a long part is cut, so that a pasted page does not come
// back whole in an error message.
std::string quoted(std::string_view part) {
    constexpr std::size_t Longest = 32;
    std::string q = "\"";
    q += part.substr(0, Longest);
    if (part.size() > Longest)
        q += "...";
    return q + "\"";
}

PointParse refused(PointError error, std::string message) {
    return PointParse{std::nullopt, error, std::move(message)};
}

// One coordinate: its value, or the refusal naming `what` ("latitude" or "longitude").
PointParse coordinate(std::string_view part, bool latitude, double& value) {
    const char* what = latitude ? "latitude" : "longitude";
    if (SpellsNonFinite(part))
        return refused(latitude ? PointError::LatitudeNotFinite : PointError::LongitudeNotFinite,
                       std::string("The ") + what + " " + quoted(part) +
                           " is not a finite number.");
    const DegreesParse read = ParseDegrees(part, latitude ? 90 : 180, DegreesForm::Typed);
    if (read.error == DegreesError::NotNumber)
        return refused(latitude ? PointError::LatitudeNotNumber : PointError::LongitudeNotNumber,
                       std::string("The ") + what + " " + quoted(part) +
                           " is not a decimal number of degrees.");
    if (read.error == DegreesError::OutOfRange)
        return refused(latitude ? PointError::LatitudeOutOfRange : PointError::LongitudeOutOfRange,
                       std::string("The ") + what + " " + quoted(part) +
                           (latitude ? " is beyond 90 degrees north or south."
                                     : " is beyond 180 degrees east or west."));
    value = read.degrees;
    return {};
}

} // namespace

bool OnTheGlobe(GeoPoint p) {
    return std::isfinite(p.latitude) && std::isfinite(p.longitude) && std::fabs(p.latitude) <= 90 &&
           std::fabs(p.longitude) <= 180;
}

bool SpellsNonFinite(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    auto is = [&](std::string_view word) {
        if (text.size() < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != word[i])
                return false;
        // "nan(chars)" is a NaN to strtod as well.
        return text.size() == word.size() || (word == "nan" && text[word.size()] == '(');
    };
    return is("nan") || is("inf") || is("infinity");
}

std::optional<double> ParseDecimal(std::string_view text) {
    // One sign at most: "+-5" is no number.
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t before = 0, after = 0, i = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i, ++before;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i, ++after;
    }
    if (i != text.size() || before + after == 0)
        return std::nullopt;
    double value = 0;
    auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Too many digits for a double: a huge number stays huge (and beyond every limit), a
        // tiny one is 0.
        const bool huge = text.substr(0, before).find_first_not_of('0') != std::string_view::npos;
        value = huge ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

namespace {

// Digits on both sides of a dot, if there is one, and at most MaxDegreeDecimals after it.
bool tableDegrees(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(),
                           [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    };
    return !whole.empty() && digits(whole) && digits(fraction) &&
           (dot == std::string_view::npos || !fraction.empty()) &&
           fraction.size() <= MaxDegreeDecimals;
}

} // namespace

DegreesParse ParseDegrees(std::string_view text, double limit, DegreesForm form) {
    if (form == DegreesForm::Table && !tableDegrees(text))
        return DegreesParse{0, DegreesError::NotNumber};
    const std::optional<double> number = ParseDecimal(text);
    if (!number)
        return DegreesParse{0, DegreesError::NotNumber};
    if (std::fabs(*number) > limit)
        return DegreesParse{0, DegreesError::OutOfRange};
    return DegreesParse{*number, DegreesError::None};
}

PointParse ParsePoint(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty())
        return refused(PointError::Empty, "No point was given: write it as LAT,LON in decimal "
                                          "degrees, e.g. 40.76,-111.89.");
    std::string_view lat, lon;
    if (std::size_t comma = text.find(','); comma != std::string_view::npos) {
        lat = trimBlanks(text.substr(0, comma));
        lon = trimBlanks(text.substr(comma + 1));
        if (lon.find(',') != std::string_view::npos)
            return refused(PointError::TooManyParts,
                           "The point has more than a latitude and a longitude.");
    } else {
        std::size_t blank = text.find_first_of(" \t");
        lat = text.substr(0, blank);
        lon = blank == std::string_view::npos ? std::string_view() : trimBlanks(text.substr(blank));
    }
    if (lat.empty())
        return refused(PointError::MissingLatitude, "The point has no latitude before its "
                                                    "longitude.");
    if (lon.empty())
        return refused(PointError::MissingLongitude, "The point has no longitude after its "
                                                     "latitude.");
    // "1 2 3" and "1, 2 3" hold a third part; a blank inside one number is no number either.
    if (lon.find_first_of(" \t") != std::string_view::npos ||
        lat.find_first_of(" \t") != std::string_view::npos)
        return refused(PointError::TooManyParts,
                       "The point has more than a latitude and a longitude.");
    GeoPoint point;
    if (PointParse bad = coordinate(lat, true, point.latitude); bad.error != PointError::None)
        return bad;
    if (PointParse bad = coordinate(lon, false, point.longitude); bad.error != PointError::None)
        return bad;
    return PointParse{point, PointError::None, {}};
}

} // namespace corvana::geo
