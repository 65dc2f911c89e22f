// The navigator's measurements: distance and true bearing against PROJ's own
// geodesic (proj_geod), the grid bearing against the direction the map draws,
// and a receiver's NAD83 position moved onto the NAD27 map with the inverse
// NADCON shift, against NGS datasheets.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "app/navigate/corner_walk.h"
#include "app/navigate/geodesic.h"
#include "app/map/map_position.h"
#include "core/korvexa_error.h"
#include "transform/datum_adapter.h"
#include "transform/utm_projection.h"

namespace korvexa {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

struct Pair {
  const char* name;
  GeoPoint from, to;
};

void PrintTo(const Pair& pair, std::ostream* out) {
  *out << pair.name;
}

// PROJ's geodesic (Karney's algorithm) on GRS 80: metres and forward azimuth.
struct ProjLine {
  double metres, azimuth;
};

ProjLine ProjGeodesic(GeoPoint from, GeoPoint to) {
  PJ_CONTEXT* context = proj_context_create();
  PJ* ellipsoid = proj_create(context, "+proj=longlat +ellps=GRS80");
  const PJ_COORD line = proj_geod(ellipsoid, proj_coord(from.longitude * kDegree, from.latitude * kDegree, 0, 0),
                                  proj_coord(to.longitude * kDegree, to.latitude * kDegree, 0, 0));
  proj_destroy(ellipsoid);
  proj_context_destroy(context);
  return {line.geod.s, line.geod.a1 < 0 ? line.geod.a1 + 360 : line.geod.a1};
}

double AngleBetween(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

class GeodesicTest : public ::testing::TestWithParam<Pair> {};

// The navigator needs 0.1 m and 0.1 degree; the method gives far better.
TEST_P(GeodesicTest, AgreesWithProj) {
  const Pair& pair = GetParam();
  const GeodesicLine line =
      GeodesicInverse(pair.from.longitude, pair.from.latitude, pair.to.longitude, pair.to.latitude);
  const ProjLine reference = ProjGeodesic(pair.from, pair.to);
  EXPECT_NEAR(line.metres, reference.metres, 1e-3 + reference.metres * 1e-9);
  EXPECT_LT(AngleBetween(line.azimuth, reference.azimuth), 1e-6);
  EXPECT_GE(line.azimuth, 0);
  EXPECT_LT(line.azimuth, 360);
}

INSTANTIATE_TEST_SUITE_P(Pairs, GeodesicTest,
                         ::testing::Values(Pair{"ThirtyFeetNorthEast", {-106.5441, 35.0361}, {-106.54402, 35.03616}},
                                           Pair{"HalfAMileDueWest", {-106.5, 35.0}, {-106.508845, 35.0}},
                                           Pair{"DueSouthAcrossATownship", {-106.5, 35.08}, {-106.5, 35.0}},
                                           Pair{"AcrossTheAntimeridian", {179.99, 52.0}, {-179.99, 52.01}},
                                           Pair{"AlongTheEquator", {10.0, 0.0}, {10.5, 0.0}},
                                           Pair{"NearTheNorthPole", {-150.0, 89.9}, {30.0, 89.95}},
                                           Pair{"SouthernHemisphere", {147.0, -42.0}, {147.01, -42.02}},
                                           Pair{"AcrossTheContinent", {-122.4, 37.8}, {-74.0, 40.7}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GeodesicTest, TheSamePlaceIsNoDistance) {
  const GeodesicLine line = GeodesicInverse(-106.5, 35.0, -106.5 + 360, 35.0);
  EXPECT_EQ(line.metres, 0);
  EXPECT_EQ(line.azimuth, 0);
}

// Identity: NAD83 numbers taken as NAD27, so the grid bearing can be checked
// against the map's own projection.
class SameDatum : public CoordinateTransform {
 public:
  void TransformPoint(double&, double&) const override {}
  void InverseTransformPoint(double&, double&) const override {}
};

class GridBearingTest : public ::testing::TestWithParam<Pair> {};

// Over a mile the grid bearing of the geodesic and of the straight line
// between the projected points differ by far less than 0.01 degree.
TEST_P(GridBearingTest, IsTheDirectionTheMapDraws) {
  const Pair& pair = GetParam();
  const int zone = *Nad27UtmZone(pair.from.longitude);
  const MapPositioner positioner(std::make_unique<SameDatum>(), zone, pair.from.longitude);
  const MapPlace place = positioner.Place(pair.from);
  const Leg leg = LegBetween(pair.from, pair.to, place.convergence);
  const PlanePoint to = *UtmProjection(zone).Project(pair.to.longitude, pair.to.latitude);
  const double drawn = std::atan2(to.x - place.map.x, to.y - place.map.y) / kDegree;
  EXPECT_LT(AngleBetween(leg.gridBearing, drawn), 0.01) << "convergence " << place.convergence;
  EXPECT_LT(AngleBetween(leg.trueBearing, ProjGeodesic(pair.from, pair.to).azimuth), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Places, GridBearingTest,
                         ::testing::Values(Pair{"OnTheCentralMeridian", {-105.0, 35.0}, {-104.99, 35.01}},
                                           Pair{"EastOfIt", {-102.2, 35.0}, {-102.21, 35.005}},
                                           Pair{"WestOfIt", {-107.8, 35.0}, {-107.79, 34.99}},
                                           Pair{"FarNorth", {-149.9, 64.8}, {-149.91, 64.81}},
                                           Pair{"WestOf180", {172.7, 52.0}, {172.71, 52.01}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The receiver's NAD83 position moved to NAD27 with the shipped grids comes
// out at the station's published NAD27 position (NGS datasheets, see the
// stations of tests/transform/datum_adapter_test.cpp) within NADCON's accuracy.
struct Station {
  const char* pid;
  GeoPoint nad83, nad27;
  double toleranceMetres;  // NADCON: 0.15 m in the conterminous states, 0.5 m in Alaska
};

void PrintTo(const Station& station, std::ostream* out) {
  *out << station.pid;
}

double Degrees(double d, double m, double s) {
  return d + m / 60 + s / 3600;
}

class InverseShiftTest : public ::testing::TestWithParam<Station> {
 protected:
  static void SetUpTestSuite() { UseShippedGrids(KORVEXA_SHIPPED_GRIDS); }
};

TEST_P(InverseShiftTest, MovesNad83ToThePublishedNad27Position) {
  const Station& station = GetParam();
  ProLatDatumLibrary library;
  const MapPositioner positioner(library.DefineDatumPair(), *Nad27UtmZone(station.nad27.longitude),
                                 station.nad27.longitude);
  const MapPlace place = positioner.Place(station.nad83);
  const ProjLine off = ProjGeodesic(place.nad27, station.nad27);
  EXPECT_LT(off.metres, station.toleranceMetres);
  const GeoPoint back = positioner.Nad83Of(place.nad27);
  EXPECT_LT(ProjGeodesic(back, station.nad83).metres, 0.001) << "the shifts are not each other's inverse";
}

INSTANTIATE_TEST_SUITE_P(Datasheets, InverseShiftTest,
                         ::testing::Values(Station{"CF0273",
                                                   {-Degrees(108, 23, 55.48034), Degrees(31, 38, 7.39428)},
                                                   {-Degrees(108, 23, 53.3370), Degrees(31, 38, 7.0260)},
                                                   0.2},
                                           Station{"TT6714",
                                                   {-Degrees(147, 43, 17.35307), Degrees(64, 50, 34.81463)},
                                                   {-Degrees(147, 43, 8.6460), Degrees(64, 50, 36.3560)},
                                                   0.5}),
                         [](const auto& info) { return std::string(info.param.pid); });

// West of 180 the receiver says 172.7 E; the map's longitudes run on past
// 180 W, and the position lands on their turn.
TEST_F(InverseShiftTest, AnAleutianPositionLandsOnTheMapsTurn) {
  ProLatDatumLibrary library;
  const MapPositioner positioner(library.DefineDatumPair(), 60, -187.3);
  const MapPlace place = positioner.Place({172.7, 52.0});
  EXPECT_NEAR(place.nad27.longitude, -187.3, 0.01);
}

TEST_F(InverseShiftTest, APositionOutsideTheGridsIsRefused) {
  ProLatDatumLibrary library;
  const MapPositioner positioner(library.DefineDatumPair(), 4, -155.5);
  try {
    positioner.Place({-155.5, 19.5});  // Hawaii
    FAIL() << "no error";
  } catch (const KorvexaError& error) {
    EXPECT_NE(std::string(error.what()).find("19.5000000 N 155.5000000 W"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace korvexa
