#pragma once

#include "geo/GeoPoint.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvana::geo {

inline constexpr double KmPerMile = 1.609344; // the international statute mile

// The length in km of the shortest path from a to b on the WGS84 ellipsoid (GeographicLib's
// geodesic). Every distance the program shows or compares is this one, always with the
// centre or first point as a.
double GeodesicKm(GeoPoint a, GeoPoint b);

// The places km from centre on the same ellipsoid, `count` of them at even steps of bearing
// clockwise from north: the circle a radius search covers.
std::vector<GeoPoint> GeodesicCircle(GeoPoint centre, double km, int count);

// How a distance is shown: "12.3 mi (19.8 km)", each rounded to one decimal.
std::string DistanceText(double km);

// The distance_miles and distance_km columns of CSV and JSON output: the same figures as the
// text, "12.3" and "19.8", so that a column never disagrees with the line it came from.
struct DistanceFigures {
    std::string miles;
    std::string km;
};
DistanceFigures DistanceColumns(double km);

// Radii of a search around a point: above 0 and at most 12,500 miles, which reaches across half
// the globe; anything larger stands for a mistake (a ZIP code typed where the radius goes).
inline constexpr double MaxRadiusMiles = 12500;
inline constexpr double MaxRadiusKm = MaxRadiusMiles * KmPerMile;

enum class RadiusError { None, NotNumber, NotFinite, NotPositive, TooLarge };

enum class LengthUnit { Miles, Km };

// How a radius is written: as a person types it (a decimal number as ParseDecimal reads one), or
// as the settings file stores one, the shortest text that reads back as the same double, which
// gives a tiny radius an exponent ("1e-05").
enum class RadiusForm { Typed, Stored };

struct RadiusParse {
    double km = 0;
    double inUnit = 0; // the number as written, in the unit it was given in
    RadiusError error = RadiusError::None;
    std::string message; // empty when the radius was read
};

// The error of a radius in km, RadiusError::None when a search may use it.
RadiusError CheckRadiusKm(double km);

// A radius in `unit` ("10", "2.5"), blanks around allowed; km and inUnit are set when it is good.
RadiusParse ParseRadius(std::string_view text, LengthUnit unit,
                        RadiusForm form = RadiusForm::Typed);

// The sentence that explains a radius error.
std::string RadiusMessage(RadiusError error);

} // namespace corvana::geo
