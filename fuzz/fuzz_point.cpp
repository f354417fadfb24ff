// The readers of a point typed as "LAT,LON" or "LAT LON", of degrees and of a radius, on
// arbitrary text: either a point on the globe or one refusal with its sentence, and a point read
// back from its own digits is the same point.
#include "FuzzUtil.h"

#include "geo/Distance.h"
#include "geo/GeoPoint.h"

#include <cmath>
#include <cstdio>

using namespace corvana::geo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    PointParse p = ParsePoint(text);
    FUZZ_CHECK(p.point.has_value() == (p.error == PointError::None));
    FUZZ_CHECK(p.message.empty() == (p.error == PointError::None));
    FUZZ_CHECK(p.message.size() < 200);
    if (p.point) {
        FUZZ_CHECK(OnTheGlobe(*p.point));
        // Every double has a finite decimal expansion of at most 1074 decimals.
        char again[2400];
        std::snprintf(again, sizeof again, "%.1074f, %.1074f", p.point->latitude,
                      p.point->longitude);
        PointParse q = ParsePoint(again);
        FUZZ_CHECK(q.point && *q.point == *p.point);
    }
    for (LengthUnit unit : {LengthUnit::Miles, LengthUnit::Km}) {
        for (RadiusForm form : {RadiusForm::Typed, RadiusForm::Stored}) {
            RadiusParse r = ParseRadius(text, unit, form);
            FUZZ_CHECK(r.message.empty() == (r.error == RadiusError::None));
            FUZZ_CHECK(r.error != RadiusError::None || (r.km > 0 && r.km <= MaxRadiusKm));
            FUZZ_CHECK(r.error != RadiusError::None || r.inUnit > 0);
        }
    }
    // The table's degrees are a stricter form of the typed ones, read alike.
    const DegreesParse table = ParseDegrees(text, 180, DegreesForm::Table);
    const DegreesParse typed = ParseDegrees(text, 180, DegreesForm::Typed);
    if (table.error == DegreesError::None)
        FUZZ_CHECK(typed.error == DegreesError::None && typed.degrees == table.degrees);
    FUZZ_CHECK(std::fabs(typed.degrees) <= 180 && std::fabs(table.degrees) <= 180);
    return 0;
}
