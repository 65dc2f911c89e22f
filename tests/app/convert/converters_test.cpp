// The converters as the loader and Create run them: the real todos and lx2dxf
// beside this test program, started through RunAndWait.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include "app/convert/create.h"
#include "app/convert/open_file.h"
#include "app/services.h"
#include "core/lx_file.h"
#include "fixtures/synthetic_township.h"
#include "process/program_folder.h"
#include "process/run_and_wait.h"
#include "process/system_converters.h"
#include "tests/process/stdin_pipe.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string WithLfOnly(std::string text) {
  std::erase(text, '\r');
  return text;
}

// Every name is one quoted argument; a name that starts with a dash is no option.
TEST(ConverterCommandLineTest, EveryNameIsOneArgument) {
  EXPECT_EQ(TodosCommandLine("/opt/korvexa/bin", "t12n.lx"), "\"/opt/korvexa/bin/todos\" \"t12n.lx\"");
  EXPECT_EQ(TodosCommandLine("/opt/my tools", "my town.lx"), "\"/opt/my tools/todos\" \"my town.lx\"");
  EXPECT_EQ(TodosCommandLine("/opt/korvexa/bin", "-l log.lx"), "\"/opt/korvexa/bin/todos\" \"./-l log.lx\"");
  EXPECT_EQ(TodosCommandLine("/opt/korvexa/bin", ""), "\"/opt/korvexa/bin/todos\"");
  EXPECT_EQ(Lx2dxfCommandLine("T12N3E.LX", ".T12N3E.dxf.x1"),
            "lx2dxf \"T12N3E.LX\" --output \".T12N3E.dxf.x1\" --parent " + std::to_string(::getpid()));
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

// A name reaches todos whole: its words are no other files and no options.
TEST_F(ConvertersTest, ANameWithBlanksOrADashReachesTodosAsOneFile) {
  for (const char* name : {"my", "town.lx", "my town.lx", "-l log.lx", "log.lx"}) {
    testing::WriteBytes(work_ / name, "a\nb\n");
  }
  converters_.ConvertLineEnds("my town.lx");
  converters_.ConvertLineEnds("-l log.lx");
  for (const char* untouched : {"my", "town.lx", "log.lx"}) EXPECT_EQ(testing::ReadBytes(work_ / untouched), "a\nb\n");
  EXPECT_EQ(testing::ReadBytes(work_ / "my town.lx"), "a\r\nb\r\n");
  EXPECT_EQ(testing::ReadBytes(work_ / "-l log.lx"), "a\r\nb\r\n");
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

TEST_F(ConvertersTest, TodosInAFolderWithBlanksIsFound) {
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

class CreateWithConvertersTest : public ConvertersTest {
 protected:
  CreateResult Create(bool drawing, const std::string& fName = "t12n.lx") {
    if (!std::filesystem::exists(work_ / fName)) testing::WriteBytes(work_ / fName, testing::SyntheticLxText(1));
    PointList points = MakePointList(LoadLxFile(work_ / fName));
    if (!points.empty()) points.front().ticked = true;
    Services services = testing::FakeServices();
    services.converters = std::make_unique<SystemConverters>();
    return RunCreate(fName, points, {OutputKind::Pcx5, false, drawing}, services);
  }
};

TEST_F(CreateWithConvertersTest, TheDrawingTakesItsNameBesideTheWaypointFile) {
  const CreateResult result = Create(true);
  EXPECT_EQ(result.status, "Files created; the waypoints' positions are NAD27, which a GPS reads as WGS 84.");
  EXPECT_THAT(result.notices, IsEmpty());
  EXPECT_EQ(testing::ListFolder(work_.path()), "t12n.dxf t12n.grm t12n.lx");
  EXPECT_THAT(testing::ReadBytes(work_ / "t12n.dxf"), ::testing::StartsWith("  0\r\nSECTION\r\n"));
}

TEST_F(CreateWithConvertersTest, WithoutTheDrawingNoProgramRuns) {
  const CreateResult result = Create(false);
  EXPECT_EQ(result.status, "File created; its positions are NAD27, which a GPS reads as WGS 84.");
  EXPECT_EQ(testing::ListFolder(work_.path()), "t12n.grm t12n.lx");
}

// Nothing usable: neither the waypoint file nor the drawing is touched, and
// the converter never starts.
TEST_F(CreateWithConvertersTest, NothingUsableWritesNothingAndLeavesTheEarlierFiles) {
  testing::WriteBytes(work_ / "empty.lx", "h1\r\nh2\r\n 999999\r\n 100100\r\n");
  testing::WriteBytes(work_ / "empty.dxf", "an earlier drawing");
  testing::WriteBytes(work_ / "empty.grm", "earlier waypoints");
  EXPECT_THAT([&] { Create(true, "empty.lx"); },
              ::testing::ThrowsMessage<NothingToWrite>(::testing::StrEq(kNoUsableCorner)));
  EXPECT_EQ(testing::ListFolder(work_.path()), "empty.dxf empty.grm empty.lx");
  EXPECT_EQ(testing::ReadBytes(work_ / "empty.dxf"), "an earlier drawing");
  EXPECT_EQ(testing::ReadBytes(work_ / "empty.grm"), "earlier waypoints");
}

// A drawing name that links into another folder: lx2dxf draws into the
// temporary file made there, and the drawing replaces what the link points to.
TEST_F(CreateWithConvertersTest, ADrawingThroughALinkReplacesWhatItPointsTo) {
  std::filesystem::create_directory(work_ / "other");
  testing::WriteBytes(work_ / "other" / "target.dxf", "an earlier drawing");
  std::filesystem::create_symlink("other/target.dxf", work_ / "t12n.dxf");
  const CreateResult result = Create(true);
  EXPECT_THAT(result.notices, IsEmpty());
  EXPECT_TRUE(std::filesystem::is_symlink(work_ / "t12n.dxf"));
  EXPECT_THAT(testing::ReadBytes(work_ / "other" / "target.dxf"), ::testing::StartsWith("  0\r\nSECTION\r\n"));
  EXPECT_EQ(testing::ListFolder(work_.path()), "other t12n.dxf t12n.grm t12n.lx");
  EXPECT_EQ(testing::ListFolder(work_ / "other"), "target.dxf");
}

}  // namespace
}  // namespace korvexa
