// Distances and directions against PROJ's geod command: the inverse and the
// direct problem on both datums' ellipsoids, to a millimetre and 1e-6 degree,
// nearly antipodal places included.
#include "transform/geodesic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "core/korvexa_error.h"
#include "tests/support/run_command.h"

namespace korvexa {
namespace {

struct Pair {
  const char* name;
  Datum datum;
  double fromLongitude, fromLatitude, toLongitude, toLatitude;
};

// geod's answer to "lat lon lat lon" (with -I) or "lat lon azimuth metres".
std::istringstream Geod(const char* inverse, Datum datum, double a, double b, double c, double d) {
  std::ostringstream input;
  input.precision(12);
  input << a << ' ' << b << ' ' << c << ' ' << d;
  const testing::CommandOutput geod =
      testing::RunCommand("echo '" + input.str() + "' | geod " + inverse +
                          (datum == Datum::Nad83 ? " +ellps=GRS80" : " +ellps=clrk66") + " -f %.12f -F %.6f");
  EXPECT_EQ(geod.exitCode, 0) << geod.err;
  return std::istringstream(geod.out);
}

double AngleBetween(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

class GeodesicTest : public ::testing::TestWithParam<Pair> {};

TEST_P(GeodesicTest, AgreesWithGeod) {
  const Pair& p = GetParam();
  const Geodesic geodesic(p.datum);
  const GeoPosition from{p.datum, p.fromLongitude, p.fromLatitude};
  const GeodesicLine line = geodesic.Inverse(from, {p.datum, p.toLongitude, p.toLatitude});
  double azimuth = 0, back = 0, metres = 0;
  ASSERT_TRUE(Geod("-I", p.datum, p.fromLatitude, p.fromLongitude, p.toLatitude, p.toLongitude) >> azimuth >> back >>
              metres);
  EXPECT_NEAR(line.metres, metres, 1e-3);
  EXPECT_LT(AngleBetween(line.azimuth, azimuth), 1e-6);
  EXPECT_TRUE(line.azimuth >= 0 && line.azimuth < 360) << line.azimuth;

  // Along the same line twice as far: a millimetre is 1e-8 degree.
  const GeoPosition end = geodesic.Direct(from, line.azimuth, line.metres * 2);
  double latitude = 0, longitude = 0;
  ASSERT_TRUE(Geod("", p.datum, p.fromLatitude, p.fromLongitude, line.azimuth, line.metres * 2) >> latitude >>
              longitude);
  EXPECT_NEAR(end.latitude, latitude, 1e-8);
  EXPECT_LT(AngleBetween(end.longitude, longitude) * std::cos(latitude * std::numbers::pi / 180), 1e-8);
  EXPECT_LE(std::fabs(end.longitude - p.fromLongitude), 180) << "on the turn of the start";
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, GeodesicTest,
    ::testing::Values(Pair{"ThirtyFeetNorthEast", Datum::Nad83, -106.5441, 35.0361, -106.54402, 35.03616},
                      Pair{"DueSouthAcrossATownship", Datum::Nad27, -106.5, 35.08, -106.5, 35.0},
                      Pair{"AcrossTheAntimeridian", Datum::Nad83, 179.99, 52.0, -179.99, 52.01},
                      Pair{"OnTheAleutiansTurn", Datum::Nad27, -187.3, 52.0, -187.2, 52.05},
                      Pair{"AlongTheEquator", Datum::Nad83, 10.0, 0.0, 10.5, 0.0},
                      Pair{"NearTheNorthPole", Datum::Nad83, -150.0, 89.9, 30.0, 89.95},
                      Pair{"AcrossTheContinent", Datum::Nad27, -122.4, 37.8, -74.0, 40.7},
                      Pair{"NearlyAntipodal", Datum::Nad83, 0.0, 0.0, 179.7, 0.5},
                      Pair{"NearlyAntipodalOffTheEquator", Datum::Nad27, -106.5, 35.0, 73.4, -34.99}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GeodesicTest, TheSamePlaceIsNoDistanceAndAnotherDatumIsRefused) {
  const Geodesic grs80(Datum::Nad83);
  const GeodesicLine line = grs80.Inverse({Datum::Nad83, -106.5, 35.0}, {Datum::Nad83, 253.5, 35.0});
  EXPECT_EQ(line.metres, 0);
  EXPECT_EQ(line.azimuth, 0);
  EXPECT_THROW(grs80.Inverse({Datum::Nad83, -106.5, 35.0}, {Datum::Nad27, -106.5, 35.1}), KorvexaError);
}

}  // namespace
}  // namespace korvexa
