#include "geo/Distance.h"

#include "text/Blanks.h"

#include <GeographicLib/Geodesic.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace corvana::geo {

double GeodesicKm(GeoPoint a, GeoPoint b) {
    double meters = 0;
    GeographicLib::Geodesic::WGS84().Inverse(a.latitude, a.longitude, b.latitude, b.longitude,
                                             meters);
    return meters / 1000;
}

std::vector<GeoPoint> GeodesicCircle(GeoPoint centre, double km, int count) {
    std::vector<GeoPoint> out;
    const auto& g = GeographicLib::Geodesic::WGS84();
    for (int i = 0; i < count; ++i) {
        GeoPoint p;
        g.Direct(centre.latitude, centre.longitude, 360.0 * i / count, km * 1000.0, p.latitude,
                 p.longitude);
        out.push_back(p);
    }
    return out;
}

namespace {

std::string oneDecimal(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

} // namespace

DistanceFigures DistanceColumns(double km) {
    return DistanceFigures{oneDecimal(km / KmPerMile), oneDecimal(km)};
}

std::string DistanceText(double km) {
    DistanceFigures f = DistanceColumns(km);
    return f.miles + " mi (" + f.km + " km)";
}

RadiusError CheckRadiusKm(double km) {
    if (!std::isfinite(km))
        return RadiusError::NotFinite;
    if (km <= 0)
        return RadiusError::NotPositive;
    if (km > MaxRadiusKm)
        return RadiusError::TooLarge;
    return RadiusError::None;
}

std::string RadiusMessage(RadiusError error) {
    switch (error) {
    case RadiusError::None:
        return {};
    case RadiusError::NotNumber:
        return "The radius is not a decimal number.";
    case RadiusError::NotFinite:
        return "The radius is not a finite number.";
    case RadiusError::NotPositive:
        return "The radius must be more than 0.";
    case RadiusError::TooLarge:
        return "The radius is more than 12,500 miles (20,116.8 km), half way round the globe.";
    }
    return {};
}

namespace {

// The whole text as std::from_chars reads a double: exponents, and no plus sign.
std::optional<double> storedNumber(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

RadiusParse ParseRadius(std::string_view text, LengthUnit unit, RadiusForm form) {
    text = trimBlanks(text);
    RadiusParse r;
    if (SpellsNonFinite(text)) {
        r.error = RadiusError::NotFinite;
    } else if (auto v = form == RadiusForm::Typed ? ParseDecimal(text) : storedNumber(text)) {
        r.inUnit = *v;
        r.km = unit == LengthUnit::Miles ? *v * KmPerMile : *v;
        r.error = CheckRadiusKm(r.km);
    } else {
        r.error = RadiusError::NotNumber;
    }
    r.message = RadiusMessage(r.error);
    if (r.error != RadiusError::None)
        r.km = r.inUnit = 0;
    return r;
}

} // namespace corvana::geo
