// The point file of a data collector (".csv"): one row per corner in grid
// coordinates, as survey data collectors import it.
//
//   Point,Northing (ftUS),Easting (ftUS),Elevation (ftUS),Description   (the header, optional)
//   100100,1484651.232,1520741.981,1000.000,2.5 L001 SEC
//
// PNEZD (the default) or PENZD column order; comma-separated, CR LF after
// every row, plain ASCII. Northing, easting and elevation have three
// decimals, in the CRS's unit, which the header names: collectors do not
// read the .prj file, and an international-foot zone taken for US survey
// feet is 2 ppm off. Beside it, a ".prj" file names the CRS as WKT, so that
// GIS programs know the grid. The import layouts of the field software are
// in csv_layouts.h.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "writers/waypoint.h"

namespace korvexa {

enum class CsvColumns { Pnezd, Penzd };

struct CsvLayout {
  CsvColumns columns = CsvColumns::Pnezd;
  bool header = true;
};

// The most characters of a Description: a Carlson job (.crd) holds 31.
inline constexpr std::size_t kCsvDescriptionLimit = 31;

// One corner in the grid, every value in the CRS's linear unit.
struct CsvPoint {
  const Waypoint* corner = nullptr;  // the Point is its trimmed name, the Description its reliability and line codes
  double northing = 0;
  double easting = 0;
  double elevation = 0;
};

// The Description of `corner`: its reliability and line codes (up to the UTM columns some files add: the first
// number of five or more digits), every run of blanks one blank, at most
// kCsvDescriptionLimit characters (whole codes, unless one alone is
// longer). Commas and double quotes become blanks (Carlson SurvPC cannot
// read a quoted description), tabs and other control characters too, bytes
// beyond ASCII "?": the field never needs quoting.
std::string CsvDescription(const Waypoint& corner);

// The short name of a unit for the header: "ftUS" for "US survey foot",
// "ft" for "foot", "m" for "metre"; any other unit by its name.
std::string UnitSymbol(std::string_view unitName);

// `path` with its extension replaced by ".prj": "t12n.csv" -> "t12n.prj".
std::filesystem::path PrjPathOf(const std::filesystem::path& path);

// Writes `points` to `path` and `wkt` to the .prj file beside it (beside
// the file it points to when `path` is a link), both complete before either
// takes its name, and committed together (AtomicFile::CommitTogether); the
// header names the coordinates' unit `unitName` (UnitSymbol). A Point with a
// comma or a double quote is quoted, its quotes doubled; control bytes and
// bytes beyond ASCII are written as \xHH. Throws KorvexaError naming the
// file when one cannot be written; both then keep their old content.
void WritePointCsv(const std::filesystem::path& path, std::span<const CsvPoint> points, const CsvLayout& layout,
                   std::string_view unitName, std::string_view wkt);

}  // namespace korvexa
