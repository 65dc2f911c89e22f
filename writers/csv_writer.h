// The point file of a data collector (".csv"): one row per corner in grid
// coordinates, as survey data collectors import it.
//
//   Point,Northing,Easting,Elevation,Description      (the header, optional)
//   100100,1484651.232,1520741.981,1000.000,2.5 L001 SEC
//
// PNEZD (the default) or PENZD column order; comma-separated, CR LF after
// every row, plain ASCII. Northing, easting and elevation have three
// decimals, in the CRS's unit. Beside it, a ".prj" file names the CRS as WKT,
// so that GIS programs know the grid.
#pragma once

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

// One corner in the grid, every value in the CRS's linear unit.
struct CsvPoint {
  const Waypoint* corner = nullptr;  // the Point is its trimmed name, the Description its reliability and line codes
  double northing = 0;
  double easting = 0;
  double elevation = 0;
};

// The Description of `corner`: its reliability and line codes, each without
// surrounding blanks, joined by a blank;
// tabs and other control characters become blanks and bytes beyond ASCII
// "?", so that every row is plain ASCII.
std::string CsvDescription(const Waypoint& corner);

// `path` with its extension replaced by ".prj": "t12n.csv" -> "t12n.prj".
std::filesystem::path PrjPathOf(const std::filesystem::path& path);

// Writes `points` to `path` and `wkt` to PrjPathOf(path), each atomically,
// both complete before either takes its name. A field holding a comma or a
// double quote is quoted, its quotes doubled. Throws KorvexaError naming the
// file when one cannot be written; the targets then keep their old content
// (unless the second rename alone fails, which leaves the new .prj file).
void WritePointCsv(const std::filesystem::path& path, std::span<const CsvPoint> points, const CsvLayout& layout,
                   std::string_view wkt);

}  // namespace korvexa
