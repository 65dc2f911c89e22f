#include "create.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "korvexa_error.h"
#include "services.h"
#include "temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr ClockReading kNoon = {{2026, 12, 6, 12, 0, 0}, {2026, 12, 6, 19, 0, 0}};

// Records what the run asked of the outside world, in order.
struct Journal {
  std::vector<std::string> calls;
};

class FakeTransform : public CoordinateTransform {
 public:
  void TransformPoint(double&, double&) const override {}
};

class FakeDatum : public DatumLibrary {
 public:
  explicit FakeDatum(Journal& journal) : journal_(journal) {}
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override {
    journal_.calls.push_back("define datum pair");
    return std::make_unique<FakeTransform>();
  }

 private:
  Journal& journal_;
};

class FakeConverters : public Converters {
 public:
  FakeConverters(Journal& journal, std::function<void()> onDraw) : journal_(journal), onDraw_(std::move(onDraw)) {}
  void ConvertLineEnds(const std::string& title) override { journal_.calls.push_back("todos " + title); }
  void DrawTownship(const std::string& title) override {
    journal_.calls.push_back("lx2dxf " + title);
    if (onDraw_) onDraw_();
  }

 private:
  Journal& journal_;
  std::function<void()> onDraw_;
};

class CreateTest : public ::testing::Test {
 protected:
  Services MakeServices(std::function<void()> onDraw = {}) {
    Services services;
    services.clock = std::make_unique<FrozenClock>(kNoon);
    services.datum = std::make_unique<FakeDatum>(journal_);
    services.converters = std::make_unique<FakeConverters>(journal_, std::move(onDraw));
    return services;
  }
  CreateResult Create(const std::string& fName, const CreateOptions& options, Services& services) {
    return RunCreate(fName, folder_.path(), points_, options, services);
  }

  Journal journal_;
  testing::TempFolder folder_;
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
  Services services = MakeServices([&] {
    EXPECT_FALSE(std::filesystem::exists(folder_ / "t12n.grm")) << "written before the drawing";
  });
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

TEST_F(CreateTest, AMissingServiceIsAClearErrorBeforeAnythingRuns) {
  Services services = MakeServices();
  services.converters.reset();
  try {
    Create("t12n.lx", {OutputKind::Pcx5, true, true}, services);
    FAIL() << "no error";
  } catch (const KorvexaError& error) {
    EXPECT_THAT(error.what(), HasSubstr("DXF drawing is not available"));
  }
  EXPECT_TRUE(journal_.calls.empty()) << "the datum was defined although the run could not finish";
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
