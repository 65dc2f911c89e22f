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

#include "app/convert/waypoints.h"
#include "app/export/export_result.h"
#include "core/point_list.h"
#include "transform/county_zones.h"
#include "transform/grid_crs.h"
#include "writers/csv_writer.h"

namespace korvexa {

struct Services;

// The grids offered for a township, best guess first (GridSystems::Candidates),
// and the corners' datum and extent they were chosen for.
struct GridOffer {
  Datum datum = Datum::Nad83;
  GeoBox township;                   // of the corners to be written
  std::vector<GridCrs> systems;      // empty when no zone holds the township
  std::vector<CountyZone> counties;  // the zones of its counties, the middle's first (CountyZonesOf)
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
// the CRS of `options`. With "auto", a township that straddles a zone line
// (or, without a county, lies in the areas of several State Plane zones)
// gets a notice naming the zones. Throws NothingToWrite when nothing usable
// is ticked, and KorvexaError naming the CRS or the file and the reason, or
// the names that stand twice (a data collector keys on them); nothing is
// written then.
ExportResult ExportCsv(const std::filesystem::path& path, const PointList& points, const CsvExportOptions& options,
                       Services& services, GridSystems& grids);

// ExportCsv for the finished waypoints of another source of corners, on
// NAD83 when `options.transform` is set and NAD27 otherwise.
ExportResult ExportCsv(const std::filesystem::path& path, WaypointList corners, const CsvExportOptions& options,
                       GridSystems& grids);

// What the grid a user names does with the corners of an offer: the CRS, or
// why it cannot take them.
struct GridCheck {
  std::optional<GridCrs> crs;
  std::string refusal;  // when there is no CRS: "EPSG:2257 NAD83 / New Mexico East (ftUS) does not hold ..."
};

// Checks `code` ("EPSG:2258", "2258") for the corners of `offer` as
// ExportCsv would, without writing: the same refusals GridSystems gives.
GridCheck CheckGrid(const std::string& code, const GridOffer& offer, GridSystems& grids);

// Why the first grid of `offer` may be the wrong zone, without its full stop:
// the township straddles a zone line (its counties lie in different State
// Plane zones), the county at its middle lies in two zones (NAD27 Michigan's
// two systems), or, without a county, it lies in the areas of use of several
// zones (areas are boxes and overlap at zone borders). Nothing otherwise.
std::optional<std::string> ZoneDoubt(const GridOffer& offer);

// One line per grid of `offer` ("EPSG:2258  NAD83 / New Mexico Central
// (ftUS)  US survey foot"), the first marked as the best guess.
std::string GridListText(const GridOffer& offer);

}  // namespace korvexa
