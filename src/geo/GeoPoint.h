#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvana::geo {

// A point on the WGS84 ellipsoid in decimal degrees, north and east positive.
struct GeoPoint {
    double latitude = 0;
    double longitude = 0;

    bool operator==(const GeoPoint&) const = default;
};

// Whether p is finite with its latitude within 90 degrees and its longitude within 180.
bool OnTheGlobe(GeoPoint p);

// Why a point given as text was refused.
enum class PointError {
    None,
    Empty,            // nothing but blanks
    MissingLatitude,  // ",LON"
    MissingLongitude, // "LAT," or one number alone
    TooManyParts,     // a third number or a second comma
    LatitudeNotNumber,
    LongitudeNotNumber,
    LatitudeNotFinite, // nan, inf
    LongitudeNotFinite,
    LatitudeOutOfRange, // beyond 90 degrees north or south
    LongitudeOutOfRange // beyond 180 degrees east or west
};

struct PointParse {
    std::optional<GeoPoint> point;
    PointError error = PointError::None;
    std::string message; // one sentence naming what is wrong; empty when the point was read
};

// Reads "LAT,LON" or "LAT LON" in decimal degrees, blanks allowed around either number
// ("40.76, -111.89", " 40.76 -111.89 "). A number is an optional sign, digits and an optional
// decimal part; no exponent, no letters, no degree signs.
PointParse ParsePoint(std::string_view text);

// The decimal number of `text` as ParsePoint reads one (an optional sign, digits and an
// optional decimal part); nothing when it holds anything else.
std::optional<double> ParseDecimal(std::string_view text);

// How a number of decimal degrees may be written. Typed: as ParsePoint reads one ("40.76",
// "-111.", ".5"). Table: as the ZIP table stores one, with digits on both sides of a dot and at
// most MaxDegreeDecimals decimals, which is all that POINTS.DAT keeps.
enum class DegreesForm { Typed, Table };
inline constexpr std::size_t MaxDegreeDecimals = 5;

enum class DegreesError { None, NotNumber, OutOfRange };

struct DegreesParse {
    double degrees = 0; // 0 unless read
    DegreesError error = DegreesError::None;
};

// A latitude (limit 90) or longitude (limit 180) in decimal degrees, no blanks around it, within
// `limit` degrees of 0. Nothing is rounded: a number with more digits than a double holds reads
// as the nearest double.
DegreesParse ParseDegrees(std::string_view text, double limit, DegreesForm form);

// Whether `text` spells a NaN or an infinity as strtod would read it ("nan", "-inf", ...).
bool SpellsNonFinite(std::string_view text);

} // namespace corvana::geo
