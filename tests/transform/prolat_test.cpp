// The prolat C library over PROJ, with the NADCON grids of the sealed test
// environment.
#include "transform/prolat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>
#include <vector>

#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Point {
  const char* name;
  double longitude;  // degrees, west negative
  double latitude;
};

void PrintTo(const Point& point, std::ostream* out) {
  *out << point.name;
}

int32_t Nad27() {
  return ProLatDefineLatLong("NAD27");
}
int32_t Nad83() {
  return ProLatDefineLatLong("NAD83");
}

// Status of moving one point; the point is changed in place.
int32_t Move(double& longitude, double& latitude, int32_t src = Nad27(), int32_t dst = Nad83()) {
  double z = 0;
  return ProLatTransform(src, dst, &longitude, &latitude, &z, 1);
}

TEST(ProLatDefineTest, KnowsExactlyNad27AndNad83) {
  EXPECT_NE(Nad27(), PROLAT_NO_SYSTEM);
  EXPECT_NE(Nad83(), PROLAT_NO_SYSTEM);
  EXPECT_NE(Nad27(), Nad83());
  EXPECT_EQ(ProLatDefineLatLong("nad27"), Nad27());
  for (const char* unknown : {"WGS84", "NAD 27", "NAD2", "", "NAD83(2011)"}) {
    EXPECT_EQ(ProLatDefineLatLong(unknown), PROLAT_NO_SYSTEM) << unknown;
    EXPECT_THAT(ProLatLastError(), HasSubstr(unknown));
  }
  EXPECT_EQ(ProLatDefineLatLong(nullptr), PROLAT_NO_SYSTEM);
}

TEST(ProLatTransformTest, WrongHandlesAndArgumentsLeaveThePointAlone) {
  const int32_t bad[][2] = {{0, Nad83()}, {Nad27(), 0}, {Nad27(), 99}, {-1, Nad83()}};
  for (const auto& pair : bad) {
    double longitude = -106.75, latitude = 35.12;
    EXPECT_EQ(Move(longitude, latitude, pair[0], pair[1]), PROLAT_ERR_BAD_SYSTEM) << pair[0] << " " << pair[1];
    EXPECT_EQ(longitude, -106.75);
    EXPECT_EQ(latitude, 35.12);
  }
  double x = -106.75, y = 35.12;
  EXPECT_EQ(ProLatTransform(Nad27(), Nad83(), nullptr, &y, nullptr, 1), PROLAT_ERR_BAD_ARGUMENT);
  EXPECT_EQ(ProLatTransform(Nad27(), Nad83(), &x, &y, nullptr, -1), PROLAT_ERR_BAD_ARGUMENT);
  EXPECT_EQ(ProLatTransform(Nad27(), Nad83(), nullptr, nullptr, nullptr, 0), PROLAT_OK);
  EXPECT_EQ(Move(x, y, Nad27(), Nad27()), PROLAT_OK);
  EXPECT_EQ(x, -106.75);
}

// Never a zero shift or a Helmert fallback: points where NAD27 was never
// used, or beyond the areas of use of the grids, are errors.
class ProLatOutsideTest : public ::testing::TestWithParam<Point> {};

