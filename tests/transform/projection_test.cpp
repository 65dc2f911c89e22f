// The one projection keeper: forward and back, and the convergence and
// scale PROJ's proj command reports for the same projection.
#include "transform/projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/korvexa_error.h"
#include "tests/support/run_command.h"

namespace korvexa {
namespace {

struct Place {
  const char* name;
  int zone;
  double longitude, latitude;  // NAD27
};

// The number after `label` in the verbose output of proj, or the one in
// brackets on its line (the degrees of an angle).
double Reported(const std::string& output, const std::string& label) {
  const std::size_t start = output.find(label);
  EXPECT_NE(start, std::string::npos) << output;
  std::string line = output.substr(start + label.size());
  line = line.substr(0, line.find('\n'));
  const std::size_t bracket = line.find('[');
  return std::stod(bracket == std::string::npos ? line : line.substr(bracket + 1));
}

class ProjectionTest : public ::testing::TestWithParam<Place> {};

TEST_P(ProjectionTest, AgreesWithProjAndGoesBack) {
  const Place& place = GetParam();
  const Projection utm = Projection::Utm(place.zone, Datum::Nad27);
  const GeoPosition position{Datum::Nad27, place.longitude, place.latitude};
  const PlanePoint plane = *utm.Forward(position);
  const ProjectionFactors factors = *utm.FactorsAt(position);

  const testing::CommandOutput proj =
      testing::RunCommand("echo '" + std::to_string(place.longitude) + ' ' + std::to_string(place.latitude) +
                          "' | proj -V +proj=utm +zone=" + std::to_string(place.zone) + " +ellps=clrk66");
  ASSERT_EQ(proj.exitCode, 0) << proj.err;
  EXPECT_NEAR(plane.x, Reported(proj.out, "Easting (x):"), 0.01);
  EXPECT_NEAR(plane.y, Reported(proj.out, "Northing (y):"), 0.01);
  EXPECT_NEAR(factors.convergence, Reported(proj.out, "Convergence :"), 1e-7);
  EXPECT_NEAR(factors.scale, Reported(proj.out, "Meridian scale (h) :"), 1e-8);

  const GeoPosition back = *utm.Inverse(plane);
  EXPECT_EQ(back.datum, Datum::Nad27);
  EXPECT_NEAR(std::remainder(back.longitude - place.longitude, 360.0), 0, 1e-9);
  EXPECT_NEAR(back.latitude, place.latitude, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Places, ProjectionTest,
                         ::testing::Values(Place{"OnTheCentralMeridian", 13, -105.0, 35.0},
                                           Place{"EastOfIt", 13, -102.2, 35.0},
                                           Place{"WestOfIt", 13, -107.8, 35.0},
                                           Place{"FarNorth", 6, -149.9, 64.8},
                                           Place{"WestOf180", 60, -187.3, 52.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectionTest, NamesTheZone) {
  EXPECT_EQ(Projection::Utm(13, Datum::Nad27).Name(), "EPSG:26713");
  EXPECT_EQ(Projection::Utm(13, Datum::Nad83).Name(), "EPSG:26913");
  EXPECT_EQ(Projection::Utm(60, Datum::Nad27).Name(), "NAD27 / UTM zone 60N");
}

TEST(ProjectionTest, APositionOnTheOtherDatumIsRefused) {
  const Projection nad83("EPSG:2258", Datum::Nad83);
  EXPECT_TRUE(nad83.Forward({Datum::Nad83, -106.6, 35.1}));
  EXPECT_THROW((void)nad83.Forward({Datum::Nad27, -106.6, 35.1}), KorvexaError);
  EXPECT_THROW(Projection("EPSG:2258", Datum::Nad27), KorvexaError);
}

}  // namespace
}  // namespace korvexa
