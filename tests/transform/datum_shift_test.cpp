// The NADCON shift with the grids the project ships: reference stations
// through DecodeLxPoint, PROJ's own cs2cs, the points it refuses and the
// grids that are missing.
#include "transform/datum_shift.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>

#include "core/korvexa_error.h"
#include "core/lx_record.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr double kMetresPerDegree = 6371000 * M_PI / 180;

// Distance in metres between two nearby points (degrees; local flat Earth,
// good to a few millimetres over the 130 m of a datum shift).
double Metres(double latitude1, double longitude1, double latitude2, double longitude2) {
  const double north = (latitude2 - latitude1) * kMetresPerDegree;
  const double east = (longitude2 - longitude1) * kMetresPerDegree * std::cos(latitude1 * M_PI / 180);
  return std::hypot(north, east);
}

double Degrees(double d, double m, double s) {
  return d + m / 60 + s / 3600;
}

struct Point {
  const char* name;
  double longitude;  // degrees, west negative
  double latitude;
};

void PrintTo(const Point& point, std::ostream* out) {
  *out << point.name;
}

// Moves one point from NAD27 to NAD83 in place: the error, or "".
std::string Move(double& longitude, double& latitude) {
  try {
    DatumShift().TransformPoint(longitude, latitude);
    return "";
  } catch (const KorvexaError& error) {
    return error.what();
  }
}

// NAD 27 and NAD 83(1986) positions published on the NGS datasheets of
// these stations (https://www.ngs.noaa.gov/cgi-bin/ds_mark.prl?PidBox=<PID>).
struct Station {
  const char* pid;
  const char* record;                    // the NAD 27 position as an .LX line
  double latitude83[3], longitude83[3];  // degrees, minutes, seconds; west
  double toleranceMetres;
};

void PrintTo(const Station& station, std::ostream* out) {
  *out << station.pid;
}

class NgsStationTest : public ::testing::TestWithParam<Station> {};

// NADCON's stated accuracy is 0.15 m in the conterminous states (Big
// Hatchet comes out at 0.151 m, hence 0.2 m) and 0.5 m in Alaska.
TEST_P(NgsStationTest, MovesToThePublishedNad83Position) {
  const Station& station = GetParam();
  NadconLibrary library;
  const std::unique_ptr<CoordinateTransform> transform = library.DefineDatumPair();
  const LxPoint nad27 = DecodeLxPoint(station.record);
  const LxPoint nad83 = DecodeLxPoint(station.record, transform.get());
  const double latitude = Degrees(station.latitude83[0], station.latitude83[1], station.latitude83[2]);
  const double longitude = Degrees(station.longitude83[0], station.longitude83[1], station.longitude83[2]);
  EXPECT_LT(Metres(nad83.Latitude, nad83.Longitude, latitude, longitude), station.toleranceMetres);
  EXPECT_GT(Metres(nad27.Latitude, nad27.Longitude, nad83.Latitude, nad83.Longitude), 25) << "no real shift";
}

INSTANTIATE_TEST_SUITE_P(
    Datasheets, NgsStationTest,
    ::testing::Values(
        Station{"KG0640", " KG0640 391326.6860  983230.5060", {39, 13, 26.71982}, {98, 32, 31.74686}, 0.2},
        Station{"CF0273", " CF0273 313807.0260 1082353.3370", {31, 38, 7.39428}, {108, 23, 55.48034}, 0.2},
        Station{"KK1708", " KK1708 394432.5900 1045921.1640", {39, 44, 32.54307}, {104, 59, 23.09833}, 0.2},
        Station{"RD3187", " RD3187 45317.04093 1224042.9743", {45, 31, 6.46666}, {122, 40, 47.32037}, 0.2},
        Station{"TT6714", " TT6714 645036.3560 1474308.6460", {64, 50, 34.81463}, {147, 43, 17.35307}, 0.5}),
    [](const auto& info) { return std::string(info.param.pid); });

// The Aleutians run past 180 W: a GCDB file gives 187.3 W, which PROJ may
// hand back as 172.7 E. Both sides of 180 move as cs2cs moves them (its input
// wrapped into [-180, 180), which PROJ needs to pick the Alaska grid).
struct AleutianCase {
  const char* name;
  const char* record;
  double latitude, eastLongitude;  // the NAD27 position, for cs2cs
};

void PrintTo(const AleutianCase& c, std::ostream* out) {
  *out << c.name;
}

class AleutianTest : public ::testing::TestWithParam<AleutianCase> {};

