// The adapter between the conversion core and the prolat library: reference
// stations through DecodeLxPoint, whole files and the errors the user sees.
#include "transform/datum_adapter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <regex>
#include <sstream>

#include "app/convert/create.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
#include "tests/support/records.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "transform/prolat.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using testing::kDecember6;
constexpr const char* kAlbuquerque = " 100100 350712.3456 1064530.0000     1000";  // 35.120096 N 106.7583333 W
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
  ProLatDatumLibrary library;
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
  ProLatDatumLibrary library;
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

TEST(DatumAdapterTest, TheNgsStationsFileMatchesItsGoldenFile) {
  ProLatDatumLibrary library;
  const auto transform = library.DefineDatumPair();
  PointList points = MakePointList(LoadLxFile(testing::TestData("ngs.lx")));
  ASSERT_EQ(points.size(), 5u);
  for (PointEntry& entry : points) entry.ticked = true;
  testing::TempFolder folder;
  // The stations lie across the country, not in one township: each is moved alone.
  WritePcx5File(folder / "ngs.grm", testing::DecodedWaypoints(points, kPcx5ElevationColumn, transform.get()),
                FrozenClock(kDecember6));
  EXPECT_TRUE(testing::MatchesGolden(testing::ReadBytes(folder / "ngs.grm"), testing::TestData("ngs~pcx5-nad83.grm")));
}

// The "lat lon" pairs of a GPX file's waypoints and of its bounds line.
std::vector<std::string> GpxPositions(const std::string& text, std::string* bounds) {
  const std::regex waypoint("<wpt lat=\"([^\"]*)\" lon=\"([^\"]*)\">");
  std::vector<std::string> positions;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), waypoint); it != std::sregex_iterator(); ++it) {
    positions.push_back((*it)[1].str() + " " + (*it)[2].str());
  }
  std::smatch match;
  const std::regex box("<bounds minlat=\"([^\"]*)\" minlon=\"([^\"]*)\" maxlat=\"([^\"]*)\" maxlon=\"([^\"]*)\"");
  if (std::regex_search(text, match, box))
    *bounds = match[1].str() + " " + match[2].str() + " " + match[3].str() + " " + match[4].str();
  return positions;
}

// The GPX file writes the same NAD83 positions as the PCX5 file, and its box
// is made of exactly those values.
TEST(DatumAdapterTest, TheGpxFileOfTheNgsStationsAgreesWithThePcx5File) {
  ProLatDatumLibrary library;
  const auto transform = library.DefineDatumPair();
  PointList points = MakePointList(LoadLxFile(testing::TestData("ngs.lx")));
  for (PointEntry& entry : points) entry.ticked = true;
  testing::TempFolder folder;
  WriteGpxFile(folder / "ngs.gpx", testing::DecodedWaypoints(points, kGpxElevationColumn, transform.get()),
               FrozenClock(kDecember6));
  const std::string gpx = testing::ReadBytes(folder / "ngs.gpx");
  EXPECT_TRUE(testing::MatchesGolden(gpx, testing::TestData("ngs~gpx-nad83.gpx")));

  const std::string pcx5 = testing::ReadBytes(testing::TestData("ngs~pcx5-nad83.grm"));
  const std::regex pcx5Position(" N([0-9.]+) +W([0-9.]+) ");
  std::vector<std::string> expected;
  for (auto it = std::sregex_iterator(pcx5.begin(), pcx5.end(), pcx5Position); it != std::sregex_iterator(); ++it) {
    expected.push_back((*it)[1].str() + " -" + (*it)[2].str());
  }
  std::string bounds;
  EXPECT_EQ(GpxPositions(gpx, &bounds), expected);
  // Stations sorted by PointID: CF0273 is southernmost, KG0640 easternmost,
  // TT6714 northernmost and westernmost.
  const auto field = [&](std::size_t station, int part) {
    std::istringstream in(expected.at(station));
    std::string latitude, longitude;
    in >> latitude >> longitude;
    return part == 0 ? latitude : longitude;
  };
  EXPECT_EQ(bounds, field(0, 0) + " " + field(4, 1) + " " + field(4, 0) + " " + field(1, 1));
}

