#include "writers/csv_layouts.h"

#include <algorithm>

namespace korvexa {
namespace {

// Carlson SurvCE and SurvPC, File > Import, "User Defined" ASCII with a
// comma-separated format such as Pt,N,E,Z,Desc, each line a point (no row
// is skipped), and a description read as it stands ("Skip First Character
// from the Imported DESC" is how SurvPC copes with a quoted one):
//   http://update.carlsonsw.com/manuals/SurvCE/online/source/ImportExportASCIIFile.html
//   https://help.carlsonsw.com/en/survpc/main-menu/file/import/import.html
// A Carlson .crd job holds descriptions of 31 characters:
//   https://blog.ashgps.com/2022/09/27/carlsons-crdb-format-notes/
//
// Trimble Access, Job > Import, the predefined "CSV Grid points N-E":
// "Point Name, Northing, Easting, Elevation, Code", every row a point:
//   https://help.fieldsystems.trimble.com/trimble-access/latest/en/job-import-file-formats.htm
//
// Topcon MAGNET Field and MAGNET Tools (the office side, with the same
// import formats), Import, the coordinate file format "Name,N,E,Z,Code",
// comma-delimited, holding only the coordinates:
//   http://38.142.81.21:8001/manual/topcon/61067-sursk/product-manual-english/page-186.html
constexpr CollectorLayout kLayouts[] = {
    {"carlson", "Carlson SurvCE / SurvPC", "Pt,N,E,Z,Desc", {CsvColumns::Pnezd, false}},
    {"trimble", "Trimble Access", "Point Name,Northing,Easting,Elevation,Code", {CsvColumns::Pnezd, false}},
    {"magnet", "Topcon Magnet Field", "Name,N,E,Z,Code", {CsvColumns::Pnezd, false}},
};

}  // namespace

std::span<const CollectorLayout> CollectorLayouts() {
  return kLayouts;
}

std::optional<CollectorLayout> CollectorLayoutOf(std::string_view key) {
  const auto* found =
      std::find_if(std::begin(kLayouts), std::end(kLayouts), [&](const CollectorLayout& l) { return l.key == key; });
  if (found == std::end(kLayouts)) return std::nullopt;
  return *found;
}

}  // namespace korvexa
