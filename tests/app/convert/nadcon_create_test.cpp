// Create and the PCX5 and GPX files with the real NADCON shift: the NGS
// stations against their golden files, a point outside the grids, and the
// same file from ten Creates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "app/convert/create.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "tests/support/decoded_waypoints.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
#include "tests/support/records.h"
#include "tests/support/temp_folder.h"
#include "transform/datum_shift.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;

using testing::kDecember6;
constexpr const char* kAlbuquerque = " 100100 350712.3456 1064530.0000     1000";  // 35.120096 N 106.7583333 W

TEST(NadconCreateTest, TheNgsStationsFileMatchesItsGoldenFile) {
  NadconLibrary library;
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
TEST(NadconCreateTest, TheGpxFileOfTheNgsStationsAgreesWithThePcx5File) {
  NadconLibrary library;
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

TEST(NadconCreateTest, APointOutsideTheGridsStopsTheRealCreate) {
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  services.datum = std::make_unique<NadconLibrary>();
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

TEST(NadconCreateTest, TenCreatesInARowWriteTheSameFile) {
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  services.datum = std::make_unique<NadconLibrary>();
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

}  // namespace
}  // namespace korvexa
