// lx2dxf as Create runs it: a bare file title in the current folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>
#include <sstream>

#include "fixtures/synthetic_township.h"
#include "tests/support/golden.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using testing::LxLine;
using ::testing::Not;
using testing::RunCommand;
using testing::ShellQuoted;

// Three chains and a chain of one record; 100300 ends the first chain and
// starts the second. Reliabilities: 1, 1, 2, blank, blank, "a/b", 9.
std::string ChainsText(const std::string& lineEnd) {
  const std::vector<std::string> lines = {"GCDB chains",
                                          "POINTID LAT LON ELEV RELY LINECODES",
                                          LxLine("100100", 35.00, 106.50, 5000, "1", "  L1"),
                                          LxLine("100200", 35.01, 106.50, 5010, "1", "  L1"),
                                          "",  // skipped: the chain goes on
                                          LxLine("100300", 35.02, 106.50, 5020, "2", "  L1"),
                                          " 999999",
                                          LxLine("100300", 35.02, 106.50, 5020, "2", "  L2"),
                                          LxLine("200300", 35.02, 106.49, 5030, "", "  L2"),
                                          LxLine("300300", 35.02, 106.48, 5040, "", "  L2"),
                                          " 999999",
                                          LxLine("400100", 35.00, 106.47, 5050, "a/b", "  L3"),
                                          LxLine("400200", 35.01, 106.47, 5060, "a/b", "  L3"),
                                          " 999999",
                                          LxLine("500500", 35.03, 106.46, 5070, "9", "  L4")};
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

// The lines of dxf_check.py's report.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

double Number(std::string_view text) {
  double value = NAN;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

class Lx2dxfTest : public ::testing::Test {
 protected:
  testing::CommandOutput Draw(const std::string& arguments) {
    return RunCommand("cd " + ShellQuoted(folder_.path().string()) + " && " KORVEXA_LX2DXF " " + arguments +
                      " </dev/null");
  }
  // dxf_check.py's report on `drawing`, with the labels of `ids` located.
  std::vector<std::string> Check(const std::string& drawing, const std::string& ids = "") {
    const auto result =
        RunCommand("/usr/bin/python3 " KORVEXA_DXF_CHECK " " + ShellQuoted((folder_ / drawing).string()) + " " + ids);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    return Lines(result.out);
  }
  testing::TempFolder folder_;
};

TEST_F(Lx2dxfTest, ATownshipOpensInEzdxfWithEveryLinePointAndLabel) {
  testing::WriteBytes(folder_ / "t12n.lx", testing::SyntheticLxText(1));
  const auto result = Draw("t12n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out + result.err, "");
  // 13 east-west and 13 north-south chains of 13 corners each; 13 x 13 corners.
  EXPECT_THAT(Check("t12n.dxf"),
              IsSupersetOf({"version AC1009", "audit-errors 0", "layer LINES", "layer POINTS", "layer LABELS",
                            "entities LINES LINE 312", "entities POINTS POINT 169", "entities LABELS TEXT 169"}));
  EXPECT_EQ(testing::ListFolder(folder_.path()), "t12n.dxf t12n.lx");
}

TEST_F(Lx2dxfTest, ChainsEndAtSentinelsAndAtTheEndOfTheFile) {
  testing::WriteBytes(folder_ / "chains.lx", ChainsText("\r\n"));
  ASSERT_EQ(Draw("chains.lx").exitCode, 0);
  EXPECT_THAT(Check("chains.dxf"), IsSupersetOf({"audit-errors 0", "entities LINES LINE 5", "entities POINTS POINT 8",
                                                 "entities LABELS TEXT 8"}));
  EXPECT_TRUE(
      testing::MatchesGolden(testing::ReadBytes(folder_ / "chains.dxf"), testing::TestData("chains~lx2dxf.dxf")));
}

TEST_F(Lx2dxfTest, WithRTheLinesGoOnOneLayerPerReliability) {
  testing::WriteBytes(folder_ / "chains.lx", ChainsText("\r\n"));
  const auto result = Draw("chains.lx r");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> report = Check("chains.dxf");
  // A segment takes the poorer (larger) reliability of its two ends.
  EXPECT_THAT(report, IsSupersetOf({"audit-errors 0", "entities RELY_1 LINE 1", "entities RELY_2 LINE 2",
                                    "entities RELY_NONE LINE 1", "entities RELY_A_B LINE 1", "entities POINTS POINT 8",
                                    "entities LABELS TEXT 8"}));
  EXPECT_THAT(report, Not(Contains("layer LINES")));
  EXPECT_THAT(report, Not(Contains("layer RELY_9")));  // 500500 is on no line
}

class LineEndTest : public Lx2dxfTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LineEndTest, AnyLineEndGivesTheSameDrawing) {
  testing::WriteBytes(folder_ / "crlf.lx", ChainsText("\r\n"));
  testing::WriteBytes(folder_ / "other.lx", ChainsText(GetParam()));
  ASSERT_EQ(Draw("crlf.lx").exitCode, 0);
  ASSERT_EQ(Draw("other.lx").exitCode, 0);
  EXPECT_EQ(testing::ReadBytes(folder_ / "other.dxf"), testing::ReadBytes(folder_ / "crlf.dxf"));
}

INSTANTIATE_TEST_SUITE_P(Ends, LineEndTest, ::testing::Values("\n", "\r"),
                         [](const auto& info) { return std::string(info.param[0] == '\n' ? "Lf" : "Cr"); });

// The south-east corner 100100 of a synthetic township lies at whole
// minutes, so its NAD27 position is exact.
struct CornerCase {
  const char* name;
  double latitude;
  double westLongitude;
  const char* utmSystem;  // the zone of the township's mean longitude
};

void PrintTo(const CornerCase& c, std::ostream* out) {
  *out << c.name;
}

class CornerTest : public Lx2dxfTest, public ::testing::WithParamInterface<CornerCase> {};

TEST_P(CornerTest, TheCornerLiesWhereProjPutsItInTheTownshipsZone) {
  const CornerCase& c = GetParam();
  testing::WriteBytes(folder_ / "t.lx", testing::SyntheticLxText(1, {c.latitude, c.westLongitude}));
  ASSERT_EQ(Draw("t.lx").exitCode, 0);
  std::vector<std::string> at;
  for (const std::string& line : Check("t.dxf", "100100")) {
    if (line.starts_with("at ")) at.push_back(line);
  }
  ASSERT_EQ(at.size(), 1u);
  // The reference: PROJ's cs2cs (for 35 N 106.5 W, EPSG:26713 gives
  // 363113.9580 E 3873873.3929 N with PROJ 9.1.1).
  const auto reference = RunCommand("echo " + std::to_string(c.latitude) + " -" + std::to_string(c.westLongitude) +
                                    " | cs2cs -f %.4f EPSG:4267 " + c.utmSystem);
  ASSERT_EQ(reference.exitCode, 0) << reference.err;
  std::istringstream expected(reference.out), drawn(at[0]);
  std::string expectedEast, expectedNorth, word, id, east, north, point;
  expected >> expectedEast >> expectedNorth;
  drawn >> word >> id >> east >> north >> point;
  EXPECT_EQ(point, "point") << "the label does not stand at its point";
  EXPECT_NEAR(Number(east), Number(expectedEast), 0.001);
  EXPECT_NEAR(Number(north), Number(expectedNorth), 0.001);
}

INSTANTIATE_TEST_SUITE_P(Townships, CornerTest,
                         ::testing::Values(CornerCase{"NewMexicoZone13", 35.0, 106.5, "EPSG:26713"},
                                           CornerCase{"WisconsinZone16", 45.0, 89.9, "EPSG:26716"},
                                           CornerCase{"AlaskaZone6", 61.0, 149.9, "EPSG:26706"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  const char* arguments;
  int exitCode;
  const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

class FailureTest : public Lx2dxfTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void SetUp() override {
    const std::string township = testing::SyntheticLxText(1);
    testing::WriteBytes(folder_ / "t12n.lx", township);
    testing::WriteBytes(folder_ / "my town.lx", township);
    testing::WriteBytes(folder_ / "headers.lx", "GCDB\r\nPOINTID\r\n 999999\r\n");
    testing::WriteBytes(folder_ / "east.lx", testing::SyntheticLxText(1, {45.0, 40.0}));
    testing::WriteBytes(folder_ / "old.dxf", "an earlier drawing");
    std::filesystem::create_directory(folder_ / "folder.lx");
  }
};

TEST_P(FailureTest, SaysWhyAndWritesNothing) {
  const std::string before = testing::ListFolder(folder_.path());
  const auto result = Draw(GetParam().arguments);
  EXPECT_EQ(result.exitCode, GetParam().exitCode);
  EXPECT_THAT(result.err, ::testing::StartsWith("error: "));
  EXPECT_THAT(result.err, HasSubstr(GetParam().message));
  EXPECT_EQ(testing::ListFolder(folder_.path()), before);
  EXPECT_EQ(testing::ReadBytes(folder_ / "old.dxf"), "an earlier drawing");
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailureTest,
    ::testing::Values(FailureCase{"NoArgument", "", 2, "no .LX file given"},
                      FailureCase{"EmptyArgument", "''", 2, "no .LX file given"},
                      FailureCase{"MissingFile", "missing.lx", 1, "cannot read \"missing.lx\": No such file"},
                      FailureCase{"AFolder", "folder.lx", 1, "cannot read \"folder.lx\""},
                      FailureCase{"TitleWithBlanks", "my town.lx", 2, "unknown option \"town.lx\" after \"my\""},
                      FailureCase{"UnknownOption", "t12n.lx x", 2, "unknown option \"x\""},
                      FailureCase{"TooManyArguments", "t12n.lx r r", 2, "too many arguments"},
                      FailureCase{"NoPoints", "headers.lx", 1, "\"headers.lx\" holds no points to draw"},
                      FailureCase{"OutsideTheZones", "east.lx", 1, "lies outside the NAD27 UTM zones 1 to 22"},
                      FailureCase{"ADrawing", "old.dxf", 1, "\"old.dxf\" holds no points to draw"},
                      FailureCase{"OutputOverTheInput", "t12n.lx --output ./t12n.lx", 1,
                                  "the drawing would replace \"t12n.lx\" itself"},
                      FailureCase{"ParentNotANumber", "t12n.lx --parent 12x", 2, "--parent takes a process id"},
                      FailureCase{"OrphanedBeforeItStarts", "t12n.lx --parent 1", 1, "process 1, which started"}),
    [](const auto& info) { return std::string(info.param.name); });

// One bad point no longer throws the whole drawing away.
struct LeftOutCase {
  const char* name;
  std::string extra;  // after a township of 169 corners at 35 N 106.5 W
  const char* warning;
};

void PrintTo(const LeftOutCase& c, std::ostream* out) {
  *out << c.name;
}

class LeftOutTest : public Lx2dxfTest, public ::testing::WithParamInterface<LeftOutCase> {};

TEST_P(LeftOutTest, DrawsEverythingElseAndNamesThePoint) {
  testing::WriteBytes(folder_ / "t.lx", testing::SyntheticLxText(1) + GetParam().extra);
  const auto result = Draw("t.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(result.err, ::testing::StartsWith(std::string("warning: ") + GetParam().warning));
  EXPECT_THAT(Check("t.dxf"), IsSupersetOf({"audit-errors 0", "entities POINTS POINT 169", "entities LINES LINE 312"}));
}

INSTANTIATE_TEST_SUITE_P(
    Points, LeftOutTest,
    ::testing::Values(LeftOutCase{"NoCoordinates", " 400400\r\n", "point 400400 left out: no coordinates"},
                      LeftOutCase{"LatitudeBeyond90", " 400401 990000.0000 1063000.0000\r\n 400402\r\n 999999\r\n",
                                  "point 400401 left out: latitude 99 beyond 90 degrees\nwarning: point 400402 left "
                                  "out: no coordinates"},
                      LeftOutCase{"FarFromTheOthers", " 400403 400000.0000 1000000.0000\r\n",
                                  "point 400403 left out: at 40 N 100 W lies more than 3 degrees from the middle of "
                                  "the township (35.04"}),
    [](const auto& info) { return std::string(info.param.name); });

// West of 180 the drawing is in NAD27 UTM zone 59 or 60 (no EPSG code; the
// same projection on Clarke 1866, as cs2cs's +proj=utm gives it).
TEST_F(Lx2dxfTest, TheAleutiansWestOf180AreDrawnInTheirOwnZone) {
  testing::WriteBytes(folder_ / "attu.lx", testing::SyntheticLxText(1, {52.0, 187.3}));
  ASSERT_EQ(Draw("attu.lx").exitCode, 0);
  std::vector<std::string> at;
  for (const std::string& line : Check("attu.dxf", "100100")) {
    if (line.starts_with("at ")) at.push_back(line);
  }
  ASSERT_EQ(at.size(), 1u);
  const auto reference = RunCommand(
      "echo 172.7 52 | cs2cs -f %.4f +proj=longlat +ellps=clrk66 +to +proj=utm +zone=59 "
      "+ellps=clrk66");
  ASSERT_EQ(reference.exitCode, 0) << reference.err;
  std::istringstream expected(reference.out), drawn(at[0]);
  std::string expectedEast, expectedNorth, word, id, east, north;
  expected >> expectedEast >> expectedNorth;
  drawn >> word >> id >> east >> north;
  EXPECT_NEAR(Number(east), Number(expectedEast), 0.001);
  EXPECT_NEAR(Number(north), Number(expectedNorth), 0.001);
}

TEST_F(Lx2dxfTest, HelpExplainsTheOption) {
  const auto result = Draw("--help");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_THAT(result.out, HasSubstr("usage: lx2dxf FILE.lx [r]"));
}

}  // namespace
}  // namespace korvexa
