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

void PrintTo(const Pair& pair, std::ostream* out) {
  *out << pair.name;
}

// geod's answer for `input` ("lat lon lat lon" or "lat lon azimuth metres").
std::istringstream Geod(const std::string& options, Datum datum, const std::ostringstream& input) {
  const testing::CommandOutput geod = testing::RunCommand(
      "echo " + testing::ShellQuoted(input.str()) + " | geod " + options + " +ellps=" +
      (datum == Datum::Nad83 ? "GRS80" : "clrk66") + " -f %.12f -F %.6f");
  EXPECT_EQ(geod.exitCode, 0) << geod.err;
  return std::istringstream(geod.out);
}

double AngleBetween(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

class GeodesicTest : public ::testing::TestWithParam<Pair> {};

TEST_P(GeodesicTest, AgreesWithGeod) {
  const Pair& pair = GetParam();
  const Geodesic geodesic(pair.datum);
  const GeoPosition from{pair.datum, pair.fromLongitude, pair.fromLatitude};
  const GeodesicLine line = geodesic.Inverse(from, {pair.datum, pair.toLongitude, pair.toLatitude});
  std::ostringstream input;
  input.precision(12);
  input << pair.fromLatitude << ' ' << pair.fromLongitude << ' ' << pair.toLatitude << ' ' << pair.toLongitude;
  double azimuth = 0, back = 0, metres = 0;
  ASSERT_TRUE(Geod("-I", pair.datum, input) >> azimuth >> back >> metres);
  EXPECT_NEAR(line.metres, metres, 1e-3);
  EXPECT_LT(AngleBetween(line.azimuth, azimuth), 1e-6);
  EXPECT_GE(line.azimuth, 0);
  EXPECT_LT(line.azimuth, 360);

  // Along the same line from the start, as far again as the end lies.
  const GeoPosition end = geodesic.Direct(from, line.azimuth, line.metres * 2);
  std::ostringstream forward;
  forward.precision(12);
  forward << pair.fromLatitude << ' ' << pair.fromLongitude << ' ' << line.azimuth << ' ' << line.metres * 2;
  double latitude = 0, longitude = 0;
  ASSERT_TRUE(Geod("", pair.datum, forward) >> latitude >> longitude);
  EXPECT_NEAR(end.latitude, latitude, 1e-8);  // a millimetre
  EXPECT_LT(AngleBetween(end.longitude, longitude) * std::cos(latitude * std::numbers::pi / 180), 1e-8);
  EXPECT_LT(std::fabs(end.longitude - pair.fromLongitude), 360);
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

TEST(GeodesicTest, TheSamePlaceIsNoDistance) {
  const GeodesicLine line = Geodesic(Datum::Nad83).Inverse({Datum::Nad83, -106.5, 35.0}, {Datum::Nad83, 253.5, 35.0});
  EXPECT_EQ(line.metres, 0);
  EXPECT_EQ(line.azimuth, 0);
}

TEST(GeodesicTest, APositionOnTheOtherDatumIsRefused) {
  EXPECT_THROW(Geodesic(Datum::Nad83).Inverse({Datum::Nad83, -106.5, 35.0}, {Datum::Nad27, -106.5, 35.1}),
               KorvexaError);
}

}  // namespace
}  // namespace korvexa
