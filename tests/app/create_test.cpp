#include "app/create.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"
#include "writers/in_order_blocks.h"

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
}

// A title of three characters would name a hidden file, ".grm".
TEST(OutputNameTest, ATitleThatLeavesNoNameIsAnError) {
  EXPECT_THROW(OutputName("abc", OutputKind::Pcx5), KorvexaError);
  EXPECT_THROW(OutputName("ab", OutputKind::Pcx5), KorvexaError);
  EXPECT_THROW(OutputName("", OutputKind::Gpx), KorvexaError);
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
  EXPECT_EQ(result.status, "File created.");
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
  points_ = {{" 100100 350712.3456 1064530.0000     1000", true}, {c.record, true}};
  Services services = MakeServices();
  for (const OutputKind kind : {OutputKind::Pcx5, OutputKind::Gpx}) {
    const CreateResult result = Create("t12n.lx", {kind, false, false}, services);
    if (*c.leftOutAs == '\0') {
      EXPECT_EQ(result.waypoints, 2u);
      EXPECT_THAT(result.leftOut, ::testing::IsEmpty());
      EXPECT_EQ(result.status, "File created.");
      continue;
    }
    EXPECT_EQ(result.waypoints, 1u);
    ASSERT_EQ(result.leftOut.size(), 1u);
    EXPECT_EQ(result.leftOut[0].name, c.leftOutAs);
    EXPECT_THAT(result.leftOut[0].reason, HasSubstr(c.reason));
    EXPECT_EQ(result.status, "File created. 1 point left out.");
    ASSERT_EQ(CreateNotices(result).size(), 1u);
    EXPECT_THAT(
        CreateNotices(result)[0].text,
        HasSubstr("1 ticked point without usable coordinates was left out: " + std::string(c.leftOutAs) + " ("));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, LeftOutTest,
    ::testing::Values(
        LeftOutCase{"EmptyLine", "", "an empty line", "no coordinates"},
        LeftOutCase{"BlankCoordinates", " 400400", "400400", "no coordinates"},
        LeftOutCase{"ZeroCoordinates", " 400401 000000.0000 0000000.0000     1000", "400401", "no coordinates"},
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
        LeftOutCase{"TheAleutiansPast180WAreWritten", " 400408 520000.0000 1873000.0000      100", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The files a user gets from the test township: 400400 has no coordinates and
// 700700 stands 12 km high; the rest is as the writers write it.
TEST_F(CreateTest, TheTestTownshipWritesItsUsablePoints) {
  points_ = MakePointList(LoadLxFile(testing::TestData("t12n.lx")));
  for (PointEntry& entry : points_) entry.ticked = true;
  Services services = MakeServices();
  for (const auto& [kind, golden] :
       {std::pair(OutputKind::Pcx5, "t12n~create-pcx5.grm"), std::pair(OutputKind::Gpx, "t12n~create-gpx.gpx")}) {
    const CreateResult result = Create("t12n.lx", {kind, false, false}, services);
    EXPECT_TRUE(testing::MatchesGolden(testing::ReadBytes(result.outputPath), testing::TestData(golden)));
    ASSERT_EQ(result.leftOut.size(), 2u);
    EXPECT_EQ(result.leftOut[0].name + " " + result.leftOut[1].name, "400400 700700");
  }
}

// A transformation any thread may use, which notes the threads that readied
// themselves for it.
class ThreadSafeDatum : public DatumLibrary {
 public:
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override { return std::make_unique<Shift>(this); }
  std::vector<std::thread::id> Prepared() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return prepared_;
  }

 private:
  class Shift : public CoordinateTransform {
   public:
    explicit Shift(ThreadSafeDatum* datum) : datum_(datum) {}
    void TransformPoint(double&, double& latitude) const override { latitude += 0.0001; }
    void InverseTransformPoint(double&, double&) const override {}
    bool ThreadSafe() const override { return true; }
    void PrepareThread() const override {
      const std::lock_guard<std::mutex> lock(datum_->mutex_);
      datum_->prepared_.push_back(std::this_thread::get_id());
    }

   private:
    ThreadSafeDatum* datum_;
  };

  std::mutex mutex_;
  std::vector<std::thread::id> prepared_;
};

// A long list is read on two threads; the helper readies itself for the
// transformation meanwhile, and the points left out keep their list order.
TEST_F(CreateTest, ALongListIsReadOnTwoThreadsInListOrder) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: Create runs on one thread";
  const LxLines lines = ParseLxText(testing::SyntheticLxText(120));
  ASSERT_GE(lines.size(), kTwoThreadsFrom);
  const std::size_t half = lines.size() / 2;
  const std::map<std::size_t, std::string> unusable = {
      {0, " 900001"}, {half - 1, " 900002"}, {half, " 900003"}, {lines.size() - 1, " 900004"}};
  points_ = {};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    points_.Add(unusable.count(i) > 0 ? std::string_view(unusable.at(i)) : lines[i], true);
  }
  Services services = MakeServices();
  auto datum = std::make_unique<ThreadSafeDatum>();
  ThreadSafeDatum& threadSafe = *datum;
  services.datum = std::move(datum);

  const CreateResult result = Create("t12n.lx", {OutputKind::Gpx, true, false}, services);
  EXPECT_EQ(result.waypoints, lines.size() - unusable.size());
  // Each half's waypoints, one after the other, nothing lost or repeated
  // where the halves meet.
  std::vector<std::string> expected, written;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (unusable.count(i) == 0) expected.push_back("<name>" + TrimmedPointId(lines[i]) + "</name>");
  }
  const std::string gpx = testing::ReadBytes(result.outputPath);
  for (std::size_t at = gpx.find("<name>"); at != std::string::npos; at = gpx.find("<name>", at + 1)) {
    written.push_back(gpx.substr(at, gpx.find("</name>", at) + 7 - at));
  }
  EXPECT_EQ(written, expected);
  std::string leftOut;
  for (const LeftOutPoint& point : result.leftOut) leftOut += point.name + " ";
  EXPECT_EQ(leftOut, "900001 900002 900003 900004 ");
  const std::vector<std::thread::id> prepared = threadSafe.Prepared();
  ASSERT_EQ(prepared.size(), 1u);
  EXPECT_NE(prepared[0], std::this_thread::get_id());
}

// ---- the drawing ----

TEST_F(CreateTest, AFailedDrawingLeavesTheOldOneAndStillWritesTheWaypointFile) {
  testing::WriteBytes(folder_ / "t12n.dxf", "an earlier drawing");
  journal_.drawing = {false, "\"t12n.lx\" holds no points to draw"};
  Services services = MakeServices();
  const CreateResult result = Create("t12n.lx", {OutputKind::Gpx, false, true}, services);
  EXPECT_EQ(result.status, "File created; the drawing was not.");
  ASSERT_EQ(CreateNotices(result).size(), 1u);
  EXPECT_TRUE(CreateNotices(result)[0].error);
  EXPECT_EQ(CreateNotices(result)[0].text, "the drawing t12n.dxf was not made: \"t12n.lx\" holds no points to draw");
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
  EXPECT_EQ(result.status, "Files created.");
  const std::vector<CreateNotice> notices = CreateNotices(result);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_FALSE(notices[0].error);
  EXPECT_EQ(notices[1].text, "the drawing t12n.dxf: point 700700 left out: no coordinates");
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.dxf"), "drawing of t12n.lx");
}

}  // namespace
}  // namespace korvexa
