// The navigator's measurements: the grid bearing against the convergence
// PROJ gives and the direction the map draws, and a receiver's NAD83
// position moved onto the NAD27 map with the inverse NADCON shift, against
// NGS datasheets.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "app/map/map_position.h"
#include "app/navigate/corner_walk.h"
#include "core/korvexa_error.h"
#include "transform/datum_shift.h"
#include "transform/geodesic.h"
#include "transform/projection.h"

namespace korvexa {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr Datum N83 = Datum::Nad83, N27 = Datum::Nad27;

struct Pair {
  const char* name;
  GeoPosition from, to;
};

void PrintTo(const Pair& pair, std::ostream* out) {
  *out << pair.name;
}

double AngleBetween(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

double Metres(const GeoPosition& from, const GeoPosition& to) {
  return Geodesic(from.datum).Inverse(from, to).metres;
}

// Identity: NAD83 numbers taken as NAD27, so the grid bearing can be checked
// against the map's own projection.
class SameDatum : public CoordinateTransform {
 public:
  void TransformPoint(double&, double&) const override {}
  void InverseTransformPoint(double&, double&) const override {}
};

class GridBearingTest : public ::testing::TestWithParam<Pair> {};

// The grid bearing is the true bearing less PROJ's convergence there; over
// a mile it differs from the straight line between the projected points by
// far less than 0.01 degree.
TEST_P(GridBearingTest, IsTheDirectionTheMapDraws) {
  const Pair& pair = GetParam();
  const int zone = *Nad27UtmZone(pair.from.longitude);
  const MapPositioner positioner(N27, std::make_unique<SameDatum>(), zone, pair.from.longitude);
  const MapPlace place = positioner.Place(pair.from);
  const Leg leg = LegBetween(pair.from, pair.to, place.convergence);
  const Projection utm = Projection::Utm(zone, Datum::Nad27);
  const double convergence = utm.FactorsAt(place.onMapDatum)->convergence;
  EXPECT_LT(AngleBetween(leg.gridBearing, leg.trueBearing - convergence), 1e-6);
  const PlanePoint to = *utm.Forward({Datum::Nad27, pair.to.longitude, pair.to.latitude});
  const double drawn = std::atan2(to.x - place.map.x, to.y - place.map.y) / kDegree;
  EXPECT_LT(AngleBetween(leg.gridBearing, drawn), 0.01) << "convergence " << place.convergence;
  EXPECT_LT(AngleBetween(leg.trueBearing, Geodesic(Datum::Nad83).Inverse(pair.from, pair.to).azimuth), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Places, GridBearingTest,
                         ::testing::Values(Pair{"OnTheCentralMeridian", {N83, -105.0, 35.0}, {N83, -104.99, 35.01}},
                                           Pair{"EastOfIt", {N83, -102.2, 35.0}, {N83, -102.21, 35.005}},
                                           Pair{"WestOfIt", {N83, -107.8, 35.0}, {N83, -107.79, 34.99}},
                                           Pair{"FarNorth", {N83, -149.9, 64.8}, {N83, -149.91, 64.81}},
                                           Pair{"WestOf180", {N83, 172.7, 52.0}, {N83, 172.71, 52.01}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The receiver's NAD83 position moved to NAD27 with the shipped grids comes
// out at the station's published NAD27 position (NGS datasheets, see the
// stations of tests/transform/datum_shift_test.cpp) within NADCON's accuracy.
struct Station {
  const char* pid;
  GeoPosition nad83, nad27;
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
  NadconLibrary library;
  const MapPositioner positioner(N27, library.DefineDatumPair(), *Nad27UtmZone(station.nad27.longitude),
                                 station.nad27.longitude);
  const MapPlace place = positioner.Place(station.nad83);
  EXPECT_LT(Metres(place.onMapDatum, station.nad27), station.toleranceMetres);
  const GeoPosition back = positioner.Nad83Of(place.onMapDatum);
  EXPECT_LT(Metres(back, station.nad83), 0.001) << "the shifts are not each other's inverse";
}

INSTANTIATE_TEST_SUITE_P(Datasheets, InverseShiftTest,
                         ::testing::Values(Station{"CF0273",
                                                   {N83, -Degrees(108, 23, 55.48034), Degrees(31, 38, 7.39428)},
                                                   {N27, -Degrees(108, 23, 53.3370), Degrees(31, 38, 7.0260)},
                                                   0.2},
                                           Station{"TT6714",
                                                   {N83, -Degrees(147, 43, 17.35307), Degrees(64, 50, 34.81463)},
                                                   {N27, -Degrees(147, 43, 8.6460), Degrees(64, 50, 36.3560)},
                                                   0.5}),
                         [](const auto& info) { return std::string(info.param.pid); });

// West of 180 the receiver says 172.7 E; the map's longitudes run on past
// 180 W, and the position lands on their turn.
TEST_F(InverseShiftTest, AnAleutianPositionLandsOnTheMapsTurn) {
  NadconLibrary library;
  const MapPositioner positioner(N27, library.DefineDatumPair(), 60, -187.3);
  const MapPlace place = positioner.Place({N83, 172.7, 52.0});
  EXPECT_NEAR(place.onMapDatum.longitude, -187.3, 0.01);
}

TEST_F(InverseShiftTest, APositionOutsideTheGridsIsRefused) {
  NadconLibrary library;
  const MapPositioner positioner(N27, library.DefineDatumPair(), 4, -155.5);
  try {
    positioner.Place({N83, -155.5, 19.5});  // Hawaii
    FAIL() << "no error";
  } catch (const KorvexaError& error) {
    EXPECT_NE(std::string(error.what()).find("19.5000000 N 155.5000000 W"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace korvexa