TEST_P(AleutianTest, PointsOnBothSidesOf180MoveAsCs2csMovesThem) {
  const AleutianCase& c = GetParam();
  std::ostringstream input;
  input.precision(10);
  input << c.latitude << ' ' << c.eastLongitude;
  const auto cs2cs =
      testing::RunCommand("echo " + input.str() +
                          " | PROJ_DATA=" KORVEXA_SHIPPED_GRIDS ":\"$PROJ_DATA\" cs2cs -f %.10f EPSG:4267 EPSG:4269");
  ASSERT_EQ(cs2cs.exitCode, 0) << cs2cs.err;
  double latitude = 0, eastLongitude = 0;
  std::istringstream(cs2cs.out) >> latitude >> eastLongitude;
  NadconLibrary library;
  const LxPoint nad83 = DecodeLxPoint(c.record, library.DefineDatumPair().get());
  EXPECT_NEAR(nad83.Latitude, latitude, 1e-7);
  // West-longitude magnitudes run on past 180: 187.3 W is 172.7 E.
  EXPECT_NEAR(360 - nad83.Longitude, eastLongitude < 0 ? eastLongitude + 360 : eastLongitude, 1e-7);
}

INSTANTIATE_TEST_SUITE_P(
    Stations, AleutianTest,
    ::testing::Values(AleutianCase{"Attu187W", " 100100 520000.0000 1871800.0000", 52, 172.7},
                      AleutianCase{"Adak176W", " 100200 514500.0000 1763000.0000", 51.75, -176.5},
                      AleutianCase{"JustWestOf180", " 100300 520000.0000 1800100.0000", 52, 179.9833333333},
                      AleutianCase{"JustEastOf180", " 100400 520000.0000 1795900.0000", 52, -179.9833333333}),
    [](const auto& info) { return std::string(info.param.name); });

// The receiver's NAD83 position goes back onto the NAD27 map by the inverse
// shift: a round trip ends where it began.
TEST(DatumShiftTest, TheInverseShiftUndoesTheShift) {
  const std::unique_ptr<CoordinateTransform> transform = NadconLibrary().DefineDatumPair();
  for (const auto& [longitude, latitude] : {std::pair(-106.7583333, 35.120096), std::pair(-147.7190683, 64.8434322)}) {
    double x = longitude, y = latitude;
    transform->TransformPoint(x, y);
    EXPECT_GT(std::hypot(x - longitude, y - latitude), 1e-4) << "no shift";
    transform->InverseTransformPoint(x, y);
    EXPECT_NEAR(x, longitude, 1e-9);
    EXPECT_NEAR(y, latitude, 1e-9);
  }
}

// Never a zero shift or a Helmert fallback: points where NAD27 was never
// used, or beyond the areas of use of the grids, are errors.
class OutsideTest : public ::testing::TestWithParam<Point> {};

