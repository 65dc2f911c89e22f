// The converters as the loader and Create run them: the real todos and lx2dxf
// beside this test program, started through RunAndWait.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/create.h"
#include "app/open_file.h"
#include "app/services.h"
#include "core/lx_file.h"
#include "fixtures/synthetic_township.h"
#include "process/program_folder.h"
#include "process/run_and_wait.h"
#include "process/system_converters.h"
#include "tests/process/stdin_pipe.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string WithLfOnly(std::string text) {
  std::erase(text, '\r');
  return text;
}

TEST(ConverterCommandLineTest, ProgramBlankTitleAndNothingElse) {
  EXPECT_EQ(TodosCommandLine("/opt/korvexa/bin", "t12n.lx"), "/opt/korvexa/bin/todos t12n.lx");
  EXPECT_EQ(TodosCommandLine("/opt/my tools", "my town.lx"), "/opt/my tools/todos my town.lx");
  EXPECT_EQ(TodosCommandLine("/opt/korvexa/bin", ""), "/opt/korvexa/bin/todos ");
  EXPECT_EQ(Lx2dxfCommandLine("T12N3E.LX"), "lx2dxf T12N3E.LX");
  EXPECT_EQ(Lx2dxfCommandLine(""), "lx2dxf ");
}

// Runs in a fresh current folder, as after File > Open.
class ConvertersTest : public ::testing::Test {
 protected:
  testing::TempFolder work_;
  testing::WorkingFolder working_{work_.path()};
  SystemConverters converters_;
};

struct LineEndCase {
  const char* name;
  std::string before;
  std::string after;
};

void PrintTo(const LineEndCase& c, std::ostream* out) {
  *out << c.name;
}

class TodosTest : public ConvertersTest, public ::testing::WithParamInterface<LineEndCase> {};

TEST_P(TodosTest, RewritesTheFileInPlaceWithCrLf) {
  testing::WriteBytes(work_ / "t12n.lx", GetParam().before);
  converters_.ConvertLineEnds("t12n.lx");
  EXPECT_EQ(testing::ReadBytes(work_ / "t12n.lx"), GetParam().after);
  EXPECT_EQ(testing::ListFolder(work_.path()), "t12n.lx");
}

