#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "fixtures/synthetic_township.h"
#include "tests/support/golden.h"
#include "tests/support/gpx_schema.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;
using testing::RunCommand;
using testing::ShellQuoted;

constexpr std::size_t kDateTimeColumn = 36;  // dd-mmm-yy hh:mm:ss in columns 36 to 53
constexpr std::size_t kDateTimeWidth = 18;

// The file with the date and time of every waypoint line blanked, so that a
// run on the real clock compares with a golden file.
std::string WithoutTimes(std::string text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (text.compare(start, 1, "W") == 0 && end - start > kDateTimeColumn + kDateTimeWidth) {
      text.replace(start + kDateTimeColumn - 1, kDateTimeWidth, kDateTimeWidth, '*');
    }
    start = end == std::string::npos ? text.size() : end + 2;
  }
  return text;
}

class KorvexaConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(testing::TestData("t12n.lx"), folder_ / "t12n.lx"); }
  testing::CommandOutput Convert(const std::string& arguments) {
    return RunCommand("cd " + ShellQuoted(folder_.path().string()) + " && " KORVEXA_CONVERT " " + arguments);
  }
  testing::TempFolder folder_;
};

TEST_F(KorvexaConvertTest, WritesThePcx5FileBesideTheInput) {
  const auto result = Convert("--format pcx5 --no-nad83 --no-dxf t12n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "t12n.lx -> " + (folder_ / "t12n.grm").string() + " (4 points)\n");
  EXPECT_EQ(result.err,
            "warning: t12n.lx: 3 ticked points without usable coordinates were left out: 300500 (no longitude), "
            "400400 (no coordinates), 700700 (at 32.1 N 106 W lies more than 3 degrees from the middle of the "
            "township (35.120096 N 106.7494444 W))\n"
            "warning: t12n.lx: t12n.grm holds NAD27 positions, which a GPS reads as WGS 84: it shows the corners up "
            "to 53 m from where they are (the largest NAD27 to NAD83 shift among them)\n");
  EXPECT_EQ(WithoutTimes(testing::ReadBytes(folder_ / "t12n.grm")),
            WithoutTimes(testing::ReadBytes(testing::TestData("t12n~create-pcx5.grm"))));
}

TEST_F(KorvexaConvertTest, WritesAValidGpxFile) {
  const auto result = Convert("--format gpx --no-nad83 --no-dxf t12n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "t12n.lx -> " + (folder_ / "t12n.gpx").string() + " (4 points)\n");
  EXPECT_EQ(testing::GpxSchemaErrors(folder_ / "t12n.gpx"), "");
  // Everything but the times is as in the golden file.
  const std::regex time("<time>[^<]*</time>");
  EXPECT_EQ(std::regex_replace(testing::ReadBytes(folder_ / "t12n.gpx"), time, "<time/>"),
            std::regex_replace(testing::ReadBytes(testing::TestData("t12n~create-gpx.gpx")), time, "<time/>"));
}

TEST_F(KorvexaConvertTest, FilesInOtherFoldersLandBesideThemselves) {
  std::filesystem::create_directory(folder_ / "sub");
  std::filesystem::copy_file(folder_ / "t12n.lx", folder_ / "sub" / "t13n.lx");
  const auto result = Convert("--format pcx5 --no-nad83 --no-dxf sub/t13n.lx t12n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(std::filesystem::exists(folder_ / "sub" / "t13n.grm"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "t12n.grm"));
}

TEST_F(KorvexaConvertTest, PointsSelectsByTrimmedPointId) {
  const auto result = Convert("--format pcx5 --no-nad83 --no-dxf --points ' 140100, 100100' t12n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("(2 points)"));
  const std::string text = testing::ReadBytes(folder_ / "t12n.grm");
  EXPECT_THAT(text, HasSubstr("W  100100 "));
  EXPECT_THAT(text, HasSubstr("W  140100 "));
  EXPECT_THAT(text, ::testing::Not(HasSubstr("W  100140 ")));
}

TEST_F(KorvexaConvertTest, UnknownPointsAreAnErrorNamingEachAndWriteNothing) {
  for (const auto& [points, error] : {std::pair("100100,999000", "point 999000 is not in"),
                                      std::pair("100100,nope,alsonope", "points alsonope, nope are not in")}) {
    const auto result = Convert(std::string("--format pcx5 --no-nad83 --no-dxf --points ") + points + " t12n.lx");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr(std::string("error: t12n.lx: ") + error));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "t12n.grm"));
  }
}

TEST_F(KorvexaConvertTest, AFailingFileDoesNotStopTheOthers) {
  const auto result = Convert("--format pcx5 --no-nad83 --no-dxf missing.lx t12n.lx");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("error: missing.lx: cannot read \""));
  EXPECT_THAT(result.err, HasSubstr("No such file or directory"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "t12n.grm"));
}

