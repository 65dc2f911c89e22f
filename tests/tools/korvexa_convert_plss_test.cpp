#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/gpx_schema.h"
#include "tests/support/plss_dataset.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using testing::PlssRow;

const std::vector<PlssRow> kCorners{
    {"UT260020S0010W0", "100540", "", -111.9012345678, 40.6512345678, 4321.5, 4400, "Good", 3.2, 1},
    {"UT260020S0010W0", "", "UT260020S0010W0_100100", -111.95, 40.7, std::nullopt, 4400, "", std::nullopt, 2},
    {"UT260030S0010W0", "200200", "", -111.9, 40.6, std::nullopt, 4500, "", std::nullopt, std::nullopt}};

class KorvexaConvertPlssTest : public ::testing::Test {
 protected:
  // The corners in a zipped geodatabase on `crs`, as BLM publishes them.
  void MakeState(const std::string& crs, const std::vector<PlssRow>& corners = kCorners) {
    testing::PlssLayerRecipe recipe;
    recipe.crs = crs;
    recipe.ogr2ogrOptions = "-lco FEATURE_DATASET=CadastralReference";
    testing::MakePlssLayer(folder_ / "UT.gdb", corners, recipe);
    testing::ZipItems({folder_ / "UT.gdb"}, folder_ / "UT.gdb.zip");
    std::filesystem::remove_all(folder_ / "UT.gdb");
  }
  testing::CommandOutput Convert(const std::string& arguments) {
    return testing::RunCommand("cd " + testing::ShellQuoted(folder_.path().string()) +
                               " && PROJ_DATA= " KORVEXA_CONVERT " " + arguments);
  }
  // lat, lon and name of every waypoint of the GPX file `name`.
  std::vector<std::tuple<double, double, std::string>> Waypoints(const std::string& name) {
    EXPECT_EQ(testing::GpxSchemaErrors(folder_ / name), "");
    const std::string gpx = testing::ReadBytes(folder_ / name);
    const std::regex wpt(R"re(<wpt lat="([^"]+)" lon="([^"]+)">.*?<name>([^<]*)</name>)re");
    std::vector<std::tuple<double, double, std::string>> found;
    for (std::sregex_iterator it(gpx.begin(), gpx.end(), wpt), end; it != end; ++it) {
      found.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]), (*it)[3]);
    }
    return found;
  }
  testing::TempFolder folder_;
};

TEST_F(KorvexaConvertPlssTest, ListsTheTownshipsAndWritesOneAtItsNad83Position) {
  MakeState("EPSG:4269");
  const auto listed = Convert("--list-townships UT.gdb.zip");
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(listed.out,
            "UT260020S0010W0\tUtah, Salt Lake Meridian, T. 2 S., R. 1 W.\t2\n"
            "UT260030S0010W0\tUtah, Salt Lake Meridian, T. 3 S., R. 1 W.\t1\n");
  const auto written = Convert("--township UT260020S0010W0 --format gpx --no-dxf UT.gdb.zip");
  ASSERT_EQ(written.exitCode, 0) << written.err;
  const auto waypoints = Waypoints("UT260020S0010W0.gpx");
  ASSERT_EQ(waypoints.size(), 2u);
  EXPECT_EQ(std::get<2>(waypoints[0]), "100100");
  EXPECT_EQ(std::get<2>(waypoints[1]), "100540");
  EXPECT_NEAR(std::get<0>(waypoints[1]), 40.6512345678, 1e-7);
  EXPECT_NEAR(std::get<1>(waypoints[1]), -111.9012345678, 1e-7);
}

TEST_F(KorvexaConvertPlssTest, DrawsTheCornersInTheirNad83UtmZone) {
  struct Place {
    double longitude, latitude, otherLongitude;
    int zone;
  };
  const Place places[] = {
      {-111.901234, 40.651234, -111.95, 12},
      {179.999, 51.8, -179.999, 1},  // across 180 degrees: the middle is 180
      {173.2, 52.9, 173.3, 59},      // Attu, where EPSG has no NAD83 UTM code
  };
  for (const Place& place : places) {
    std::filesystem::remove(folder_ / "UT.gdb.zip");
    MakeState("EPSG:4269", {{"UT260020S0010W0", "100540", "", place.longitude, place.latitude, 1, 4400, "", {}, {}},
                            {"UT260020S0010W0", "100100", "", place.otherLongitude, place.latitude, 1, 4400, "", {}, {}}});
    const auto written = Convert("--township UT260020S0010W0 UT.gdb.zip");
    ASSERT_EQ(written.exitCode, 0) << written.err;
    const std::string dxf = testing::ReadBytes(folder_ / "UT260020S0010W0.dxf");
    const std::regex label("TEXT\r\n  8\r\nLABELS\r\n 10\r\n([^\r]+)\r\n 20\r\n([^\r]+)\r\n(?:.*\r\n){4}  1\r\n100540\r\n");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(dxf, found, label)) << place.zone;
    const auto cs2cs = testing::RunCommand("echo " + std::to_string(place.longitude) + " " +
                                           std::to_string(place.latitude) +
                                           " | cs2cs -f %.4f +proj=longlat +datum=NAD83 +to +proj=utm +zone=" +
                                           std::to_string(place.zone) + " +datum=NAD83");
    double easting = 0, northing = 0;
    ASSERT_EQ(std::sscanf(cs2cs.out.c_str(), "%lf %lf", &easting, &northing), 2) << cs2cs.err;
    EXPECT_NEAR(std::stod(found[1]), easting, 1e-3) << place.zone;
    EXPECT_NEAR(std::stod(found[2]), northing, 1e-3) << place.zone;
  }
}

TEST_F(KorvexaConvertPlssTest, ShiftsANad27LayerWithTheNadconGrids) {
  MakeState("EPSG:4267");
  const auto written = Convert("--township UT260030S0010W0,UT260020S0010W0 --output-dir out --no-dxf UT.gdb.zip");
  ASSERT_EQ(written.exitCode, 0) << written.err;
  const auto waypoints = Waypoints("out/UT260030S0010W0_UT260020S0010W0.gpx");
  ASSERT_EQ(waypoints.size(), 3u);
  EXPECT_EQ(std::get<2>(waypoints[0]), "T3SR1W-200200");
  const auto cs2cs = testing::RunCommand("echo 40.6 -111.9 | PROJ_DATA=" KORVEXA_SHIPPED_GRIDS
                                         ":/usr/share/proj cs2cs -f %.10f EPSG:4267 EPSG:4269");
  double latitude = 0, longitude = 0;
  ASSERT_EQ(std::sscanf(cs2cs.out.c_str(), "%lf %lf", &latitude, &longitude), 2) << cs2cs.out << cs2cs.err;
  EXPECT_NEAR(std::get<0>(waypoints[0]), latitude, 1e-7);
  EXPECT_NEAR(std::get<1>(waypoints[0]), longitude, 1e-7);
}

TEST_F(KorvexaConvertPlssTest, AnUnknownTownshipWritesNothing) {
  MakeState("EPSG:4269");
  const std::string before = testing::ListFolder(folder_.path());
  const auto refused = Convert("--township UT260020S0010W0,UT260090S0010W0 --no-dxf UT.gdb.zip");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_THAT(refused.err, ::testing::HasSubstr("UT260090S0010W0 is not a township"));
  EXPECT_EQ(testing::ListFolder(folder_.path()), before);
}

}  // namespace
}  // namespace korvexa