TEST_P(OutsideTest, IsAnErrorAndLeavesThePointAlone) {
  double longitude = GetParam().longitude, latitude = GetParam().latitude;
  EXPECT_THAT(Move(longitude, latitude), HasSubstr("lies outside the NAD27 to NAD83 grids"));
  EXPECT_THAT(Move(longitude, latitude), HasSubstr("conterminous United States and Alaska"));
  if (std::isnan(GetParam().longitude)) {
    EXPECT_TRUE(std::isnan(longitude));
  } else {
    EXPECT_EQ(longitude, GetParam().longitude);
  }
  EXPECT_EQ(latitude, GetParam().latitude);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
INSTANTIATE_TEST_SUITE_P(Points, OutsideTest,
                         ::testing::Values(Point{"Hawaii", -157, 21}, Point{"PuertoRico", -66.5, 18.2},
                                           // inside the conus grid's rectangle, south of its area of use
                                           Point{"Mexico", -100, 20.5}, Point{"Paris", 2.35, 48.85},
                                           Point{"BeyondThePole", -100, 91}, Point{"ZeroZero", 0, 0},
                                           Point{"NotANumber", kNaN, 35}),
                         [](const auto& info) { return std::string(info.param.name); });

// PROJ's own cs2cs, with the same grids, is the oracle: our choice of
// operation must be the one PROJ would choose where a NADCON grid applies.
TEST(DatumShiftTest, AgreesWithCs2cs) {
  const Point points[] = {{"Albuquerque", -106.7583333, 35.120096},
                          {"KeyWest", -81.78, 24.55},
                          {"Maine", -68.0, 47.0},
                          {"PugetSound", -122.5, 47.6},
                          {"Juneau", -134.42, 58.30},
                          {"Attu", 172.9, 52.9},
                          {"Barrow", -156.79, 71.29}};
  std::ostringstream input;
  input.precision(10);
  for (const Point& point : points) input << point.latitude << ' ' << point.longitude << '\n';
  const auto result = testing::RunCommand("printf '" + input.str() +
                                                   "' | PROJ_DATA=" KORVEXA_SHIPPED_GRIDS
                                                   ":\"$PROJ_DATA\" cs2cs -f %.10f EPSG:4267 EPSG:4269");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::istringstream output(result.out);
  for (const Point& point : points) {
    double cs2csLatitude = 0, cs2csLongitude = 0, height = 0;
    ASSERT_TRUE(output >> cs2csLatitude >> cs2csLongitude >> height) << point.name;
    double longitude = point.longitude, latitude = point.latitude;
    ASSERT_EQ(Move(longitude, latitude), "") << point.name;
    EXPECT_NEAR(longitude, cs2csLongitude, 1e-9) << point.name;
    EXPECT_NEAR(latitude, cs2csLatitude, 1e-9) << point.name;
    EXPECT_GT(std::hypot(longitude - point.longitude, latitude - point.latitude), 1e-4) << point.name << ": no shift";
  }
}

// The sealed PROJ_DATA folder supplies PROJ's database but no NADCON grid,
// and PROJ's user folder is empty: the grids are only those of the fallback
// folder, here one of the test's own instead of the shipped grids.
class MissingGridTest : public ::testing::Test {
 protected:
  void UseOnly(const std::filesystem::path& folder) { UseShippedGrids(folder); }
  static std::string Defined() {
    try {
      NadconLibrary().DefineDatumPair();
      return "";
    } catch (const KorvexaError& error) {
      return error.what();
    }
  }
  void Install(const char* grid) {
    std::filesystem::create_symlink(std::filesystem::path(KORVEXA_SHIPPED_GRIDS) / grid, grids_ / grid);
  }
  void TearDown() override { UseShippedGrids(KORVEXA_SHIPPED_GRIDS); }
  testing::TempFolder grids_;
};

// Without any grid the Create stops before a point is moved, saying what to
// install.
TEST_F(MissingGridTest, NoGridStopsTheDefinitionAndSaysWhatToInstall) {
  UseOnly(grids_.path());
  EXPECT_THAT(Defined(), ::testing::StartsWith(
                             "cannot move points from NAD27 to NAD83: the NADCON grids us_noaa_conus.tif (the "
                             "conterminous United States) and us_noaa_alaska.tif (Alaska) are not installed"));
  EXPECT_THAT(Defined(), HasSubstr("\"projsync --file us_noaa_conus.tif\""));
  EXPECT_THAT(Defined(), HasSubstr("\"projsync --file us_noaa_alaska.tif\""));
  double longitude = -106.7583333, latitude = 35.120096;
  EXPECT_THAT(Move(longitude, latitude), HasSubstr("us_noaa_conus.tif (the conterminous United States) is not installed"));
  EXPECT_EQ(longitude, -106.7583333);
  double hawaiiLongitude = -157, hawaiiLatitude = 21;
  EXPECT_THAT(Move(hawaiiLongitude, hawaiiLatitude), HasSubstr("lies outside the NAD27 to NAD83 grids"));
}

TEST_F(MissingGridTest, OneGridMissingFailsOnlyItsOwnArea) {
  Install("us_noaa_conus.tif");
  UseOnly(grids_.path());
  EXPECT_EQ(Defined(), "");
  double longitude = -106.7583333, latitude = 35.120096;
  EXPECT_EQ(Move(longitude, latitude), "");
  double fairbanksLongitude = -147.7190683, fairbanksLatitude = 64.8434322;
  const std::string error = Move(fairbanksLongitude, fairbanksLatitude);
  EXPECT_THAT(error, HasSubstr("NADCON grid us_noaa_alaska.tif (Alaska) is not installed"));
  EXPECT_THAT(error, HasSubstr("NADCON file alaska into " + std::string(std::getenv("PROJ_USER_WRITABLE_DIRECTORY"))));
  EXPECT_THAT(error, Not(HasSubstr("conus")));
}

TEST_F(MissingGridTest, AGridInstalledLaterIsFoundByTheNextPreparation) {
  UseOnly(grids_.path());
  EXPECT_NE(Defined(), "");
  Install("us_noaa_conus.tif");
  EXPECT_EQ(Defined(), "");
  double longitude = -106.7583333, latitude = 35.120096;
  EXPECT_EQ(Move(longitude, latitude), "");
}

}  // namespace
}  // namespace korvexa
