// Small PLSS corner layers in BLM's published schema, made at test time
// with ogr2ogr from a CSV file written here.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvexa::testing {

struct PlssRow {
  std::string plssId;
  std::string pointLab;
  std::string pointId;
  double x = 0;  // in the layer's CRS
  double y = 0;
  std::optional<double> z;
  std::optional<double> elev;
  std::string relyText;
  std::optional<double> errorX;
  std::optional<double> errorY;
};

struct PlssLayerRecipe {
  std::string driver = "OpenFileGDB";  // or "ESRI Shapefile", "GPKG"
  std::string layer = "PLSSPoint";
  std::string crs = "EPSG:4269";       // empty: none
  bool lowerCaseFields = false;
  std::string ogr2ogrOptions;          // more, as "-lco FEATURE_DATASET=CadastralReference"
};

// Makes the data set `target` with one point layer of `rows`; a second call
// with "-update" in the options adds a layer. Fails the test when ogr2ogr does.
void MakePlssLayer(const std::filesystem::path& target, const std::vector<PlssRow>& rows, const PlssLayerRecipe& recipe);

// Zips `items` (folders or files of one folder) into `zip`, at its first level.
void ZipItems(const std::vector<std::filesystem::path>& items, const std::filesystem::path& zip);

}  // namespace korvexa::testing