// The receiver's NAD83 position goes back onto the NAD27 map by the inverse
// shift: a round trip ends where it began.
TEST(DatumAdapterTest, TheInverseShiftUndoesTheShift) {
  const std::unique_ptr<CoordinateTransform> transform = ProLatDatumLibrary().DefineDatumPair();
  for (const auto& [longitude, latitude] : {std::pair(-106.7583333, 35.120096), std::pair(-147.7190683, 64.8434322)}) {
    double x = longitude, y = latitude;
    transform->TransformPoint(x, y);
    EXPECT_GT(std::hypot(x - longitude, y - latitude), 1e-4) << "no shift";
    transform->InverseTransformPoint(x, y);
    EXPECT_NEAR(x, longitude, 1e-9);
    EXPECT_NEAR(y, latitude, 1e-9);
  }
}

// Without any grid the Create stops before a point is moved, saying what to
// install.
TEST(DatumAdapterTest, MissingGridsStopTheDefinition) {
  testing::TempFolder empty;
  ASSERT_EQ(ProLatSetFallbackPath(empty.path().c_str()), PROLAT_OK);
  EXPECT_THAT([] { ProLatDatumLibrary().DefineDatumPair(); },
              ::testing::ThrowsMessage<KorvexaError>(::testing::StartsWith(
                  "cannot move points from NAD27 to NAD83: the NADCON grids us_noaa_conus.tif (the conterminous "
                  "United States) and us_noaa_alaska.tif (Alaska) are not installed")));
  ASSERT_EQ(ProLatSetFallbackPath(KORVEXA_SHIPPED_GRIDS), PROLAT_OK);
}

TEST(DatumAdapterTest, APointOutsideTheGridsStopsTheRealCreate) {
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  services.datum = std::make_unique<ProLatDatumLibrary>();
  testing::TempFolder folder;
  const PointList points = {{" HI0001 210000.0000 1570000.0000", true}, {" HI0002 210100.0000 1570000.0000", true}};
  EXPECT_THAT(
      [&] {
        const testing::WorkingFolder working(folder.path());
        RunCreate("t12n.lx", points, {OutputKind::Pcx5, true, false}, services);
      },
      ::testing::ThrowsMessage<KorvexaError>(
          HasSubstr("point HI0001 at 21.0000000 N 157.0000000 W lies outside the NAD27 to NAD83 grids")));
  EXPECT_EQ(testing::ListFolder(folder.path()), "");
}

TEST(DatumAdapterTest, TenCreatesInARowWriteTheSameFile) {
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  services.datum = std::make_unique<ProLatDatumLibrary>();
  testing::TempFolder folder;
  const testing::WorkingFolder working(folder.path());
  std::string first;
  for (int create = 0; create < 10; ++create) {
    RunCreate("t12n.lx", {{kAlbuquerque, true}}, {OutputKind::Pcx5, true, false}, services);
    const std::string text = testing::ReadBytes(folder / "t12n.grm");
    if (create == 0) first = text;
    EXPECT_EQ(text, first) << "create " << create;
  }
  EXPECT_THAT(first, HasSubstr("N35.1201408 W106.758917 "));
}

TEST(DatumAdapterTest, PositionTextNamesTheHemispheres) {
  EXPECT_EQ(PositionText(-106.7583333, 35.120096), "35.1200960 N 106.7583333 W");
  EXPECT_EQ(PositionText(172.9, -0.5), "0.5000000 S 172.9000000 E");
  EXPECT_EQ(PositionText(0, 0), "0.0000000 N 0.0000000 W");
}

}  // namespace
}  // namespace korvexa
