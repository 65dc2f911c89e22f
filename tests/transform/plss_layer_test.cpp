#include "transform/plss_layer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "core/korvexa_error.h"
#include "tests/support/plss_dataset.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;
using testing::PlssRow;

constexpr const char* kT2S = "UT260020S0010W0";
constexpr const char* kT3S = "UT260030S0010W0";

std::vector<PlssRow> Corners() {
  return {{kT2S, "100540", "UT260020S0010W0_100540", -111.9012345678, 40.6512345678, 4321.5, 4400, "Good", 3.24, 1.5},
          {kT2S, "", "UT260020S0010W0_100100", -111.95, 40.7, 0, 4400, "", std::nullopt, std::nullopt},
          {kT3S, "200200", "", -111.9, 40.6, std::nullopt, std::nullopt, "Poor", std::nullopt, 12.0}};
}

testing::PlssLayerRecipe Spec(std::string driver, std::string crs = "EPSG:4269", std::string layer = "PLSSPoint",
                           std::string options = "") {
  testing::PlssLayerRecipe recipe;
  recipe.driver = std::move(driver);
  recipe.crs = std::move(crs);
  recipe.layer = std::move(layer);
  recipe.ogr2ogrOptions = std::move(options);
  return recipe;
}

PlssRow At(std::string plssId, std::string label, double x, double y) {
  PlssRow row;
  row.plssId = std::move(plssId);
  row.pointLab = std::move(label);
  row.x = x;
  row.y = y;
  return row;
}

std::string ThrownBy(const std::function<void()>& run) {
  try {
    run();
  } catch (const KorvexaError& error) {
    return error.what();
  }
  return "nothing thrown";
}

class PlssLayerTest : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
};

TEST_F(PlssLayerTest, ReadsAZippedGeodatabaseInItsFeatureDataset) {
  const auto gdb = folder_ / "UT_CadNSDI.gdb";
  testing::MakePlssLayer(gdb, Corners(), Spec("OpenFileGDB", "EPSG:4269", "PLSSPoint", "-lco FEATURE_DATASET=CadastralReference"));
  testing::ZipItems({gdb}, folder_ / "UT_CadNSDI.gdb.zip");
  std::filesystem::remove_all(gdb);
  PlssLayer layer(folder_ / "UT_CadNSDI.gdb.zip");
  EXPECT_EQ(layer.LayerName(), "PLSSPoint");
  EXPECT_EQ(layer.GeographicDatum(), Datum::Nad83);
  EXPECT_EQ(layer.DatumNotice(), "");
  const std::vector<PlssTownshipCount> townships = layer.Townships();
  ASSERT_EQ(townships.size(), 2u);
  EXPECT_EQ(townships[0].plssId, kT2S);
  EXPECT_EQ(townships[0].corners, 2u);
  EXPECT_EQ(townships[1].corners, 1u);
  const std::vector<std::string> ids{kT3S, kT2S};
  const std::vector<PlssCorner> corners = layer.Corners(ids);
  ASSERT_EQ(corners.size(), 3u);
  EXPECT_EQ(corners[0].name, "200200");
  EXPECT_EQ(corners[0].elevationFeet, std::nullopt);
  EXPECT_EQ(corners[0].reliability, "Poor ±12 ft");
  EXPECT_EQ(corners[1].name, "100100");  // from POINTID, sorted before 100540
  EXPECT_EQ(corners[1].elevationFeet, 4400);  // ZCOORD 0 is not set
  EXPECT_EQ(corners[1].reliability, "");
  EXPECT_EQ(corners[2].name, "100540");
  EXPECT_EQ(corners[2].elevationFeet, 4321.5);
  EXPECT_EQ(corners[2].reliability, "Good ±3.2 ft");
  ASSERT_TRUE(corners[2].position);
  // The file geodatabase keeps geographic coordinates to 1e-9 degrees.
  EXPECT_NEAR(corners[2].position->longitude, -111.9012345678, 1e-9);
  EXPECT_NEAR(corners[2].position->latitude, 40.6512345678, 1e-9);
  EXPECT_TRUE(layer.Corners(std::vector<std::string>{"UT260090S0010W0"}).empty());
  EXPECT_EQ(layer.SectionLines(ids), std::nullopt);
}

TEST_F(PlssLayerTest, ReadsAZippedShapefileWithLowerCaseFields) {
  const auto shp = folder_ / "corners.shp";
  testing::PlssLayerRecipe recipe = Spec("ESRI Shapefile", "EPSG:4269", "corners");
  recipe.lowerCaseFields = true;
  testing::MakePlssLayer(shp, Corners(), recipe);
  testing::ZipItems({folder_ / "corners.shp", folder_ / "corners.shx", folder_ / "corners.dbf", folder_ / "corners.prj"},
                    folder_ / "corners.zip");
  for (const auto& path : {shp, folder_ / "corners.zip"}) {
    PlssLayer layer(path);
    EXPECT_EQ(layer.Townships().size(), 2u) << path;
    EXPECT_EQ(layer.Corners(std::vector<std::string>{kT2S})[0].name, "100100") << path;
  }
}

