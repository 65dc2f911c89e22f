// The adapter between the conversion core and the prolat library: reference
// stations through DecodeLxPoint, whole files, the calls the program makes
// and the errors the user sees.
#include "transform/datum_adapter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <regex>
#include <sstream>

#include "app/create.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
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
  WritePcx5File(folder / "ngs.grm", TickedRecords(points), transform.get(), FrozenClock(kDecember6));
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

// The GPX file writes the same NAD83 positions as the PCX5 file (the two
// decoding passes agree), and its box is made of exactly those values.
TEST(DatumAdapterTest, TheGpxFileOfTheNgsStationsAgreesWithThePcx5File) {
  ProLatDatumLibrary library;
  const auto transform = library.DefineDatumPair();
  PointList points = MakePointList(LoadLxFile(testing::TestData("ngs.lx")));
  for (PointEntry& entry : points) entry.ticked = true;
  testing::TempFolder folder;
  WriteGpxFile(folder / "ngs.gpx", TickedRecords(points), transform.get(), FrozenClock(kDecember6));
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

// A library that records every call and moves points by a fixed amount.
class FakeProLat : public ProLatLibrary {
 public:
  struct Call {
    int32_t src, dst;
    double x, y, z;
    int32_t count;
  };
  int32_t DefineLatLong(const char* datum) override {
    defined.push_back(datum);
    return datum == std::string("NAD27") ? 27 : 83;
  }
  int32_t PrepareTransform(int32_t, int32_t) override { return prepareStatus; }
  int32_t Transform(int32_t src, int32_t dst, double* x, double* y, double* z, int32_t count) override {
    calls.push_back({src, dst, *x, *y, *z, count});
    *z = 99;  // left behind for the next call to ignore
    if (status != PROLAT_OK) return status;
    *x = (*x - 0.0005) * (eastPositive ? -1 : 1);
    *y = resultLatitude.value_or(*y + 0.0001);
    return PROLAT_OK;
  }
  const char* StrErr(int32_t) override { return "fixed text"; }
  const char* LastError() override { return lastError.c_str(); }

  std::vector<std::string> defined;
  std::vector<Call> calls;
  int32_t prepareStatus = PROLAT_OK;
  int32_t status = PROLAT_OK;
  bool eastPositive = false;
  std::optional<double> resultLatitude;
  std::string lastError;
};

class FakeLibraryTest : public ::testing::Test {
 protected:
  CreateResult Create(const PointList& points, OutputKind kind = OutputKind::Pcx5) {
    Services services;
    services.clock = std::make_unique<FrozenClock>(kDecember6);
    services.datum = std::make_unique<ProLatDatumLibrary>(fake_);
    const testing::WorkingFolder working(folder_.path());
    return RunCreate("t12n.lx", points, {kind, true, false}, services);
  }
  std::string DecodeError() {
    try {
      DecodeLxPoint(kAlbuquerque, ProLatDatumLibrary(fake_).DefineDatumPair().get());
    } catch (const KorvexaError& error) {
      return error.what();
    }
    return "no error";
  }
  std::shared_ptr<FakeProLat> fake_ = std::make_shared<FakeProLat>();
  testing::TempFolder folder_;
};

TEST_F(FakeLibraryTest, AnEmptySelectionDefinesBothSystemsAndTransformsNothing) {
  Create({{kAlbuquerque, false}});
  EXPECT_THAT(fake_->defined, ElementsAre("NAD27", "NAD83"));
  EXPECT_TRUE(fake_->calls.empty());
}

TEST_F(FakeLibraryTest, EachTickedPointIsOneCallWithWestNegativeAndZeroHeight) {
  Create({{" 100100 350000.0000 1060000.0000", true},
          {" 100200 360000.0000 1070000.0000", false},
          {" 100300 370000.0000 1080000.0000", true},
          {" 100400 380000.0000 1090000.0000", true}});
  ASSERT_EQ(fake_->calls.size(), 3u);
  const double longitudes[] = {-106, -108, -109};
  for (std::size_t i = 0; i < 3; ++i) {
    const FakeProLat::Call& call = fake_->calls[i];
    EXPECT_EQ(call.src, 27);
    EXPECT_EQ(call.dst, 83);
    EXPECT_EQ(call.x, longitudes[i]);
    EXPECT_EQ(call.z, 0);
    EXPECT_EQ(call.count, 1);
  }
}

TEST_F(FakeLibraryTest, TheGpxFileTransformsEveryPointInBothPassesInListOrder) {
  Create({{" 100100 350000.0000 1060000.0000", true},
          {" 100200 360000.0000 1070000.0000", false},
          {" 100300 370000.0000 1080000.0000", true},
          {" 100400 380000.0000 1090000.0000", true}},
         OutputKind::Gpx);
  std::vector<double> longitudes;
  for (const FakeProLat::Call& call : fake_->calls) {
    longitudes.push_back(call.x);
    EXPECT_EQ(call.z, 0);
    EXPECT_EQ(call.count, 1);
  }
  EXPECT_THAT(longitudes, ElementsAre(-106, -108, -109, -106, -108, -109));
  EXPECT_THAT(fake_->defined, ElementsAre("NAD27", "NAD83"));
}

TEST_F(FakeLibraryTest, EitherSignOfTheReturnedLongitudeGivesTheSameFile) {
  const PointList points = {{kAlbuquerque, true}};
  for (OutputKind kind : {OutputKind::Pcx5, OutputKind::Gpx}) {
    fake_->eastPositive = false;
    const std::filesystem::path output = Create(points, kind).outputPath;
    const std::string westNegative = testing::ReadBytes(output);
    fake_->eastPositive = true;
    Create(points, kind);
    EXPECT_EQ(testing::ReadBytes(output), westNegative);
    EXPECT_THAT(westNegative, HasSubstr(kind == OutputKind::Pcx5 ? "N35.120196  W106.7588333 "
                                                                 : "lat=\"35.120196\" lon=\"-106.7588333\""));
  }
}

struct FailureCase {
  const char* name;
  int32_t status;
  std::optional<double> resultLatitude;
  const char* message;  // after "point 100100 at 35.1200960 N 106.7583333 W "
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
  *out << failure.name;
}

class FakeFailureTest : public FakeLibraryTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FakeFailureTest, NamesThePointAndKeepsTheEarlierFile) {
  fake_->status = GetParam().status;
  fake_->resultLatitude = GetParam().resultLatitude;
  fake_->lastError = "the library's detail";
  EXPECT_EQ(DecodeError(), std::string("point 100100 at 35.1200960 N 106.7583333 W ") + GetParam().message);
  testing::WriteBytes(folder_ / "t12n.grm", "earlier run");
  EXPECT_THROW(Create({{kAlbuquerque, true}}), KorvexaError);
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.grm"), "earlier run");
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, FakeFailureTest,
    ::testing::Values(
        FailureCase{
            "Outside", PROLAT_ERR_OUTSIDE_GRIDS, {}, "lies outside the NAD27 to NAD83 grids (the library's detail)"},
        FailureCase{
            "GridMissing", PROLAT_ERR_GRID_MISSING, {}, "cannot be moved from NAD27 to NAD83: the library's detail"},
        FailureCase{
            "BadSystem", PROLAT_ERR_BAD_SYSTEM, {}, "cannot be moved from NAD27 to NAD83: the library's detail"},
        FailureCase{"SuccessWithInfinity", PROLAT_OK, HUGE_VAL,
                    "cannot be moved from NAD27 to NAD83: the transformation library returned no valid coordinates"},
        FailureCase{"SuccessWithNaN", PROLAT_OK, std::nan(""),
                    "cannot be moved from NAD27 to NAD83: the transformation library returned no valid coordinates"},
        FailureCase{"SuccessFarAway", PROLAT_OK, 36.0,
                    "cannot be moved from NAD27 to NAD83: the transformation library moved it by more than 0.01 "
                    "degree, which no NADCON shift does"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FakeLibraryTest, AFailedPreparationStopsTheCreateBeforeAnyPoint) {
  fake_->prepareStatus = PROLAT_ERR_GRID_MISSING;
  fake_->lastError = "the NADCON grid us_noaa_conus.tif is not installed";
  testing::WriteBytes(folder_ / "t12n.grm", "earlier run");
  try {
    Create({{kAlbuquerque, true}});
    FAIL() << "no error";
  } catch (const KorvexaError& error) {
    EXPECT_STREQ(error.what(),
                 "cannot move points from NAD27 to NAD83: the NADCON grid us_noaa_conus.tif is not installed");
  }
  EXPECT_TRUE(fake_->calls.empty());
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.grm"), "earlier run");
}

TEST(DatumAdapterTest, APointOutsideTheGridsStopsTheRealCreate) {
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  services.datum = std::make_unique<ProLatDatumLibrary>();
  testing::TempFolder folder;
  const PointList points = {{kAlbuquerque, true}, {" HI0001 210000.0000 1570000.0000", true}};
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
