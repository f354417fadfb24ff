// A point or radius as a person types it: what is read, and the one refusal for each kind of
// mistake.
#include "geo/Distance.h"
#include "geo/GeoPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

using namespace corvana::geo;

TEST(ParsePoint, ReadsBothFormsWithBlanksAround) {
    const std::pair<const char*, GeoPoint> cases[] = {
        {"40.76,-111.89", {40.76, -111.89}},
        {"  40.76 , -111.89\t", {40.76, -111.89}},
        {"40.76 -111.89", {40.76, -111.89}},
        {"\t+40.76 \t -111.89 ", {40.76, -111.89}},
        {"-14.27,-170.70", {-14.27, -170.70}},
        {"90,180", {90, 180}},
        {"-90,-180", {-90, -180}},
        {".5,5.", {0.5, 5}},
        {"-0,0", {0, 0}},
        {"51.88000,-176.65810", {51.88, -176.6581}},
    };
    for (const auto& [text, want] : cases) {
        PointParse p = ParsePoint(text);
        ASSERT_TRUE(p.point) << text << ": " << p.message;
        EXPECT_EQ(*p.point, want) << text;
        EXPECT_EQ(p.error, PointError::None);
        EXPECT_TRUE(p.message.empty());
    }
}

TEST(ParsePoint, RefusesEachMistakeWithItsOwnMessage) {
    const std::pair<std::string, PointError> cases[] = {
        {"", PointError::Empty},
        {" \t ", PointError::Empty},
        {",-111.89", PointError::MissingLatitude},
        {"40.76,", PointError::MissingLongitude},
        {"40.76", PointError::MissingLongitude},
        {"40.76, ", PointError::MissingLongitude},
        {"1,2,3", PointError::TooManyParts},
        {"1 2 3", PointError::TooManyParts},
        {"1, 2 3", PointError::TooManyParts},
        {"40.76N,111.89W", PointError::LatitudeNotNumber},
        {"4e1,-111", PointError::LatitudeNotNumber},
        {"0x10,5", PointError::LatitudeNotNumber},
        {"1.2.3,5", PointError::LatitudeNotNumber},
        {"-,5", PointError::LatitudeNotNumber},
        {".,5", PointError::LatitudeNotNumber},
        {"40°,5", PointError::LatitudeNotNumber},
        {"40,west", PointError::LongitudeNotNumber},
        {"40,--5", PointError::LongitudeNotNumber},
        {"nan,5", PointError::LatitudeNotFinite},
        {"-INF,5", PointError::LatitudeNotFinite},
        {"40,infinity", PointError::LongitudeNotFinite},
        {"40,nan(0x1)", PointError::LongitudeNotFinite},
        {"90.000001,0", PointError::LatitudeOutOfRange},
        {"-91 0", PointError::LatitudeOutOfRange},
        {"0,180.5", PointError::LongitudeOutOfRange},
        {"0,-360", PointError::LongitudeOutOfRange},
        {"1" + std::string(400, '0') + ",5", PointError::LatitudeOutOfRange},
        {"0." + std::string(400, '0') + "1,5", PointError::None},
    };
    for (const auto& [text, want] : cases) {
        PointParse p = ParsePoint(text);
        EXPECT_EQ(p.error, want) << text;
        EXPECT_EQ(p.point.has_value(), want == PointError::None) << text;
        EXPECT_EQ(p.message.empty(), want == PointError::None) << text;
    }
    // The message names the part at fault, so no two mistakes of these read alike.
    EXPECT_NE(ParsePoint("91,0").message, ParsePoint("0,91x").message);
    EXPECT_NE(ParsePoint("x,0").message, ParsePoint("0,x").message);
    EXPECT_NE(ParsePoint("x,0").message, ParsePoint("y,0").message);
    // A long part is cut in the message.
    EXPECT_LT(ParsePoint(std::string(5000, 'x') + ",0").message.size(), 100u);
}

// One reader of degrees for a point typed and for the ZIP table's columns: the table's form is
// the stricter, and what both read they read alike.
TEST(ParseDegrees, TypedAndTableForms) {
    const std::tuple<std::string, DegreesError, DegreesError, double> cases[] = {
        // text, typed, table, degrees when read
        {"40.76", DegreesError::None, DegreesError::None, 40.76},
        {"+51.874", DegreesError::None, DegreesError::None, 51.874},
        {"-76.63401", DegreesError::None, DegreesError::None, -76.63401},
        {"15", DegreesError::None, DegreesError::None, 15},
        {"-90", DegreesError::None, DegreesError::None, -90},
        {"13.", DegreesError::None, DegreesError::NotNumber, 13},
        {".5", DegreesError::None, DegreesError::NotNumber, 0.5},
        {"13.474747", DegreesError::None, DegreesError::NotNumber, 13.474747},
        {"90.00001", DegreesError::OutOfRange, DegreesError::OutOfRange, 0},
        {"144.74", DegreesError::OutOfRange, DegreesError::OutOfRange, 0},
        {"1e1", DegreesError::NotNumber, DegreesError::NotNumber, 0},
        {"--13", DegreesError::NotNumber, DegreesError::NotNumber, 0},
        {"+-13", DegreesError::NotNumber, DegreesError::NotNumber, 0},
        {"-+13", DegreesError::NotNumber, DegreesError::NotNumber, 0},
        {" 13", DegreesError::NotNumber, DegreesError::NotNumber, 0},
        {"", DegreesError::NotNumber, DegreesError::NotNumber, 0},
    };
    for (const auto& [text, typed, table, degrees] : cases) {
        const DegreesParse t = ParseDegrees(text, 90, DegreesForm::Typed);
        const DegreesParse b = ParseDegrees(text, 90, DegreesForm::Table);
        EXPECT_EQ(t.error, typed) << text;
        EXPECT_EQ(b.error, table) << text;
        EXPECT_EQ(t.degrees, typed == DegreesError::None ? degrees : 0) << text;
        EXPECT_EQ(b.degrees, table == DegreesError::None ? degrees : 0) << text;
    }
    EXPECT_EQ(ParseDegrees("-180", 180, DegreesForm::Table).degrees, -180);
    EXPECT_EQ(ParsePoint("+-5,3").error, PointError::LatitudeNotNumber);
}

