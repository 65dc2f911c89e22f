// korvexa-convert's exports, run as built: KML read back by gpsbabel, a
// refused grid that writes nothing, and GPX files sent into a fake Garmin
// unit's folder tree.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>
#include <map>
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

class ConvertExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(testing::TestData("t12n.lx"), folder_ / "t12n.lx"); }
  testing::CommandOutput Run(const std::string& commandLine) {
    return RunCommand("cd " + ShellQuoted(folder_.path().string()) + " && " + commandLine);
  }
  testing::CommandOutput Convert(const std::string& arguments) { return Run(KORVEXA_CONVERT " " + arguments); }
  testing::TempFolder folder_;
};

// name -> "latitude,longitude" of each waypoint line of gpsbabel's unicsv
// output (six decimals).
std::map<std::string, std::string> Positions(const std::string& unicsv) {
  std::map<std::string, std::string> positions;
  const std::regex row(R"re(\d+,(-?[\d.]+),(-?[\d.]+),"((?:[^"]|"")*)")re");
  for (std::sregex_iterator it(unicsv.begin(), unicsv.end(), row), end; it != end; ++it) {
    positions[std::regex_replace((*it)[3].str(), std::regex("\"\""), "\"")] = (*it)[1].str() + "," + (*it)[2].str();
  }
  return positions;
}

// gpsbabel's KML reader finds the ticked corners where the GPX file of
// Create puts them (NAD83), and the surveyed lines as tracks.
TEST_F(ConvertExportsTest, KmlReadsBackInGpsbabelAsTheNad83Waypoints) {
  const auto kml = Convert("--format kml --no-nad83 t12n.lx");
  ASSERT_EQ(kml.exitCode, 0) << kml.err;
  EXPECT_EQ(kml.out, "t12n.lx -> " + (folder_ / "t12n.kml").string() +
                         " (4 points, 2 lines, positions NAD83 from the NADCON grids, taken as WGS 84)\n");
  ASSERT_EQ(Convert("--format gpx --nad83 --no-dxf t12n.lx").exitCode, 0);
  const auto fromKml = Run("gpsbabel -i kml -f t12n.kml -o unicsv -F -");
  const auto fromGpx = Run("gpsbabel -i gpx -f t12n.gpx -o unicsv -F -");
  ASSERT_EQ(fromKml.exitCode, 0) << fromKml.err;
  const std::map<std::string, std::string> positions = Positions(fromKml.out);
  EXPECT_EQ(positions, Positions(fromGpx.out));
  EXPECT_THAT(positions, ::testing::SizeIs(4));
  const auto tracks = Run("gpsbabel -i kml -f t12n.kml -t -o gpx -F -");
  const std::regex track("<trk>");
  EXPECT_EQ(std::distance(std::sregex_iterator(tracks.out.begin(), tracks.out.end(), track), std::sregex_iterator()),
            2);
}

TEST_F(ConvertExportsTest, CsvNamesItsGridAndARefusedGridWritesNothing) {
  const auto csv = Convert("--format csv --columns penzd --no-header t12n.lx");
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  EXPECT_THAT(csv.out, HasSubstr("t12n.csv (4 points, NAD83 / New Mexico Central (ftUS), EPSG:2258)"));
  const std::vector<std::string> rows = testing::CrLfLines(testing::ReadBytes(folder_ / "t12n.csv"));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_THAT(rows[1], ::testing::StartsWith("100100,1488233."));  // easting first
  EXPECT_THAT(rows[0], ::testing::EndsWith(",R&<> ?"));            // no quotes, plain ASCII
  ASSERT_EQ(Convert("--format csv --layout trimble t12n.lx").exitCode, 0);
  EXPECT_THAT(testing::ReadBytes(folder_ / "t12n.csv"),
              ::testing::StartsWith("\"A&<\"\"B\",1455404.635,"));  // N first, no header
  ASSERT_EQ(Convert("--format csv t12n.lx").exitCode, 0);
  EXPECT_THAT(testing::ReadBytes(folder_ / "t12n.csv"), ::testing::StartsWith("Point,Northing (ftUS),Easting (ftUS),"));
  std::filesystem::remove(folder_ / "t12n.csv");
  std::filesystem::remove(folder_ / "t12n.prj");
  for (const char* code : {"EPSG:4326", "EPSG:2257", "EPSG:6529"}) {
    const auto refused = Convert(std::string("--format csv --crs ") + code + " t12n.lx");
    EXPECT_EQ(refused.exitCode, 1) << code;
    EXPECT_THAT(refused.err, HasSubstr(std::string("error: t12n.lx: ") + code)) << code;
    EXPECT_EQ(testing::ListFolder(folder_.path()), "t12n.lx") << code;
  }
}

TEST_F(ConvertExportsTest, ListCrsGivesTheGuessFirstWithItsUnit) {
  const auto list = Convert("--list-crs t12n.lx");
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_THAT(list.out, HasSubstr("\nEPSG:2258  NAD83 / New Mexico Central (ftUS)  US survey foot (best guess: the "
                                  "zone of Bernalillo, New Mexico)\n"));
  EXPECT_THAT(list.out, HasSubstr("\nEPSG:26913  NAD83 / UTM zone 13N  metre\n"));
  const auto nad27 = Convert("--list-crs --no-nad83 t12n.lx");
  EXPECT_THAT(nad27.out, HasSubstr("EPSG:32013  NAD27 / New Mexico Central  US survey foot (best guess: the zone of "
                                   "Bernalillo, New Mexico)"));
}

// A township across the line of Ellis County (Kansas North) and Rush County
// (Kansas South), at 38.70 N, its middle in Ellis.
TEST_F(ConvertExportsTest, ListCrsSaysWhenTheTownshipStraddlesAZoneLine) {
  testing::WriteBytes(folder_ / "ellis.lx", testing::SyntheticLxText(1, {38.655, 99.28, 2000, true}));
  const auto list = Convert("--list-crs ellis.lx");
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_THAT(list.out, HasSubstr("(best guess: the zone of Ellis, Kansas)"));
  EXPECT_THAT(list.out,
              HasSubstr("the township straddles a State Plane zone line: NAD83 / Kansas North (Ellis, Kansas, "
                        "at its middle), NAD83 / Kansas South (Rush, Kansas)\n"));
}

ino_t Inode(const std::filesystem::path& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// A unit whose GarminDevice.xml (in capitals, as on its FAT disk) names a
// GPX folder of its own for files to the unit.
TEST_F(ConvertExportsTest, SendToGpsPutsTheFileWhereTheUnitSaysAndReplacesItWhole) {
  std::filesystem::create_directories(folder_ / "unit" / "GARMIN");
  testing::WriteBytes(
      folder_ / "unit" / "GARMIN" / "GARMINDEVICE.XML",
      "<?xml version=\"1.0\"?><Device xmlns=\"http://www.garmin.com/xmlschemas/GarminDevice/v2\">"
      "<Model><Description>GPSMAP 66i</Description></Model><MassStorageMode><DataType>"
      "<Name>GPSData</Name><File><Location><Path>Garmin/GPX/Current</Path><FileExtension>GPX"
      "</FileExtension></Location><TransferDirection>OutputFromUnit</TransferDirection></File>"
      "<File><Location><Path>Garmin/Waypoints</Path><FileExtension>gpx</FileExtension></Location>"
      "<TransferDirection>InputToUnit</TransferDirection></File></DataType></MassStorageMode></Device>");
  const std::filesystem::path sent = folder_ / "unit" / "GARMIN" / "Waypoints" / "t12n.gpx";
  const auto first = Convert("--send-to-gps --gps-folder unit --points 100100 t12n.lx");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.out, "t12n.lx -> " + sent.string() + " (1 point, GPSMAP 66i, NAD83)\n");
  const ino_t firstInode = Inode(sent);
  const auto second = Convert("--send-to-gps --gps-folder unit --points 100100,140100 t12n.lx");
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_NE(Inode(sent), firstInode);  // a new file renamed over the old one, not rewritten in place
  EXPECT_THAT(second.err, HasSubstr("warning: t12n.lx: the earlier t12n.gpx on the GPSMAP 66i was replaced"));
  EXPECT_EQ(testing::ListFolder(sent.parent_path()), "t12n.gpx");
  EXPECT_THAT(testing::ReadBytes(sent), HasSubstr("<name>140100</name>"));
  EXPECT_EQ(testing::GpxSchemaErrors(sent), "");
  const auto none = Convert("--send-to-gps --gps-folder . t12n.lx");
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_THAT(none.err, HasSubstr("error: \".\" holds no Garmin/GarminDevice.xml"));
  const auto pcx5 = Convert("--format pcx5 --send-to-gps --gps-folder unit t12n.lx");
  EXPECT_EQ(pcx5.exitCode, 2);
  EXPECT_THAT(pcx5.err, HasSubstr("--send-to-gps sends a GPX file"));
}

// More waypoints than the smallest unit holds are sent with a warning.
TEST_F(ConvertExportsTest, SendToGpsWarnsOfMoreWaypointsThanAUnitHolds) {
  std::filesystem::create_directories(folder_ / "unit" / "Garmin");
  std::filesystem::copy_file(testing::TestData("garmin/etrex30.xml"), folder_ / "unit" / "Garmin" / "GarminDevice.xml");
  testing::WriteBytes(folder_ / "big.lx", testing::SyntheticLxText(6));
  const auto big = Convert("--send-to-gps --gps-folder unit big.lx");
  ASSERT_EQ(big.exitCode, 0) << big.err;
  EXPECT_THAT(big.err, HasSubstr("warning: big.lx: 1,014 waypoints are more than the smallest Garmin handhelds hold "
                                 "(1,000)"));
}

}  // namespace
}  // namespace korvexa
