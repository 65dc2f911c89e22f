#include "tests/support/plss_dataset.h"

#include <gtest/gtest.h>

#include <cctype>
#include <iomanip>
#include <sstream>

#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa::testing {
namespace {

std::string Number(const std::optional<double>& value) {
  if (!value) return "";
  std::ostringstream text;
  text << std::setprecision(17) << *value;
  return text.str();
}

}  // namespace

void MakePlssLayer(const std::filesystem::path& target, const std::vector<PlssRow>& rows, const PlssLayerRecipe& recipe) {
  TempFolder csvFolder;
  std::string header = "PLSSID,POINTID,POINTLAB,X,Y,ZCOORD,ELEV,RELYTXT,ERRORX,ERRORY";
  if (recipe.lowerCaseFields) {
    for (char& c : header) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  std::string csv = header + "\n";
  for (const PlssRow& row : rows) {
    csv += row.plssId + "," + row.pointId + "," + row.pointLab + "," + Number(row.x) + "," + Number(row.y) + "," +
           Number(row.z) + "," + Number(row.elev) + "," + row.relyText + "," + Number(row.errorX) + "," +
           Number(row.errorY) + "\n";
  }
  const std::filesystem::path source = csvFolder / (recipe.layer + ".csv");
  WriteBytes(source, csv);
  WriteBytes(csvFolder / (recipe.layer + ".csvt"), "String,String,String,Real,Real,Real,Real,String,Real,Real\n");
  const std::string command = "ogr2ogr -f " + ShellQuoted(recipe.driver) + " " + recipe.ogr2ogrOptions + " " +
                              (recipe.crs.empty() ? "" : "-a_srs " + recipe.crs + " ") + "-nln " + recipe.layer +
                              " -nlt POINT -oo KEEP_GEOM_COLUMNS=NO -oo X_POSSIBLE_NAMES=" + (recipe.lowerCaseFields ? "x" : "X") +
                              " -oo Y_POSSIBLE_NAMES=" + (recipe.lowerCaseFields ? "y" : "Y") + " " +
                              ShellQuoted(target.string()) + " " + ShellQuoted(source.string()) + " 2>&1";
  const CommandOutput made = RunCommand(command);
  ASSERT_EQ(made.exitCode, 0) << command << "\n" << made.out;
}

void ZipItems(const std::vector<std::filesystem::path>& items, const std::filesystem::path& zip) {
  std::string names;
  for (const std::filesystem::path& item : items) {
    names += ' ';  // appended: GCC 12 warns wrongly about " " + string in Release
    names += ShellQuoted(item.filename().string());
  }
  const CommandOutput zipped = RunCommand("cd " + ShellQuoted(items.front().parent_path().string()) +
                                          " && python3 -m zipfile -c " + ShellQuoted(zip.string()) + names + " 2>&1");
  ASSERT_EQ(zipped.exitCode, 0) << zipped.out;
}

}  // namespace korvexa::testing