TEST(ParseRadius, ReadsUnitsAndRefusesNonsense) {
    EXPECT_DOUBLE_EQ(ParseRadius("10", LengthUnit::Miles).km, 16.09344);
    EXPECT_DOUBLE_EQ(ParseRadius(" 2.5 ", LengthUnit::Km).km, 2.5);
    EXPECT_DOUBLE_EQ(ParseRadius("0.1", LengthUnit::Miles).km, 0.1609344);
    EXPECT_EQ(ParseRadius("12500", LengthUnit::Miles).error, RadiusError::None);
    EXPECT_EQ(ParseRadius("20116.8", LengthUnit::Km).error, RadiusError::None);
    const std::tuple<std::string, LengthUnit, RadiusError> bad[] = {
        {"0", LengthUnit::Miles, RadiusError::NotPositive},
        {"-3", LengthUnit::Km, RadiusError::NotPositive},
        {"-0.0", LengthUnit::Km, RadiusError::NotPositive},
        {"ten", LengthUnit::Miles, RadiusError::NotNumber},
        {"", LengthUnit::Miles, RadiusError::NotNumber},
        {"10mi", LengthUnit::Miles, RadiusError::NotNumber},
        {"1e3", LengthUnit::Miles, RadiusError::NotNumber},
        {"inf", LengthUnit::Km, RadiusError::NotFinite},
        {"NaN", LengthUnit::Km, RadiusError::NotFinite},
        {"12500.1", LengthUnit::Miles, RadiusError::TooLarge},
        {"20116.9", LengthUnit::Km, RadiusError::TooLarge},
        {"84101", LengthUnit::Miles, RadiusError::TooLarge},
        {"9" + std::string(400, '9'), LengthUnit::Km, RadiusError::TooLarge},
    };
    for (const auto& [text, unit, want] : bad) {
        RadiusParse r = ParseRadius(text, unit);
        EXPECT_EQ(r.error, want) << text;
        EXPECT_FALSE(r.message.empty()) << text;
        EXPECT_EQ(r.km, 0) << text;
    }
    // The settings file's form: what the file's writer gives back for any radius, exponents too.
    const std::pair<std::string, double> stored[] = {
        {"10", 10}, {"2.5", 2.5}, {"1e-05", 1e-05}, {"1.5e1", 15}, {"12500", 12500}};
    for (const auto& [text, miles] : stored) {
        RadiusParse r = ParseRadius(text, LengthUnit::Miles, RadiusForm::Stored);
        EXPECT_EQ(r.error, RadiusError::None) << text;
        EXPECT_EQ(r.inUnit, miles) << text;
        EXPECT_EQ(r.km, miles * KmPerMile) << text;
    }
    EXPECT_EQ(ParseRadius("1e-05", LengthUnit::Miles).error, RadiusError::NotNumber);
    for (std::string bad : {"+10", "0", "1e9", "nan", "ten", "10mi", ""})
        EXPECT_NE(ParseRadius(bad, LengthUnit::Miles, RadiusForm::Stored).error, RadiusError::None)
            << bad;
    EXPECT_EQ(ParseRadius("2.5", LengthUnit::Km).inUnit, 2.5);
    EXPECT_EQ(CheckRadiusKm(std::nan("")), RadiusError::NotFinite);
    EXPECT_EQ(CheckRadiusKm(-1e-300), RadiusError::NotPositive);
}

TEST(DistanceText, OneDecimalOfMilesWithKmAlongside) {
    EXPECT_EQ(DistanceText(0), "0.0 mi (0.0 km)");
    EXPECT_EQ(DistanceText(19.8), "12.3 mi (19.8 km)");
    EXPECT_EQ(DistanceText(3983.1), "2475.0 mi (3983.1 km)");
    DistanceFigures f = DistanceColumns(160.9344);
    EXPECT_EQ(f.miles, "100.0");
    EXPECT_EQ(f.km, "160.9");
    EXPECT_EQ(DistanceText(0.04), "0.0 mi (0.0 km)");
    EXPECT_EQ(DistanceText(0.08), "0.0 mi (0.1 km)");
}
