#include "app/export/csv_export.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

#include "app/convert/waypoints.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"

namespace korvexa {
namespace {

constexpr double kMetresPerUsSurveyFoot = 1200.0 / 3937.0;

// The finished waypoints of the ticked corners, on the datum they are in.
WaypointList Corners(const PointList& points, bool transform, Services& services) {
  std::unique_ptr<CoordinateTransform> nad83;
  if (transform) nad83 = services.datum->DefineDatumPair();
  return BuildWaypoints(points, nad83.get(), kGpxElevationColumn);
}

// The box of `waypoints`, which lie within a few degrees of one another:
// longitudes taken on the turn of the first, so a township across 180
// degrees gives a box with west > east.
GeoBox BoxOf(std::span<const Waypoint> waypoints) {
  const double reference = WrappedEastLongitude(waypoints.front().point.Longitude);
  GeoBox box{reference, waypoints.front().point.Latitude, reference, waypoints.front().point.Latitude};
  for (const Waypoint& waypoint : waypoints) {
    const double east = NearestTurn(WrappedEastLongitude(waypoint.point.Longitude), reference);
    box.west = std::min(box.west, east);
    box.east = std::max(box.east, east);
    box.south = std::min(box.south, waypoint.point.Latitude);
    box.north = std::max(box.north, waypoint.point.Latitude);
  }
  box.west = WrapEast(box.west);
  box.east = WrapEast(box.east);
  return box;
}

// The corners' datum and box, and the grids that hold them when `candidates`
// asks for them (a CRS named by its code needs no search of the database).
GridOffer Offer(const WaypointList& corners, bool transform, GridSystems& grids, bool candidates) {
  if (corners.waypoints.empty()) throw KorvexaError("no ticked point can be written");
  GridOffer offer;
  offer.datum = transform ? PositionDatum::Nad83 : PositionDatum::Nad27;
  offer.township = BoxOf(corners.waypoints);
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
  const double feet = LxVal(LxColumns(waypoint.record, kGpxElevationColumn, kElevationLastColumn));
  return feet * kMetresPerUsSurveyFoot / crs.metresPerUnit;
}

std::vector<CsvPoint> Project(std::span<const Waypoint> waypoints, const GridProjection& projection) {
  std::vector<CsvPoint> rows;
  rows.reserve(waypoints.size());
  for (const Waypoint& waypoint : waypoints) {
    const std::optional<GridPoint> grid =
        projection.Project(EastLongitude(waypoint.point.Longitude), waypoint.point.Latitude);
    if (!grid) {
      throw KorvexaError("point " + TrimmedPointId(waypoint.record) + " cannot be projected to " +
                         projection.Crs().Label());
    }
    rows.push_back({waypoint.record, grid->northing, grid->easting, Elevation(waypoint, projection.Crs())});
  }
  return rows;
}

}  // namespace

GridOffer OfferGrids(const PointList& points, bool transform, Services& services, GridSystems& grids) {
  return Offer(Corners(points, transform, services), transform, grids, true);
}

ExportResult ExportCsv(const std::filesystem::path& path, const PointList& points, const CsvExportOptions& options,
                       Services& services, GridSystems& grids) {
  ExportResult result;
  result.outputPath = std::filesystem::absolute(path);
  if (result.outputPath.extension() == ".prj") {
    throw KorvexaError("\"" + path.string() + "\" is the name of the CRS file; choose another name for the points");
  }
  WaypointList corners = Corners(points, options.transform, services);
  std::string code = options.crs;
  const GridOffer offer = Offer(corners, options.transform, grids, code == "auto");
  if (code == "auto") {
    if (offer.systems.empty()) {
      throw KorvexaError("no State Plane or UTM zone holds the township (" + offer.township.Text() +
                         "); name a CRS with its EPSG code");
    }
    code = offer.systems.front().code;
    if (std::optional<std::string> doubt = ZoneDoubt(offer)) {
      *doubt += "; ";
      *doubt += offer.systems.front().Label();
      *doubt += offer.counties.empty() ? " was taken as the smallest: check the zone of the county"
                                       : " was taken, the zone of the middle: check the zone the job uses";
      result.notices.push_back({false, std::move(*doubt)});
    }
  }
  const GridProjection& projection = grids.Projection(code, offer.datum, offer.township);
  const std::vector<CsvPoint> rows = Project(corners.waypoints, projection);
  WritePointCsv(result.outputPath, rows, options.layout, projection.Crs().unitName, projection.Wkt());
  result.waypoints = rows.size();
  result.leftOut = std::move(corners.leftOut);
  if (!result.leftOut.empty()) result.notices.insert(result.notices.begin(), {false, LeftOutText(result.leftOut)});
  result.crsCode = projection.Crs().code;
  result.summary = projection.Crs().Label();
  result.status = ExportStatus(result, "created in " + result.summary);
  return result;
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
    return {grids.Projection(code, offer.datum, offer.township).Crs(), {}};
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
  std::string text = "the corners lie in the areas of use of ";
  text += std::to_string(zones.size());
  text += " State Plane zones (";
  for (std::size_t i = 0; i < zones.size(); ++i) {
    if (i > 0) text += ", ";
    text += zones[i];
  }
  text += ')';
  return text;
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