TEST_F(PlssLayerTest, UnprojectsAStatePlaneLayerAsCs2csDoes) {
  const auto gpkg = folder_ / "mt.gpkg";
  // NAD83 / Montana, metres.
  testing::MakePlssLayer(gpkg, {At("MT200010N0010E0", "100100", 400123.456, 150234.567),
                                At("MT200010N0010E0", "100200", 612345.678, 350123.456)},
                         Spec("GPKG", "EPSG:32100"));
  const testing::CommandOutput cs2cs = testing::RunCommand(
      "printf '400123.456 150234.567\\n612345.678 350123.456\\n' | cs2cs -f %.10f EPSG:32100 EPSG:4269");
  ASSERT_EQ(cs2cs.exitCode, 0);
  std::istringstream expected(cs2cs.out);
  PlssLayer layer(gpkg);
  for (const PlssCorner& corner : layer.Corners(std::vector<std::string>{"MT200010N0010E0"})) {
    double latitude = 0, longitude = 0, height = 0;
    expected >> latitude >> longitude >> height;
    EXPECT_NEAR(corner.position->latitude, latitude, 1e-7) << corner.name;
    EXPECT_NEAR(corner.position->longitude, longitude, 1e-7) << corner.name;
  }
}

struct DatumCase {
  const char* crs;
  Datum datum;
  const char* notice;
};

class PlssLayerDatum : public PlssLayerTest, public ::testing::WithParamInterface<DatumCase> {};

TEST_P(PlssLayerDatum, KeepsTheLayersDatumAndSaysWhatItTakesAsNad83) {
  const auto gpkg = folder_ / "layer.gpkg";
  testing::MakePlssLayer(gpkg, Corners(), Spec("GPKG", GetParam().crs));
  PlssLayer layer(gpkg);
  EXPECT_EQ(layer.GeographicDatum(), GetParam().datum);
  EXPECT_THAT(layer.DatumNotice(), HasSubstr(GetParam().notice));
  const PlssCorner corner = layer.Corners(std::vector<std::string>{kT3S}).at(0);
  EXPECT_DOUBLE_EQ(corner.position->longitude, -111.9);  // never shifted here
}

INSTANTIATE_TEST_SUITE_P(Datums, PlssLayerDatum,
                         ::testing::Values(DatumCase{"EPSG:4267", Datum::Nad27, ""},
                                           DatumCase{"EPSG:4152", Datum::Nad83, "High_Accuracy"},
                                           DatumCase{"EPSG:6318", Datum::Nad83, "2011"},
                                           DatumCase{"EPSG:4326", Datum::Nad83, "within about a metre"}));

TEST_F(PlssLayerTest, RefusesWhatItCannotRead) {
  for (const char* noCrs : {"nocrs.gpkg", "nocrs.shp"}) {
    testing::MakePlssLayer(folder_ / noCrs, Corners(), Spec(noCrs[6] == 'g' ? "GPKG" : "ESRI Shapefile", ""));
    EXPECT_THAT(ThrownBy([&] { PlssLayer{folder_ / noCrs}; }), HasSubstr("has no coordinate system")) << noCrs;
  }

  const auto other = folder_ / "other.gpkg";
  testing::MakePlssLayer(other, Corners(), Spec("GPKG", "EPSG:4269", "Roads", "-select PLSSID,RELYTXT"));
  testing::MakePlssLayer(other, Corners(), Spec("GPKG", "EPSG:4269", "Rivers", "-update -select RELYTXT"));
  EXPECT_THAT(ThrownBy([&] { PlssLayer{other}; }), ::testing::AllOf(HasSubstr("no PLSS corner layer"),
                                                                     HasSubstr("its layers: Roads, Rivers")));
  EXPECT_THAT(ThrownBy([&] { PlssLayer{folder_ / "missing.gdb"}; }), HasSubstr("does not exist"));

  testing::WriteBytes(folder_ / "corrupt.gpkg", std::string(4096, 'x'));
  EXPECT_THAT(ThrownBy([&] { PlssLayer{folder_ / "corrupt.gpkg"}; }), HasSubstr("corrupt.gpkg\": "));
  testing::WriteBytes(folder_ / "corrupt.zip", "PK\x03\x04 not really");
  EXPECT_THAT(ThrownBy([&] { PlssLayer{folder_ / "corrupt.zip"}; }), HasSubstr("corrupt.zip\""));
}

TEST_F(PlssLayerTest, TakesTheSectionLinesFromTheFirstDivisionPolygons) {
  const auto gpkg = folder_ / "sections.gpkg";
  testing::MakePlssLayer(gpkg, Corners(), Spec("GPKG"));
  testing::WriteBytes(folder_ / "sections.csv",
                      "PLSSID,WKT\nUT260020S0010W0,\"POLYGON ((-112 40,-111.9 40,-111.9 40.1,-112 40))\"\n"
                      "UT260030S0010W0,\"POLYGON ((-112 39,-111.9 39,-111.9 39.1,-112 39))\"\n");
  ASSERT_EQ(testing::RunCommand("ogr2ogr -update -a_srs EPSG:4269 -nln PLSSFirstDivision " + gpkg.string() + " " +
                                (folder_ / "sections.csv").string())
                .exitCode,
            0);
  PlssLayer layer(gpkg);
  const auto lines = layer.SectionLines(std::vector<std::string>{kT2S});
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 1u);
  ASSERT_EQ(lines->front().size(), 4u);
  EXPECT_DOUBLE_EQ(lines->front()[2].latitude, 40.1);
}

TEST_F(PlssLayerTest, AnEmptyLayerHasNoTownships) {
  const auto gdb = folder_ / "empty.gdb";
  testing::MakePlssLayer(gdb, {}, Spec("OpenFileGDB"));
  PlssLayer layer(gdb);
  EXPECT_TRUE(layer.Townships().empty());
}

}  // namespace
}  // namespace korvexa
