#include "app/convert/create.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "app/convert/township_drawing.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Runs in a fresh working folder, as after File > Open.
class CreateTest : public ::testing::Test {
 protected:
  Services MakeServices(std::function<void()> onDraw = {}) {
    journal_.onDrawTownship = std::move(onDraw);
    return testing::FakeServices(&journal_);
  }
  CreateResult Create(const std::string& fName, const CreateOptions& options, Services& services) {
    return RunCreate(fName, points_, options, services);
  }

  testing::Journal journal_;
  testing::TempFolder folder_;
  testing::WorkingFolder working_{folder_.path()};
  PointList points_ = {{" 100100 350712.3456 1064530.0000     1000", true},
                       {" 100200 350812.3456 1064530.0000     1000", false}};
};

TEST(OutputNameTest, CutsExactlyThreeCharacters) {
  EXPECT_EQ(OutputName("t12n.lx", OutputKind::Pcx5), "t12n.grm");
  EXPECT_EQ(OutputName("SURVEY.LX", OutputKind::Gpx), "SURVEY.gpx");
  EXPECT_EQ(OutputName("points.txt", OutputKind::Pcx5), "points..grm");
  EXPECT_EQ(OutputName("abcd", OutputKind::Pcx5), "a.grm");
  // The drawing follows the same rule, also without an extension of three.
  EXPECT_EQ(DrawingPath("noext"), "no.dxf");
  EXPECT_EQ(DrawingPath("dir/T12N3E.LX"), "dir/T12N3E.dxf");
}

// A title of three characters would name a hidden file, ".grm".
TEST(OutputNameTest, ATitleThatLeavesNoNameIsAnError) {
  EXPECT_THROW(OutputName("abc", OutputKind::Pcx5), KorvexaError);
  EXPECT_THROW(OutputName("ab", OutputKind::Pcx5), KorvexaError);
  EXPECT_THROW(OutputName("", OutputKind::Gpx), KorvexaError);
  EXPECT_THROW(DrawingPath("dir/abc"), KorvexaError);
}

TEST_F(CreateTest, DefinesTheDatumThenDrawsThenWrites) {
  Services services = MakeServices(
      [&] { EXPECT_FALSE(std::filesystem::exists(folder_ / "t12n.grm")) << "written before the drawing"; });
  const CreateResult result = Create("t12n.lx", {OutputKind::Pcx5, true, true}, services);
  EXPECT_THAT(journal_.calls, ElementsAre("define datum pair", "lx2dxf t12n.lx"));
  EXPECT_EQ(result.status, "Files created.");
  EXPECT_EQ(result.outputPath, folder_ / "t12n.grm");
  EXPECT_EQ(result.waypoints, 1u);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "t12n.grm"));
}

TEST_F(CreateTest, WithoutTheOptionsNothingElseRuns) {
  Services services = MakeServices();
  const CreateResult result = Create("t12n.lx", {OutputKind::Pcx5, false, false}, services);
  EXPECT_TRUE(journal_.calls.empty());
  EXPECT_EQ(result.status, "File created; its positions are NAD27, which a GPS reads as WGS 84.");
}

TEST_F(CreateTest, AShortTitleStopsBeforeAnythingRuns) {
  Services services = MakeServices();
  EXPECT_THROW(Create("ab", {OutputKind::Pcx5, true, true}, services), KorvexaError);
  EXPECT_TRUE(journal_.calls.empty());
  EXPECT_EQ(testing::ListFolder(folder_.path()), "");
}

TEST_F(CreateTest, AnUnwritableOutputKeepsTheOldFileAfterTheDrawing) {
  Services services = MakeServices();
  testing::WriteBytes(folder_ / "t12n.grm", "earlier run");
  ::chmod((folder_ / "t12n.grm").c_str(), 0444);
  EXPECT_THROW(Create("t12n.lx", {OutputKind::Pcx5, false, true}, services), KorvexaError);
  EXPECT_THAT(journal_.calls, ElementsAre("lx2dxf t12n.lx"));
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.grm"), "earlier run");
}