TEST_P(ProLatOutsideTest, IsAnErrorAndLeavesThePointAlone) {
  double longitude = GetParam().longitude, latitude = GetParam().latitude;
  EXPECT_EQ(Move(longitude, latitude), PROLAT_ERR_OUTSIDE_GRIDS);
  EXPECT_THAT(ProLatLastError(), HasSubstr("conterminous United States and Alaska"));
  if (std::isnan(GetParam().longitude)) {
    EXPECT_TRUE(std::isnan(longitude));
  } else {
    EXPECT_EQ(longitude, GetParam().longitude);
  }
  EXPECT_EQ(latitude, GetParam().latitude);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
INSTANTIATE_TEST_SUITE_P(Points, ProLatOutsideTest,
                         ::testing::Values(Point{"Hawaii", -157, 21}, Point{"PuertoRico", -66.5, 18.2},
                                           // inside the conus grid's rectangle, south of its area of use
                                           Point{"Mexico", -100, 20.5}, Point{"Paris", 2.35, 48.85},
                                           Point{"BeyondThePole", -100, 91}, Point{"ZeroZero", 0, 0},
                                           Point{"NotANumber", kNaN, 35}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProLatTransformTest, StopsAtTheFirstPointThatFails) {
  double x[] = {-106.7583333, -157, -106.7583333}, y[] = {35.120096, 21, 35.120096}, z[] = {0, 0, 0};
  EXPECT_EQ(ProLatTransform(Nad27(), Nad83(), x, y, z, 3), PROLAT_ERR_OUTSIDE_GRIDS);
  EXPECT_NEAR(x[0], -106.758917, 1e-6);
  EXPECT_EQ(x[1], -157);
  EXPECT_EQ(x[2], -106.7583333);
}

TEST(ProLatTransformTest, Nad83BackToNad27IsTheInverse) {
  double longitude = -147.7190683, latitude = 64.8434322;
  ASSERT_EQ(Move(longitude, latitude), PROLAT_OK);
  ASSERT_EQ(Move(longitude, latitude, Nad83(), Nad27()), PROLAT_OK);
  EXPECT_NEAR(longitude, -147.7190683, 1e-9);
  EXPECT_NEAR(latitude, 64.8434322, 1e-9);
}

// PROJ's own cs2cs, with the same grids, is the oracle: our choice of
// operation must be the one PROJ would choose where a NADCON grid applies.
TEST(ProLatTransformTest, AgreesWithCs2cs) {
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
  const auto result = korvexa::testing::RunCommand("printf '" + input.str() +
                                                   "' | PROJ_DATA=" KORVEXA_SHIPPED_GRIDS
                                                   ":\"$PROJ_DATA\" cs2cs -f %.10f EPSG:4267 EPSG:4269");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::istringstream output(result.out);
  for (const Point& point : points) {
    double cs2csLatitude = 0, cs2csLongitude = 0, height = 0;
    ASSERT_TRUE(output >> cs2csLatitude >> cs2csLongitude >> height) << point.name;
    double longitude = point.longitude, latitude = point.latitude;
    ASSERT_EQ(Move(longitude, latitude), PROLAT_OK) << point.name << ": " << ProLatLastError();
    EXPECT_NEAR(longitude, cs2csLongitude, 1e-9) << point.name;
    EXPECT_NEAR(latitude, cs2csLatitude, 1e-9) << point.name;
    EXPECT_GT(std::hypot(longitude - point.longitude, latitude - point.latitude), 1e-4) << point.name << ": no shift";
  }
}

// The sealed PROJ_DATA folder supplies PROJ's database but no NADCON grid,
// and PROJ's user folder is empty: the grids are only those of the fallback
// folder, here one of the test's own instead of the shipped grids.
class ProLatMissingGridTest : public ::testing::Test {
 protected:
  void UseOnly(const std::string& folder) { ASSERT_EQ(ProLatSetFallbackPath(folder.c_str()), PROLAT_OK); }
  void Install(const char* grid) {
    std::filesystem::create_symlink(std::filesystem::path(KORVEXA_SHIPPED_GRIDS) / grid, grids_ / grid);
  }
  void TearDown() override { ProLatSetFallbackPath(KORVEXA_SHIPPED_GRIDS); }
  korvexa::testing::TempFolder grids_;
};

TEST_F(ProLatMissingGridTest, NoGridStopsThePreparationAndSaysWhatToInstall) {
  UseOnly(grids_.path().string());
  EXPECT_EQ(ProLatPrepareTransform(Nad27(), Nad83()), PROLAT_ERR_GRID_MISSING);
  EXPECT_THAT(ProLatLastError(), HasSubstr("\"projsync --file us_noaa_conus.tif\""));
  EXPECT_THAT(ProLatLastError(), HasSubstr("\"projsync --file us_noaa_alaska.tif\""));
  double longitude = -106.7583333, latitude = 35.120096;
  EXPECT_EQ(Move(longitude, latitude), PROLAT_ERR_GRID_MISSING);
  EXPECT_EQ(longitude, -106.7583333);
  double hawaiiLongitude = -157, hawaiiLatitude = 21;
  EXPECT_EQ(Move(hawaiiLongitude, hawaiiLatitude), PROLAT_ERR_OUTSIDE_GRIDS);
}

TEST_F(ProLatMissingGridTest, OneGridMissingFailsOnlyItsOwnArea) {
  Install("us_noaa_conus.tif");
  UseOnly(grids_.path().string());
  EXPECT_EQ(ProLatPrepareTransform(Nad27(), Nad83()), PROLAT_OK);
  double longitude = -106.7583333, latitude = 35.120096;
  EXPECT_EQ(Move(longitude, latitude), PROLAT_OK);
  double fairbanksLongitude = -147.7190683, fairbanksLatitude = 64.8434322;
  EXPECT_EQ(Move(fairbanksLongitude, fairbanksLatitude), PROLAT_ERR_GRID_MISSING);
  EXPECT_THAT(ProLatLastError(), HasSubstr("NADCON grid us_noaa_alaska.tif (Alaska) is not installed"));
  EXPECT_THAT(ProLatLastError(),
              HasSubstr("NADCON file alaska into " + std::string(std::getenv("PROJ_USER_WRITABLE_DIRECTORY"))));
  EXPECT_THAT(ProLatLastError(), Not(HasSubstr("conus")));
}

TEST_F(ProLatMissingGridTest, AGridInstalledLaterIsFoundByTheNextPreparation) {
  UseOnly(grids_.path().string());
  EXPECT_EQ(ProLatPrepareTransform(Nad27(), Nad83()), PROLAT_ERR_GRID_MISSING);
  Install("us_noaa_conus.tif");
  EXPECT_EQ(ProLatPrepareTransform(Nad27(), Nad83()), PROLAT_OK) << ProLatLastError();
  double longitude = -106.7583333, latitude = 35.120096;
  EXPECT_EQ(Move(longitude, latitude), PROLAT_OK);
}

}  // namespace
