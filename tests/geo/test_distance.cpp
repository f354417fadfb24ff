// Distances against GeographicLib's published test geodesics and against lengths that can be
// worked out by hand from the WGS84 ellipsoid.
#include "geo/Distance.h"
#include "geo/PlaceTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace corvana::geo;

namespace {

constexpr double A = 6378137.0, F = 1 / 298.257223563, E2 = F * (2 - F);

double sphereAngle(GeoPoint a, GeoPoint b) {
    return 2 * std::asin(std::sqrt(ChordSquared(UnitVector(a), UnitVector(b))) / 2);
}

} // namespace

TEST(Geodesic, MatchesGeographicLibsTestSet) {
    // lat1, lon1, lat2, lon2 and s12 in metres, from the random geodesics of GeodTest.dat.
    const double cases[][5] = {
        {35.60777, -139.44815, -11.17491, -69.95921, 8935244.5604818305},
        {55.52454, 106.05087, 77.03196, 197.18234, 4105086.1713924406},
        {-21.97856, 142.59065, 41.84138, 98.56635, 8394328.894657671},
        {-66.99028, 112.2363, -12.70631, 285.90344, 11150344.2312080241},
        {-17.42761, 173.34268, -15.84784, 5.93557, 16076603.1631180673},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(GeodesicKm({c[0], c[1]}, {c[2], c[3]}) * 1000, c[4], 1e-6) << c[0];
}

TEST(Geodesic, LengthsWorkedOutByHand) {
    // A degree of the equator is a degree of a circle of radius a.
    EXPECT_NEAR(GeodesicKm({0, 0}, {0, 1}), A * std::numbers::pi / 180 / 1000, 1e-9);
    // Across the 180th meridian, a short stretch of a parallel: N cos(lat) times the angle.
    const double lat = 51.5 * std::numbers::pi / 180;
    const double n = A / std::sqrt(1 - E2 * std::sin(lat) * std::sin(lat));
    EXPECT_NEAR(GeodesicKm({51.5, 179.99}, {51.5, -179.99}),
                n * std::cos(lat) * 0.02 * std::numbers::pi / 180 / 1000, 1e-6);
    // Pole to pole along a meridian: twice the quarter meridian, 10,001,965.729 m.
    EXPECT_NEAR(GeodesicKm({90, 0}, {-90, 0}), 2 * 10001.965729, 1e-6);
    // JFK (40 38 N, 73 47 W) to LAX (33 57 N, 118 24 W), the classic example: about 2,475
    // statute miles on the ellipsoid (2,144 nautical miles, 3,970.7 km, on the sphere).
    const double km = GeodesicKm({40 + 38 / 60.0, -(73 + 47 / 60.0)}, {33.95, -118.4});
    EXPECT_NEAR(km / KmPerMile, 2475, 1.5);
    EXPECT_NEAR(km, 3970.7, 3970.7 * 0.005);
    EXPECT_EQ(GeodesicKm({12.3, 45.6}, {12.3, 45.6}), 0);
}

TEST(Geodesic, CircleLiesAtItsRadiusClockwiseFromNorth) {
    const GeoPoint centre{11, 180};
    const auto circle = GeodesicCircle(centre, 150, 8);
    ASSERT_EQ(circle.size(), 8u);
    for (const GeoPoint& p : circle)
        EXPECT_NEAR(GeodesicKm(centre, p), 150, 1e-6);
    EXPECT_NEAR(std::abs(circle[0].longitude), 180, 1e-9); // north first
    EXPECT_GT(circle[0].latitude, 11);
    EXPECT_LT(circle[2].longitude, -178); // east, across the 180th meridian
    EXPECT_TRUE(GeodesicCircle(centre, 150, 0).empty());
}

TEST(Geodesic, SphereBoundHoldsEverywhere) {
    // The spatial index finds candidates on the sphere; the geodesic between two points must
    // never be shorter than the bound says, or a point inside a radius would be missed.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180), near(-0.5, 0.5);
    for (int i = 0; i < 20000; ++i) {
        GeoPoint a{lat(random), lon(random)};
        GeoPoint b = i % 2 ? GeoPoint{lat(random), lon(random)}
                           : GeoPoint{std::clamp(a.latitude + near(random), -90.0, 90.0),
                                      a.longitude + near(random)};
        const double km = GeodesicKm(a, b);
        ASSERT_LE(ChordSquared(UnitVector(a), UnitVector(b)), ChordSquaredWithin(km))
            << a.latitude << "," << a.longitude << " " << b.latitude << "," << b.longitude;
        // And the bound is tight to about 1%: the index looks at few points in vain.
        if (km > 1) {
            EXPECT_GT(sphereAngle(a, b) * A / 1000 * 1.0068, km);
        }
    }
}