// The NGS stations lie across the country, each in a township file of its
// own; each comes out as the golden file has it.
TEST_F(KorvexaConvertTest, Nad83MovesEveryPointWithTheNadconGrids) {
  const std::vector<std::string> lines = testing::CrLfLines(testing::ReadBytes(testing::TestData("ngs.lx")));
  std::string files;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string name = "station" + std::to_string(i) + ".lx";
    testing::WriteBytes(folder_ / name, lines[0] + "\r\n" + lines[1] + "\r\n" + lines[i] + "\r\n");
    files += " " + name;
  }
  const auto result = Convert("--format pcx5 --nad83 --no-dxf" + files);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  std::vector<std::string> golden =
      testing::CrLfLines(WithoutTimes(testing::ReadBytes(testing::TestData("ngs~pcx5-nad83.grm"))));
  golden.erase(golden.begin(), golden.begin() + 10);  // the header
  std::vector<std::string> written;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::vector<std::string> file =
        testing::CrLfLines(WithoutTimes(testing::ReadBytes(folder_ / ("station" + std::to_string(i) + ".grm"))));
    ASSERT_EQ(file.size(), 11u);
    written.push_back(file[10]);
  }
  std::sort(written.begin(), written.end());  // the golden file's list is sorted
  EXPECT_EQ(written, golden);
}

// A copy of the program without the shipped grids beside it, where PROJ has
// no grid of its own (the sealed environment), says what to install.
TEST_F(KorvexaConvertTest, MissingGridsSayWhatToInstallAndKeepTheEarlierFile) {
  testing::WriteBytes(folder_ / "t12n.grm", "earlier run");
  const std::filesystem::path alone = folder_ / "alone" / "korvexa-convert";
  std::filesystem::create_directory(alone.parent_path());
  std::filesystem::copy_file(KORVEXA_CONVERT, alone);
  const auto result = RunCommand("cd " + ShellQuoted(folder_.path().string()) + " && " + ShellQuoted(alone.string()) +
                                 " --format pcx5 --nad83 --no-dxf t12n.lx");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("error: t12n.lx: cannot move points from NAD27 to NAD83: the NADCON grids"));
  EXPECT_THAT(result.err, HasSubstr("\"projsync --file us_noaa_conus.tif\""));
  EXPECT_THAT(result.err, HasSubstr("into " + std::string(std::getenv("PROJ_USER_WRITABLE_DIRECTORY"))));
  EXPECT_EQ(testing::ReadBytes(folder_ / "t12n.grm"), "earlier run");
}

TEST_F(KorvexaConvertTest, GridsNamesTheShippedFiles) {
  const auto result = Convert("--grids");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string shipped = std::filesystem::canonical(KORVEXA_SHIPPED_GRIDS).string();
  EXPECT_THAT(result.out, HasSubstr("us_noaa_conus.tif (the conterminous United States): " + shipped));
  EXPECT_THAT(result.out, HasSubstr("us_noaa_alaska.tif (Alaska): " + shipped));
}

// A grid the user installed (projsync puts it in PROJ's user folder) serves
// before the shipped one.
TEST_F(KorvexaConvertTest, AGridInPROJsUserFolderComesFirst) {
  const std::filesystem::path userFolder = std::getenv("PROJ_USER_WRITABLE_DIRECTORY");
  std::filesystem::copy_file(std::filesystem::path(KORVEXA_SHIPPED_GRIDS) / "us_noaa_conus.tif",
                             userFolder / "us_noaa_conus.tif");
  const auto result = Convert("--grids");
  std::filesystem::remove(userFolder / "us_noaa_conus.tif");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("us_noaa_conus.tif (the conterminous United States): " +
                                    (userFolder / "us_noaa_conus.tif").string()));
  EXPECT_THAT(result.out,
              HasSubstr("us_noaa_alaska.tif (Alaska): " + std::filesystem::canonical(KORVEXA_SHIPPED_GRIDS).string()));
}

