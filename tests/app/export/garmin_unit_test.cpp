// GarminDevice.xml as units write it (tests/data/garmin, also the fuzzer's
// seeds), hostile descriptions each refusing its own volume only, and a
// search that gives up on a volume that does not answer.
#include "app/export/garmin_unit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <future>

#include "app/export/garmin_device.h"
#include "core/korvexa_error.h"
#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::string_literals;

std::string Description(const std::string& name) {
  return testing::ReadBytes(testing::TestData("garmin/" + name));
}

// The eTrex 30's description with its GPX folder replaced by `path`.
std::string WithGpxPath(const std::string& path) {
  std::string xml = Description("etrex30.xml");
  return xml.replace(xml.find("Garmin/GPX<"), 10, path);
}

std::string Repeated(std::string_view text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

struct DeviceCase {
  const char* file;
  std::string model;
  bool takesGpx;
  std::vector<std::string> gpxFolder;
};

void PrintTo(const DeviceCase& device, std::ostream* out) {
  *out << device.file;
}

class GarminDeviceTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(GarminDeviceTest, FindsTheModelAndTheFolderOfGpxFilesToTheUnit) {
  const GarminDevice device = ReadGarminDevice(Description(GetParam().file));
  EXPECT_EQ(device.model, GetParam().model);
  EXPECT_EQ(device.takesGpx, GetParam().takesGpx);
  if (device.takesGpx) {
    EXPECT_EQ(device.gpxFolder, GetParam().gpxFolder);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Units, GarminDeviceTest,
    ::testing::Values(DeviceCase{"etrex30.xml", "eTrex 30", true, {"Garmin", "GPX"}},
                      // Prefixes, an entity, backslashes, blanks, decoys of another namespace.
                      DeviceCase{"oregon750.xml", "Oregon 750t & camera", true, {"Garmin", "NewFiles"}},
                      DeviceCase{"runner110.xml", "Runner 110", false, {}}),
    [](const auto& info) { return std::string(info.param.file).substr(0, std::string(info.param.file).find('.')); });

// Descriptions, each to go on a volume of its own, and what they are refused for.
std::vector<std::pair<std::string, std::string>> HostileDescriptions() {
  return {
      {"</>", "is not readable: not well-formed (invalid token) at line 1, column 2"},
      {"</" + std::string(4'000'000, 'x'), "is not readable: it is larger than 1 MiB"},
      {Repeated("</a>", 2'000'000), "is not readable: it is larger than 1 MiB"},
      {"<Device xmlns='http://www.garmin.com/xmlschemas/GarminDevice/v2'>" + Repeated("</a>", 200'000),
       "is not readable: mismatched tag at line 1"},
      {"<?xml version='1.0'?><!DOCTYPE lolz [<!ENTITY lol 'lol'><!ENTITY lol1 '&lol;&lol;&lol;&lol;&lol;'>]>"
       "<Device xmlns='http://www.garmin.com/xmlschemas/GarminDevice/v2'>&lol1;</Device>",
       "is not readable: it declares an entity, which is refused"},
      {Repeated("<a>", 1'000'000), "is not readable: it is larger than 1 MiB"},
      {"<Device xmlns='http://www.garmin.com/xmlschemas/GarminDevice/v2'>" + Repeated("<a>", 300'000),
       "is not readable: it nests deeper than 64 levels"},
      {"\xFF\xFE<\0D\0e\0v\0i\0c\0e\0/\0>\0"s, "is not readable: it is UTF-16, not UTF-8"},
      {WithGpxPath("Garmin/\0GPX"s), "is not readable: it holds a NUL byte"},
      {WithGpxPath("Garmin/../../home"), "names a GPX folder outside the unit: \"Garmin/../../home\""},
      {WithGpxPath("/etc"), "names a GPX folder outside the unit: \"/etc\""},
      {WithGpxPath("C:\\Garmin\\GPX"), "names a GPX folder outside the unit"},
      {"<Device><Model><Description>eTrex</Description></Model></Device>", "is not readable: it is no description"},
  };
}

TEST(GarminUnitTest, AHostileDescriptionRefusesItsVolumeOnlyAndByName) {
  const auto hostile = HostileDescriptions();
  testing::TempFolder folder;
  std::vector<MountedVolume> volumes;
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    volumes.emplace_back(folder / ("stick" + std::to_string(i)));
    std::filesystem::create_directories(volumes.back().path / "GARMIN");
    testing::WriteBytes(volumes.back().path / "GARMIN" / "GarminDevice.xml", hostile[i].first);
  }
  std::filesystem::create_directories(folder / "unit" / "garmin" / "gpx");
  testing::WriteBytes(folder / "unit" / "garmin" / "GarminDevice.XML", Description("etrex30.xml"));
  volumes.emplace_back(folder / "unit");

  const UnitSearch search = FindGarminUnits(volumes);
  ASSERT_EQ(search.units.size(), 1u);
  EXPECT_EQ(search.units[0].gpxFolder, folder / "unit" / "garmin" / "gpx");
  ASSERT_EQ(search.refused.size(), hostile.size());
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    EXPECT_THAT(search.refused[i], HasSubstr(volumes[i].path.string() +
                                             " is not a usable Garmin unit (its "
                                             "GarminDevice.xml " +
                                             hostile[i].second));
  }
}

TEST(GarminUnitTest, AWatchAFifoAndALinkedFolderAreRefused) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder / "watch" / "Garmin");
  testing::WriteBytes(folder / "watch" / "Garmin" / "GarminDevice.xml", Description("runner110.xml"));
  std::filesystem::create_directories(folder / "fifo" / "Garmin");
  ASSERT_EQ(::mkfifo((folder / "fifo" / "Garmin" / "GarminDevice.xml").c_str(), 0600), 0);
  std::filesystem::create_directories(folder / "linked" / "Garmin");
  testing::WriteBytes(folder / "linked" / "Garmin" / "GarminDevice.xml", Description("etrex30.xml"));
  std::filesystem::create_directory_symlink(folder.path(), folder / "linked" / "Garmin" / "GPX");

  const std::vector<MountedVolume> volumes = {folder / "watch", folder / "fifo", folder / "linked"};
  const UnitSearch search = FindGarminUnits(volumes);
  EXPECT_THAT(search.refused, ElementsAre(HasSubstr("Runner 110 takes no GPX files"),
                                          HasSubstr("GarminDevice.xml is not readable: it is not a regular file"),
                                          HasSubstr("GPX\" is a link, which is refused")));
  EXPECT_THROW(UsableUnits(search), KorvexaError);
}

// A remote volume that never answers is given up; the others are read.
TEST(GarminUnitTest, AVolumeThatDoesNotAnswerIsGivenUp) {
  const auto release = std::make_shared<std::promise<void>>();
  const VolumeProbe probe = [answer = release->get_future().share()](const std::filesystem::path& volume) {
    if (volume == "/mnt/share") answer.wait();
    return std::optional<GarminUnit>(GarminUnit{volume, "eTrex 10", volume / "Garmin" / "GPX"});
  };
  const std::vector<MountedVolume> volumes = {{"/mnt/share", VolumeKind::Remote}, {"/media/unit"}};
  const UnitSearch search = FindGarminUnits(volumes, std::chrono::milliseconds(50), probe);
  release->set_value();
  ASSERT_EQ(search.units.size(), 1u);
  EXPECT_EQ(search.units[0].volume, "/media/unit");
  EXPECT_THAT(search.unanswered, ElementsAre("/mnt/share"));
}

}  // namespace
}  // namespace korvexa
