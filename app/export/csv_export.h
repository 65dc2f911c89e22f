// File > Export > "Point file for a data collector (CSV)..." and
// korvexa-convert --format csv: the ticked corners in a State Plane or UTM
// grid, with the CRS beside them in a .prj file.
//
// The corners are the finished waypoints of every output (app/convert/waypoints.h:
// the same points left out, the same NADCON shift), projected with PROJ into
// the chosen CRS (transform/grid_crs.h): NAD83 CRSs after the shift, NAD27
// ones when the transformation is off. The CRS is checked against the corners
// before anything is written: a CRS refused writes neither file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/export/export_result.h"
#include "core/point_list.h"
#include "transform/grid_crs.h"
#include "writers/csv_writer.h"

namespace korvexa {

struct Services;

// The grids offered for a township, best guess first (GridSystems::Candidates),
// and the corners' datum and extent they were chosen for.
struct GridOffer {
  PositionDatum datum = PositionDatum::Nad83;
  GeoBox township;               // of the corners to be written
  std::vector<GridCrs> systems;  // empty when no zone holds the township
};

// The grids for the ticked corners of `points`, moved to NAD83 first when
// `transform` is set. Throws NothingToWrite when no ticked corner can be
// written, or KorvexaError as BuildWaypoints and GridSystems::Candidates.
GridOffer OfferGrids(const PointList& points, bool transform, Services& services, GridSystems& grids);

struct CsvExportOptions {
  std::string crs = "auto";  // "EPSG:2258", "2258", or "auto": the best guess of OfferGrids
  CsvLayout layout;
  bool transform = true;   // NAD27 to NAD83 before the projection
  std::string namePrefix;  // before every point name (NamingRule)
};

// Writes the ticked corners of `points` to `path` (and its .prj file) in
// the CRS of `options`. With "auto", a township in the areas of several
// State Plane zones gets a notice naming them (the guess may be the wrong
// one). Throws NothingToWrite when nothing usable is ticked, and
// KorvexaError naming the CRS or the file and the reason, or the names that
// stand twice (a data collector keys on them); nothing is written then.
ExportResult ExportCsv(const std::filesystem::path& path, const PointList& points, const CsvExportOptions& options,
                       Services& services, GridSystems& grids);

// When the corners of `offer` lie in the areas of use of several State
// Plane zones (areas are boxes and overlap at zone borders, so the best
// guess may be the neighbouring zone): "the corners lie in the areas of use
// of 2 State Plane zones (NAD83 / New Mexico East, NAD83 / New Mexico
// Central)", without its full stop. Nothing otherwise.
std::optional<std::string> ZoneDoubt(const GridOffer& offer);

// One line per grid of `offer`: "EPSG:2258  NAD83 / New Mexico Central
// (ftUS)  US survey foot", the best guess marked " (best guess)".
std::string GridListText(const GridOffer& offer);

}  // namespace korvexa
