#include "app/create.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "app/services.h"
#include "core/korvexa_error.h"
#include "tests/support/fake_services.h"
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
  PointList points_ = {{" 100100 350712.3456 1064530.0000     1000", true}, {" 100200", false}};
};

TEST(OutputNameTest, CutsExactlyThreeCharacters) {
  EXPECT_EQ(OutputName("t12n.lx", OutputKind::Pcx5), "t12n.grm");
  EXPECT_EQ(OutputName("SURVEY.LX", OutputKind::Gpx), "SURVEY.gpx");
  EXPECT_EQ(OutputName("points.txt", OutputKind::Pcx5), "points..grm");
  EXPECT_EQ(OutputName("abc", OutputKind::Pcx5), ".grm");
}

TEST(OutputNameTest, ATitleUnderThreeCharactersIsAnError) {
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

}  // namespace
}  // namespace korvexa
