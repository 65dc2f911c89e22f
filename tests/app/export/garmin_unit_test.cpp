// GarminDevice.xml as units write it, read by the tolerant reader; a unit's
// folder tree found in any letter case.
#include "app/export/garmin_unit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/korvexa_error.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

// One <File> of a MassStorageMode's DataType.
std::string File(const std::string& path, const std::string& extension, const std::string& direction) {
  return "<File><Specification><Identifier>x</Identifier></Specification><Location><Path>" + path +
         "</Path><FileExtension>" + extension + "</FileExtension></Location><TransferDirection>" + direction +
         "</TransferDirection></File>";
}

std::string Device(const std::string& model, const std::string& files) {
  return "<?xml version=\"1.0\"?>\n<Device xmlns=\"http://www.garmin.com/xmlschemas/GarminDevice/v2\">\n"
         "<Model><PartNumber>006-B1</PartNumber><Description>" +
         model + "</Description></Model>\n<MassStorageMode><DataType><Name>GPSData</Name>" + files +
         "</DataType></MassStorageMode></Device>\n";
}

struct DeviceCase {
  const char* name;
  std::string xml;
  std::string model, gpxPath;
};

void PrintTo(const DeviceCase& device, std::ostream* out) {
  *out << device.name;
}

class GarminDeviceTextTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(GarminDeviceTextTest, FindsTheModelAndTheFolderOfGpxFilesToTheUnit) {
  const GarminDeviceText text = ReadGarminDeviceText(GetParam().xml);
  EXPECT_EQ(text.model, GetParam().model);
  EXPECT_EQ(text.gpxPath, GetParam().gpxPath);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GarminDeviceTextTest,
    ::testing::Values(
        DeviceCase{"Plain", Device("eTrex 30", File("Garmin/GPX", "GPX", "InputOutput")), "eTrex 30", "Garmin/GPX"},
        DeviceCase{"FromTheUnitOnlyIsSkipped",
                   Device("Oregon 750", File("Garmin/GPX/Current", "GPX", "OutputFromUnit") +
                                            File("Garmin/NewFiles", "gpx", "InputToUnit")),
                   "Oregon 750", "Garmin/NewFiles"},
        DeviceCase{"OtherTypesOnly", Device("Edge 500", File("Garmin/Courses", "TCX", "InputToUnit")), "Edge 500", ""},
        DeviceCase{"PrefixesCommentsBackslashesEntities",
                   "<g:Device xmlns:g=\"http://www.garmin.com/xmlschemas/GarminDevice/v2\"><g:Model>\n"
                   "  <g:Description>\n    Dakota &amp; 20\n  </g:Description></g:Model>"
                   "<!-- <Location><Path>Wrong</Path><FileExtension>GPX</FileExtension></Location> -->"
                   "<g:File><g:Location><g:Path>Garmin\\GPX</g:Path><g:FileExtension>Gpx</g:FileExtension>"
                   "</g:Location></g:File></g:Device>",
                   "Dakota & 20", "Garmin/GPX"},
        DeviceCase{"NotXml", "PK\x03\x04 a zip file", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GarminUnitTest, AFolderTreeInAnyCaseAndAFolderOutsideTheUnit) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder / "unit" / "garmin" / "gpx");
  testing::WriteBytes(folder / "unit" / "garmin" / "GarminDevice.XML",
                      Device("eTrex 10", File("Garmin/GPX", "GPX", "InputToUnit")));
  std::filesystem::create_directories(folder / "stick" / "Photos");
  const std::vector<std::filesystem::path> volumes = {folder / "stick", folder / "unit", folder / "gone"};
  const std::vector<GarminUnit> units = FindGarminUnits(volumes);
  ASSERT_EQ(units.size(), 1u);
  EXPECT_EQ(units[0].model, "eTrex 10");
  EXPECT_EQ(units[0].gpxFolder, folder / "unit" / "garmin" / "gpx");

  testing::WriteBytes(folder / "unit" / "garmin" / "GarminDevice.XML",
                      Device("eTrex 10", File("Garmin/../../elsewhere", "GPX", "InputToUnit")));
  EXPECT_THROW(FindGarminUnits(volumes), KorvexaError);
}

}  // namespace
}  // namespace korvexa
