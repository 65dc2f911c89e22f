#include "app/export/csv_export.h"

#include <algorithm>
#include <memory>
#include <span>

#include "app/export/export_step.h"
#include "app/services.h"
#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"

namespace korvexa {
namespace {

// The corners' datum and box, and the grids that hold them when `candidates`
// asks for them (a CRS named by its code needs no search of the database).
GridOffer Offer(std::span<const Waypoint> corners, bool transform, GridSystems& grids, bool candidates) {
  GridOffer offer;
  offer.datum = transform ? Datum::Nad83 : Datum::Nad27;
  offer.township = WaypointBox(corners);
  if (candidates) {
    offer.systems = grids.Candidates(offer.datum, offer.township);
    offer.counties = CountyZonesOf(offer.datum, offer.township, CountyBoundaries());
  }
  return offer;
}

// The elevation in the grid's unit. From the record's own US survey feet,
// not from the waypoint's whole metres: a data collector's elevation keeps
// the three decimals the file gives.
double Elevation(const Waypoint& waypoint, const GridCrs& crs) {
  return waypoint.elevationFeet * kMetresPerUsSurveyFoot / crs.metresPerUnit;
}

std::vector<CsvPoint> Project(std::span<const Waypoint> waypoints, const ChosenGrid& grid) {
  std::vector<CsvPoint> rows;
  rows.reserve(waypoints.size());
  for (const Waypoint& waypoint : waypoints) {
    const std::optional<PlanePoint> plane = grid.projection.Forward(waypoint.position);
    if (!plane) {
      throw KorvexaError("point " + std::string(TrimBlanks(waypoint.name)) + " cannot be projected to " +
                         grid.crs.Label());
    }
    rows.push_back({&waypoint, plane->y, plane->x, Elevation(waypoint, grid.crs)});
  }
  return rows;
}

// The best guess of `offer`, with a notice in `result` when it may be the
// neighbouring zone.
std::string AutoCode(const GridOffer& offer, ExportResult& result) {
  if (offer.systems.empty()) {
    throw KorvexaError("no State Plane or UTM zone holds the township (" + offer.township.Text() +
                       "); name a CRS with its EPSG code");
  }
  if (std::optional<std::string> doubt = ZoneDoubt(offer)) {
    *doubt += "; ";
    *doubt += offer.systems.front().Label();
    *doubt += offer.counties.empty() ? " was taken as the smallest: check the zone of the county"
                                     : " was taken, the zone of the middle: check the zone the job uses";
    result.notices.push_back({false, std::move(*doubt)});
  }
  return offer.systems.front().code;
}

}  // namespace

GridOffer OfferGrids(const PointList& points, bool transform, Services& services, GridSystems& grids) {
  std::unique_ptr<CoordinateTransform> nad83;
  if (transform) nad83 = services.datum->DefineDatumPair();
  return Offer(UsableWaypoints(points, kGpxElevationColumn, nad83.get()).waypoints, transform, grids, true);
}

namespace {

void RequireNoPrjName(const std::filesystem::path& path) {
  if (path.extension() == ".prj") {
    throw KorvexaError("\"" + path.string() + "\" is the name of the CRS file; choose another name for the points");
  }
}

// Writes the finished waypoints to `path` and its .prj file in the CRS of `options`.
WriteStep CsvStep(const std::filesystem::path& path, const CsvExportOptions& options, GridSystems& grids) {
  return [&path, &options, &grids](const FinishedWaypoints& finished, ExportResult& result) {
    std::string code = options.crs;
    const GridOffer offer = Offer(finished.waypoints, options.transform, grids, code == "auto");
    if (code == "auto") code = AutoCode(offer, result);
    const ChosenGrid& grid = grids.Choose(code, offer.datum, offer.township);
    const std::vector<CsvPoint> rows = Project(finished.waypoints, grid);
    result.outputPath = path;
    WritePointCsv(std::filesystem::absolute(path), rows, options.layout, grid.crs.unitName, grid.wkt);
    result.crsCode = grid.crs.code;
    result.summary = grid.crs.Label();
    return "created in " + result.summary;
  };
}

}  // namespace

ExportResult ExportCsv(const std::filesystem::path& path, const PointList& points, const CsvExportOptions& options,
                       Services& services, GridSystems& grids) {
  RequireNoPrjName(path);
  const Datum datum = options.transform ? Datum::Nad83 : Datum::Nad27;
  return RunExport(points, datum, kGpxElevationColumn, {options.namePrefix, true}, services,
                   CsvStep(path, options, grids));
}

ExportResult ExportCsv(const std::filesystem::path& path, WaypointList corners, const CsvExportOptions& options,
                       GridSystems& grids) {
  RequireNoPrjName(path);
  return RunExport(std::move(corners), {options.namePrefix, true}, CsvStep(path, options, grids));
}

namespace {

std::string CountyText(const County& county) {
  return county.name + ", " + county.state;
}

// The zone of the first grid of `offer` when it is the zone of the county
// at the township's middle.
const CountyZone* GuessedCounty(const GridOffer& offer) {
  if (offer.systems.empty() || offer.counties.empty() || !offer.counties.front().middle) return nullptr;
  const GridCrs& guess = offer.systems.front();
  return guess.name.substr(0, guess.name.find(" (")) == offer.counties.front().zone ? &offer.counties.front() : nullptr;
}

}  // namespace

GridCheck CheckGrid(const std::string& code, const GridOffer& offer, GridSystems& grids) {
  try {
    return {grids.Choose(code, offer.datum, offer.township).crs, {}};
  } catch (const KorvexaError& error) {
    return {std::nullopt, error.what()};
  }
}

std::optional<std::string> ZoneDoubt(const GridOffer& offer) {
  if (offer.counties.size() >= 2) {
    // NAD27 Michigan has two systems over the same counties: no line is straddled then.
    const bool straddles = !offer.counties.back().middle;
    std::string text = straddles ? "the township straddles a State Plane zone line: "
                                 : "the county at the township's middle lies in more than one State Plane zone: ";
    for (std::size_t i = 0; i < offer.counties.size(); ++i) {
      const CountyZone& zone = offer.counties[i];
      if (i > 0) text += ", ";
      text += zone.zone + " (" + CountyText(zone.county) + (zone.middle ? ", at its middle)" : ")");
    }
    return text;
  }
  if (!offer.counties.empty()) return std::nullopt;
  std::vector<std::string> zones;
  for (const GridCrs& crs : offer.systems) {
    const std::string zone = crs.name.substr(0, crs.name.find(" ("));
    if (!crs.utm && std::find(zones.begin(), zones.end(), zone) == zones.end()) zones.push_back(zone);
  }
  if (zones.size() < 2) return std::nullopt;
  std::string names;
  for (const std::string& zone : zones) names += (names.empty() ? "" : ", ") + zone;
  return "the corners lie in the areas of use of " + std::to_string(zones.size()) + " State Plane zones (" + names +
         ")";
}

std::string GridListText(const GridOffer& offer) {
  std::string text;
  for (std::size_t i = 0; i < offer.systems.size(); ++i) {
    const GridCrs& crs = offer.systems[i];
    text += crs.code + "  " + crs.name + "  " + crs.unitName;
    if (i == 0) {
      const CountyZone* county = GuessedCounty(offer);
      text += county != nullptr ? " (best guess: the zone of " + CountyText(county->county) + ")" : " (best guess)";
    }
    text += '\n';
  }
  return text;
}

}  // namespace korvexa