// The input is read as it is, whatever its line ends, and never rewritten.
TEST_F(KorvexaConvertTest, ReadsAnyLineEndsLeavesTheInputAloneAndDrawsTheTownship) {
  std::string lfOnly = testing::SyntheticLxText(1);
  std::erase(lfOnly, '\r');
  testing::WriteBytes(folder_ / "t13n.lx", lfOnly);
  const auto result = Convert("--format pcx5 --no-nad83 --dxf t13n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "t13n.lx -> " + (folder_ / "t13n.grm").string() + " (169 points)\n");
  EXPECT_EQ(testing::ListFolder(folder_.path()), "t12n.lx t13n.dxf t13n.grm t13n.lx");
  EXPECT_EQ(testing::ReadBytes(folder_ / "t13n.lx"), lfOnly);
  EXPECT_THAT(testing::ReadBytes(folder_ / "t13n.dxf"), ::testing::StartsWith("  0\r\nSECTION\r\n  2\r\nHEADER\r\n"));
}

// ---- bad townships: what is written, what the user is told, what is left alone ----

struct BadTownshipCase {
  const char* name;
  std::string file;     // the .LX file's name
  std::string text;     // its text
  std::string options;  // before the file
  bool alone;           // a copy of korvexa-convert without lx2dxf beside it (it draws by itself)
  int exitCode;
  std::vector<std::string> messages;  // lines of standard error
  std::string listing;                // the folder afterwards
  bool drawn;                         // the earlier drawing was replaced
};

void PrintTo(const BadTownshipCase& c, std::ostream* out) {
  *out << c.name;
}

std::string Township(const std::string& extra = "", testing::TownshipLayout layout = {}) {
  return testing::SyntheticLxText(1, layout) + extra;
}

const std::string kHawaii =
    "h1\r\nh2\r\n HI0001 210000.0000 1570000.0000      100\r\n"
    " HI0002 210100.0000 1570000.0000      100\r\n";

class BadTownshipTest : public KorvexaConvertTest, public ::testing::WithParamInterface<BadTownshipCase> {};

TEST_P(BadTownshipTest, WritesWhatItCanAndSaysWhatItLeftOut) {
  const BadTownshipCase& c = GetParam();
  std::filesystem::remove(folder_ / "t12n.lx");
  testing::WriteBytes(folder_ / c.file, c.text);
  const std::string drawing = std::filesystem::path(c.file).replace_extension(".dxf").string();
  testing::WriteBytes(folder_ / drawing, "an earlier drawing");
  std::string program = KORVEXA_CONVERT;
  if (c.alone) {
    std::filesystem::create_directory(folder_ / "alone");
    std::filesystem::copy_file(program, folder_ / "alone" / "korvexa-convert");
    program = (folder_ / "alone" / "korvexa-convert").string();
  }
  const std::string file = c.file.starts_with("-") ? "./" + c.file : c.file;
  const auto result = RunCommand("cd " + ShellQuoted(folder_.path().string()) + " && " + ShellQuoted(program) + " " +
                                 c.options + " " + ShellQuoted(file));
  if (c.alone) std::filesystem::remove_all(folder_ / "alone");
  EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
  for (const std::string& message : c.messages) EXPECT_THAT(result.err, HasSubstr(message));
  EXPECT_EQ(testing::ListFolder(folder_.path()), c.listing);
  EXPECT_EQ(testing::ReadBytes(folder_ / drawing) != "an earlier drawing", c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadTownshipTest,
    ::testing::Values(
        BadTownshipCase{"AnEmptyLine",
                        "t.lx",
                        Township("\r\n"),
                        "--no-nad83 --dxf",
                        false,
                        0,
                        {"warning: t.lx: 1 ticked point without usable coordinates was left out: an empty line "
                         "(no coordinates)\n"},
                        "t.dxf t.gpx t.lx",
                        true},
        BadTownshipCase{"BlankCoordinates",
                        "t.lx",
                        Township(" 400400\r\n"),
                        "--nad83 --dxf",
                        false,
                        0,
                        {"left out: 400400 (no coordinates)\n",
                         "warning: t.lx: the drawing t.dxf: point 400400 left out: no coordinates\n"},
                        "t.dxf t.gpx t.lx",
                        true},
        BadTownshipCase{"AnEscapeSequenceInAPointId",
                        "t.lx",
                        Township(" 4\x1B[2J4\r\n"),
                        "--no-nad83 --no-dxf",
                        false,
                        0,
                        {"left out: 4\\x1B[2J4 (no coordinates)\n"},
                        "t.dxf t.gpx t.lx",
                        false},
        BadTownshipCase{"ImpossibleLatitudeAndElevation",
                        "t.lx",
                        Township(" 400402 990000.0000 1060000.0000     1000\r\n"
                                 " 400405 350000.0000 1063000.0000     1D23\r\n"),
                        "--format pcx5 --no-nad83 --dxf",
                        false,
                        0,
                        {"2 ticked points without usable coordinates were left out: 400402 (latitude 99 beyond 90 "
                         "degrees), 400405 (elevation 30480060960121900000000 m beyond any place on Earth)",
                         "the drawing t.dxf: point 400402 left out: latitude 99 beyond 90 degrees"},
                        "t.dxf t.grm t.lx",
                        true},
        BadTownshipCase{"PastThe180thMeridian",
                        "t.lx",
                        Township("", {52.0, 187.3}),
                        "--nad83 --dxf",
                        false,
                        0,
                        {},
                        "t.dxf t.gpx t.lx",
                        true},
        BadTownshipCase{"ANameWithBlanks",
                        "T12N R3E.lx",
                        Township(),
                        "--no-nad83 --dxf",
                        false,
                        0,
                        {},
                        "T12N R3E.dxf T12N R3E.gpx T12N R3E.lx",
                        true},
        BadTownshipCase{"ANameThatLooksLikeAnOption",
                        "-l log.lx",
                        Township(),
                        "--no-nad83 --dxf",
                        false,
                        0,
                        {},
                        "-l log.dxf -l log.gpx -l log.lx",
                        true},
        BadTownshipCase{"AFailingDrawing",
                        "t.lx",
                        Township("", {45.0, 40.0}),
                        "--no-nad83 --dxf",
                        false,
                        1,
                        {"error: t.lx: the drawing t.dxf was not made: \"t.lx\": the township's median longitude"},
                        "t.dxf t.gpx t.lx",
                        false},
        BadTownshipCase{
            "NoLx2dxfBesideIt", "t.lx", Township(), "--no-nad83 --dxf", true, 0, {}, "t.dxf t.gpx t.lx", true},
        BadTownshipCase{"AFailureAfterTheDrawing",
                        "hi.lx",
                        kHawaii,
                        "--nad83 --dxf",
                        false,
                        1,
                        {"error: hi.lx: point HI0001 at 21.0000000 N 157.0000000 W lies outside the NAD27 to NAD83 "
                         "grids"},
                        "hi.dxf hi.lx",
                        false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KorvexaConvertTest, APointOutsideTheGridsIsAnErrorAndWritesNothing) {
  testing::WriteBytes(folder_ / "hi.lx", kHawaii);
  const auto result = Convert("--format pcx5 --nad83 --no-dxf hi.lx");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("error: hi.lx: point HI0001 at 21.0000000 N 157.0000000 W lies outside the "
                                    "NAD27 to NAD83 grids"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "hi.grm"));
}

// Inputs that are no township file are refused before they are read or
// changed, and nothing is written for them.
TEST_F(KorvexaConvertTest, InputsThatAreNoTownshipFileAreRefused) {
  const std::string picture = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(600, 'x');
  testing::WriteBytes(folder_ / "pic.png", picture);
  testing::WriteBytes(folder_ / "controls.lx", std::string(1000, '\x01') + "\r\n");
  ASSERT_EQ(::mkfifo((folder_ / "fifo.lx").c_str(), 0644), 0);
  struct Case {
    const char* input;
    const char* error;
  };
  for (const Case& c : {Case{"pic.png", "\"pic.png\" is not a GCDB .LX text file"},
                        Case{"controls.lx", "\"controls.lx\" is not a GCDB .LX text file"},
                        Case{"fifo.lx", "is not a regular file"}, Case{"/dev/zero", "is not a regular file"}}) {
    const auto result = Convert(std::string("--format pcx5 ") + c.input);
    EXPECT_EQ(result.exitCode, 1) << c.input;
    EXPECT_THAT(result.err, HasSubstr(std::string("error: ") + c.input + ": ")) << c.input;
    EXPECT_THAT(result.err, HasSubstr(c.error)) << c.input;
  }
  EXPECT_EQ(testing::ReadBytes(folder_ / "pic.png"), picture);
  EXPECT_EQ(testing::ListFolder(folder_.path()), "controls.lx fifo.lx pic.png t12n.lx");
}

// A batch draws each township in its own process, as lx2dxf draws it.
TEST_F(KorvexaConvertTest, TheDrawingsOfABatchAreLx2dxfsByteForByte) {
  testing::WriteBytes(folder_ / "a.lx", Township());
  testing::WriteBytes(folder_ / "b.lx", Township("", {64.8, 147.7}));  // another zone, near Fairbanks
  ASSERT_EQ(Convert("--no-nad83 a.lx b.lx t12n.lx").exitCode, 0);
  for (const std::string name : {"a", "b", "t12n"}) {
    const std::string batch = testing::ReadBytes(folder_ / (name + ".dxf"));
    const auto drawn =
        RunCommand("cd " + ShellQuoted(folder_.path().string()) + " && " +
                   ShellQuoted(std::filesystem::path(KORVEXA_CONVERT).replace_filename("lx2dxf").string()) + " " +
                   name + ".lx --output " + name + ".lx2dxf.dxf");
    ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
    EXPECT_EQ(batch, testing::ReadBytes(folder_ / (name + ".lx2dxf.dxf"))) << name;
    EXPECT_GT(batch.size(), 1000u);
  }
}

// Past 180 W the longitudes are written east of Greenwich, moved with the
// Alaska grid.
TEST_F(KorvexaConvertTest, TheAleutiansPast180WAreWrittenAsEastLongitudes) {
  testing::WriteBytes(folder_ / "attu.lx", Township("", {52.0, 187.3}));
  ASSERT_EQ(Convert("--format gpx --nad83 --no-dxf attu.lx").exitCode, 0);
  ASSERT_EQ(Convert("--format pcx5 --nad83 --no-dxf attu.lx").exitCode, 0);
  EXPECT_EQ(testing::GpxSchemaErrors(folder_ / "attu.gpx"), "");
  // The south-east corner 100100 at 52 N 187.3 W, moved by the Alaska grid;
  // cs2cs EPSG:4267 EPSG:4269 gives 51.998338753 172.697061440 for 52 172.7.
  const std::vector<std::string> gpx = testing::CrLfLines(testing::ReadBytes(folder_ / "attu.gpx"));
  ASSERT_GT(gpx.size(), 4u);
  EXPECT_THAT(gpx[3], ::testing::StartsWith("<bounds minlat=\"51.9983359\" minlon=\"172.5561658\""));
  EXPECT_THAT(gpx[4], ::testing::StartsWith("<wpt lat=\"51.9983388\" lon=\"172.6970614\">"));
  const std::vector<std::string> grm = testing::CrLfLines(testing::ReadBytes(folder_ / "attu.grm"));
  ASSERT_GT(grm.size(), 10u);
  EXPECT_THAT(grm[10], ::testing::StartsWith("W  100100 N51.9983388 E172.6970614 "));
}

TEST_F(KorvexaConvertTest, WrongCommandLinesShowTheUsage) {
  for (const char* arguments : {"", "--format shp t12n.lx", "--bogus t12n.lx", "--points", "--gps-folder x t12n.lx"}) {
    const auto result = Convert(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments;
    EXPECT_THAT(result.err, HasSubstr("error: ")) << arguments;
    EXPECT_THAT(result.err, HasSubstr("usage: korvexa-convert")) << arguments;
  }
  const auto help = Convert("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("--no-nad83"));
}

}  // namespace
}  // namespace korvexa