INSTANTIATE_TEST_SUITE_P(
    Files, TodosTest,
    ::testing::Values(LineEndCase{"LfOnly", "h1\nh2\n 100100 a\n", "h1\r\nh2\r\n 100100 a\r\n"},
                      LineEndCase{"CrLfUnchanged", "h1\r\nh2\r\n 100100 a\r\n", "h1\r\nh2\r\n 100100 a\r\n"},
                      LineEndCase{"Mixed", "h1\r\nh2\n 100100 a\r\n", "h1\r\nh2\r\n 100100 a\r\n"},
                      LineEndCase{"LastLineWithoutEnd", "h1\nh2", "h1\r\nh2"}, LineEndCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConvertersTest, ATitleWithBlanksReachesTodosAsSeveralArguments) {
  for (const char* name : {"my", "town.lx", "my town.lx"}) testing::WriteBytes(work_ / name, "a\nb\n");
  converters_.ConvertLineEnds("my town.lx");
  EXPECT_EQ(testing::ReadBytes(work_ / "my"), "a\r\nb\r\n");
  EXPECT_EQ(testing::ReadBytes(work_ / "town.lx"), "a\r\nb\r\n");
  EXPECT_EQ(testing::ReadBytes(work_ / "my town.lx"), "a\nb\n");
}

TEST_F(ConvertersTest, TodosEndsWithoutInputForAnEmptyOrMissingTitle) {
  testing::WriteBytes(work_ / "t12n.lx", "a\nb\n");
  const std::string callersInput = "input meant for the caller\n";
  testing::StdinPipe input(callersInput);
  for (const char* title : {"", "missing.lx"}) {
    EXPECT_TRUE(testing::EndsWithoutInput(input, [&] { converters_.ConvertLineEnds(title); }))
        << "todos waited for input with the title \"" << title << "\"";
  }
  EXPECT_EQ(input.Unread(), callersInput);
  EXPECT_EQ(testing::ListFolder(work_.path()), "t12n.lx");
  EXPECT_EQ(testing::ReadBytes(work_ / "t12n.lx"), "a\nb\n");
}

TEST_F(ConvertersTest, TodosInAFolderWithBlanksIsFoundWithoutQuotes) {
  const std::filesystem::path folder = work_ / "my tools";
  std::filesystem::create_directory(folder);
  std::filesystem::create_symlink(ProgramFolder() / "todos", folder / "todos");
  testing::WriteBytes(work_ / "t12n.lx", "a\nb\n");
  RunAndWait(TodosCommandLine(folder, "t12n.lx"), 0, "", 0, 0, 640, 320, 7);
  EXPECT_EQ(testing::ReadBytes(work_ / "t12n.lx"), "a\r\nb\r\n");
}

TEST_F(ConvertersTest, AnLfFileLoadsLikeItsCrLfTwinAndIsConverted) {
  const std::string crLf = testing::SyntheticLxText(1);
  testing::WriteBytes(work_ / "crlf.lx", crLf);
  testing::WriteBytes(work_ / "lf.lx", WithLfOnly(crLf));
  const LoadedFile twin = OpenLxFile(work_ / "crlf.lx", converters_);
  const LoadedFile lf = OpenLxFile(work_ / "lf.lx", converters_);
  EXPECT_EQ(lf.fName, "lf.lx");
  EXPECT_EQ(lf.lines.size(), testing::kCornersPerTownship);
  EXPECT_EQ(lf.lines, twin.lines);
  EXPECT_EQ(testing::ReadBytes(work_ / "lf.lx"), crLf);
  EXPECT_EQ(testing::ReadBytes(work_ / "crlf.lx"), crLf);
}

TEST_F(ConvertersTest, LoadingTwiceGivesTheSameList) {
  testing::WriteBytes(work_ / "t12n.lx", WithLfOnly(testing::SyntheticLxText(1)));
  const LoadedFile first = OpenLxFile(work_ / "t12n.lx", converters_);
  const std::string afterFirst = testing::ReadBytes(work_ / "t12n.lx");
  const LoadedFile second = OpenLxFile(work_ / "t12n.lx", converters_);
  EXPECT_EQ(second.lines, first.lines);
  EXPECT_EQ(testing::ReadBytes(work_ / "t12n.lx"), afterFirst);
}

// The system converters, recording each call and looking at the folder right
// after each drawing.
class WatchedConverters : public Converters {
 public:
  WatchedConverters(std::vector<std::string>& calls, std::function<void()> afterDrawing)
      : calls_(calls), afterDrawing_(std::move(afterDrawing)) {}
  void ConvertLineEnds(const std::string& title) override {
    calls_.push_back("todos " + title);
    real_.ConvertLineEnds(title);
  }
  void DrawTownship(const std::string& title) override {
    calls_.push_back("lx2dxf " + title);
    real_.DrawTownship(title);
    afterDrawing_();
  }

 private:
  SystemConverters real_;
  std::vector<std::string>& calls_;
  std::function<void()> afterDrawing_;
};

class CreateWithConvertersTest : public ConvertersTest {
 protected:
  CreateResult Create(
      bool drawing, std::function<void()> afterDrawing = [] {}) {
    testing::WriteBytes(work_ / "t12n.lx", testing::SyntheticLxText(1));
    PointList points = MakePointList(LoadLxFile(work_ / "t12n.lx"));
    points.front().ticked = true;
    Services services;
    services.clock = std::make_unique<FrozenClock>(ClockReading{});
    services.converters = std::make_unique<WatchedConverters>(calls_, std::move(afterDrawing));
    return RunCreate("t12n.lx", points, {OutputKind::Pcx5, false, drawing}, services);
  }
  std::vector<std::string> calls_;
};

TEST_F(CreateWithConvertersTest, DrawsBeforeWritingTheWaypointFile) {
  bool drawnFirst = false;
  const CreateResult result = Create(true, [&] {
    drawnFirst = std::filesystem::exists(work_ / "t12n.dxf") && !std::filesystem::exists(work_ / "t12n.grm");
  });
  EXPECT_THAT(calls_, ElementsAre("lx2dxf t12n.lx"));
  EXPECT_TRUE(drawnFirst) << "the drawing was not finished before the waypoint file";
  EXPECT_EQ(result.status, "Files created.");
  EXPECT_EQ(testing::ListFolder(work_.path()), "t12n.dxf t12n.grm t12n.lx");
}

TEST_F(CreateWithConvertersTest, WithoutTheDrawingNoProgramRuns) {
  const CreateResult result = Create(false);
  EXPECT_THAT(calls_, IsEmpty());
  EXPECT_EQ(result.status, "File created.");
  EXPECT_EQ(testing::ListFolder(work_.path()), "t12n.grm t12n.lx");
}

}  // namespace
}  // namespace korvexa