TEST_F(CreateTest, ASecondRunRewritesTheFile) {
  Services services = MakeServices();
  Create("t12n.lx", {OutputKind::Pcx5, false, false}, services);
  points_[1].ticked = true;
  Create("t12n.lx", {OutputKind::Pcx5, false, false}, services);
  const std::string text = testing::ReadBytes(folder_ / "t12n.grm");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
}

// ---- points without usable coordinates ----

struct LeftOutCase {
  const char* name;
  std::string record;
  const char* leftOutAs;  // "" when the point is written
  const char* reason;
};

void PrintTo(const LeftOutCase& c, std::ostream* out) {
  *out << c.name;
}

class LeftOutTest : public CreateTest, public ::testing::WithParamInterface<LeftOutCase> {};

// The other ticked points are written all the same, in either format.
TEST_P(LeftOutTest, APointWithoutUsableCoordinatesIsLeftOutAndNamed) {
  const LeftOutCase& c = GetParam();
  // An unticked neighbour gives the township its middle whatever `c.record` holds.
  points_ = {{" 100100 350712.3456 1064530.0000     1000", true},
             {" 100200 350812.3456 1064530.0000     1000", false},
             {c.record, true}};
  Services services = MakeServices();
  for (const OutputKind kind : {OutputKind::Pcx5, OutputKind::Gpx}) {
    const CreateResult result = Create("t12n.lx", {kind, false, false}, services);
    if (*c.leftOutAs == '\0') {
      EXPECT_EQ(result.waypoints, 2u);
      EXPECT_THAT(result.leftOut, ::testing::IsEmpty());
      EXPECT_EQ(result.status, "File created; its positions are NAD27, which a GPS reads as WGS 84.");
      continue;
    }
    EXPECT_EQ(result.waypoints, 1u);
    ASSERT_EQ(result.leftOut.size(), 1u);
    EXPECT_EQ(result.leftOut[0].name, c.leftOutAs);
    EXPECT_THAT(result.leftOut[0].reason, HasSubstr(c.reason));
    EXPECT_EQ(result.status, "File created; its positions are NAD27, which a GPS reads as WGS 84. 1 point left out.");
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_THAT(
        result.notices[0].text,
        HasSubstr("1 ticked point without usable coordinates was left out: " + std::string(c.leftOutAs) + " ("));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, LeftOutTest,
    ::testing::Values(LeftOutCase{"EmptyLine", "", "an empty line", "no coordinates"},
                      LeftOutCase{"BlankCoordinates", " 400400", "400400", "no coordinates"},
                      LeftOutCase{"ZeroCoordinates", " 400401 000000.0000 0000000.0000     1000", "400401",
                                  "no coordinates"},
                      LeftOutCase{"BlankPointId", "        350000.0000 1060000.0000  1D23", "a point without PointID",
                                  "beyond any place on Earth"},
                      LeftOutCase{"LatitudeBeyond90", " 400402 990000.0000 1060000.0000     1000", "400402",
                                  "latitude 99 beyond 90 degrees"},
                      LeftOutCase{"LongitudeBeyond360", " 400403 350000.0000 4000000.0000     1000", "400403",
                                  "longitude 400 W beyond 360 degrees"},
                      LeftOutCase{"CoordinateBeyondADouble", " 400404 00001E999", "400404", "out of range"},
                      LeftOutCase{"ElevationBeyondEverest", " 400405 350000.0000 1060000.0000    29600", "400405",
                                  "elevation 9022 m beyond any place on Earth"},
                      LeftOutCase{"ElevationBelowTheDeadSea", " 400406 350000.0000 1060000.0000    -1700", "400406",
                                  "elevation -518 m"},
                      LeftOutCase{"EverestIsWritten", " 400407 350000.0000 1060000.0000    29030", "", ""},
                      LeftOutCase{"NoLongitude", " 400408 350712.3456", "400408", "no longitude"},
                      LeftOutCase{"NoLatitude", " 400409            1064530.0000     1000", "400409", "no latitude"},
                      LeftOutCase{"FarFromTheTownship", " 400410 350712.3456 1874530.0000     1000", "400410",
                                  "lies more than 3 degrees from the middle of the township"}),
    [](const auto& info) { return std::string(info.param.name); });

// The files a user gets from the test township: 300500 has no longitude,
// 400400 no coordinates and 700700 stands far south of the others (and 12 km
// high); the rest is as the writers write it.
TEST_F(CreateTest, TheTestTownshipWritesItsUsablePoints) {
  points_ = MakePointList(LoadLxFile(testing::TestData("t12n.lx")));
  for (PointEntry& entry : points_) entry.ticked = true;
  Services services = MakeServices();
  for (const auto& [kind, golden] :
       {std::pair(OutputKind::Pcx5, "t12n~create-pcx5.grm"), std::pair(OutputKind::Gpx, "t12n~create-gpx.gpx")}) {
    const CreateResult result = Create("t12n.lx", {kind, false, false}, services);
    EXPECT_TRUE(testing::MatchesGolden(testing::ReadBytes(result.outputPath), testing::TestData(golden)));
    ASSERT_EQ(result.leftOut.size(), 3u);
    EXPECT_EQ(result.leftOut[0].name + " " + result.leftOut[1].name + " " + result.leftOut[2].name,
              "300500 400400 700700");
  }
}

// ---- the drawing ----

TEST_F(CreateTest, AFailedDrawingLeavesTheOldOneAndStillWritesTheWaypointFile) {
  testing::WriteBytes(folder_ / "t12n.dxf", "an earlier drawing");
  journal_.drawing = {false, "\"t12n.lx\" holds no points to draw"};
  Services services = MakeServices();
  const CreateResult result = Create("t12n.lx", {OutputKind::Gpx, false, true}, services);
  EXPECT_EQ(result.status, "File created; the drawing was not; its positions are NAD27, which a GPS reads as WGS 84.");
  ASSERT_EQ(result.notices.size(), 1u);
  EXPECT_TRUE(result.notices[0].error);
  EXPECT_EQ(result.notices[0].text, "the drawing t12n.dxf was not made: \"t12n.lx\" holds no points to draw");
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.dxf"), "an earlier drawing");
  EXPECT_EQ(testing::ListFolder(folder_.path()), "t12n.dxf t12n.gpx");
}

// A Create that fails after the drawing was made writes nothing at all.
TEST_F(CreateTest, AFailureAfterTheDrawingWritesNothing) {
  testing::WriteBytes(folder_ / "t12n.dxf", "an earlier drawing");
  std::filesystem::create_directory(folder_ / "t12n.gpx");  // the waypoint file cannot be written
  Services services = MakeServices();
  EXPECT_THROW(Create("t12n.lx", {OutputKind::Gpx, true, true}, services), KorvexaError);
  EXPECT_THAT(journal_.calls, ElementsAre("define datum pair", "lx2dxf t12n.lx"));
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.dxf"), "an earlier drawing");
  EXPECT_EQ(testing::ListFolder(folder_.path()), "t12n.dxf t12n.gpx");
}

TEST_F(CreateTest, TheDrawingsWarningsAreNotices) {
  journal_.drawing = {true, "point 400400 left out: no coordinates\npoint 700700 left out: no coordinates"};
  Services services = MakeServices();
  const CreateResult result = Create("t12n.lx", {OutputKind::Gpx, false, true}, services);
  EXPECT_EQ(result.status, "Files created; the waypoints' positions are NAD27, which a GPS reads as WGS 84.");
  const std::vector<CreateNotice> notices = result.notices;
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_FALSE(notices[0].error);
  EXPECT_EQ(notices[1].text, "the drawing t12n.dxf: point 700700 left out: no coordinates");
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.dxf"), "drawing of t12n.lx");
}

}  // namespace
}  // namespace korvexa
