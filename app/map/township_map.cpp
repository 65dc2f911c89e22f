#include "app/map/township_map.h"

#include <exception>
#include <unordered_map>
#include <utility>

#include "app/convert/plss_drawing.h"
#include "app/convert/plss_township.h"
#include "app/convert/township_drawing.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "core/number_text.h"
#include "core/usable_point.h"

namespace korvexa {
namespace {

void CountNotShown(TownshipMap& map, const PointList& list) {
  std::vector<bool> shown(list.size(), false);
  for (std::size_t entry : map.entryOf) {
    if (entry != kNoListEntry) shown[entry] = true;
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (shown[i]) continue;
    if (WhyCoordinatesUnusable(list[i].line)) {
      ++map.withoutCoordinates;
    } else {
      ++map.farOff;
    }
  }
}

// The waypoints of the corners of `townships`, each made alone as every
// output makes it, with the list entry (the corner's index) of each.
std::vector<std::pair<std::size_t, Waypoint>> CornerWaypoints(const PlssTownships& townships,
                                                              const CoordinateTransform* nad83) {
  std::vector<std::pair<std::size_t, Waypoint>> waypoints;
  PlssTownships one{townships.plssIds, {}, townships.datum, {}, std::nullopt};
  for (std::size_t i = 0; i < townships.corners.size(); ++i) {
    one.corners = {townships.corners[i]};
    WaypointList made = PlssWaypoints(one, {}, nad83);
    if (!made.waypoints.empty()) waypoints.emplace_back(i, std::move(made.waypoints.front()));
  }
  return waypoints;
}

// Ties the drawing's points to the corners: the drawing adds a point for
// each waypoint in order, at its very position, unless one lies within 1 cm
// (or PROJ cannot project it, which the zone's own corners never meet).
void TieCorners(TownshipMap& map, std::vector<std::pair<std::size_t, Waypoint>>& corners) {
  std::size_t point = 0;
  for (auto& [entry, waypoint] : corners) {
    const bool drawn = point < map.township.points.size() &&
                       map.township.points[point].east == waypoint.position.longitude &&
                       map.township.points[point].north == waypoint.position.latitude;
    if (!drawn) {
      ++map.samePlace;
      continue;
    }
    ++point;
    map.entryOf.push_back(entry);
    map.waypoints.push_back(std::move(waypoint));
  }
  map.township.points.resize(point);  // the section lines' own vertices are no corners
}

CornerFacts WaypointFacts(const Waypoint& waypoint) {
  return {waypoint.name,
          "NAD83",
          waypoint.position.latitude,
          waypoint.position.longitude,
          NumberText(waypoint.elevationFeet),
          waypoint.elevation,
          waypoint.reliability};
}

// Moves the township's segments into its lines, which hold them from then on.
void TakeLines(TownshipMap& map) {
  map.lines = MapLines(map.township);
  std::vector<TownshipSegment>().swap(map.township.segments);
}

// Indexes the township's points, as they are once the map is made.
void IndexPoints(TownshipMap& map) {
  std::vector<PlanePoint> positions;
  positions.reserve(map.township.points.size());
  for (const TownshipPoint& point : map.township.points) positions.push_back({point.x, point.y});
  map.grid = PointGrid(std::move(positions));
  map.spacing = map.grid.TypicalSpacing();
}

}  // namespace

TownshipMap BuildTownshipMap(std::string_view text, const std::string& fileName, const PointList& list) {
  TownshipMap map;
  std::vector<std::string_view> keys;
  try {
    UtmProjections projections;
    map.township = ProjectTownship(text, fileName, projections, &keys).township;
  } catch (const std::exception& error) {
    map.problem = error.what();
  }
  std::unordered_map<std::string_view, std::size_t> entryOfKey;
  entryOfKey.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) entryOfKey.emplace(DuplicateKey(list[i].line), i);
  map.entryOf.reserve(map.township.points.size());
  for (std::size_t i = 0; i < map.township.points.size(); ++i) {
    const auto found = entryOfKey.find(keys[i]);
    map.entryOf.push_back(found == entryOfKey.end() ? kNoListEntry : found->second);
  }
  IndexPoints(map);
  TakeLines(map);
  CountNotShown(map, list);
  return map;
}

TownshipMap BuildPlssTownshipMap(const PlssTownships& townships, const CoordinateTransform* nad83) {
  TownshipMap map;
  try {
    std::vector<std::pair<std::size_t, Waypoint>> corners = CornerWaypoints(townships, nad83);
    map.leftOut = townships.corners.size() - corners.size();
    std::vector<Waypoint> waypoints;
    for (const auto& corner : corners) waypoints.push_back(corner.second);
    map.township = PlssDrawing(townships, waypoints);
    TakeLines(map);  // before the section lines' own vertices go
    TieCorners(map, corners);
  } catch (const std::exception& error) {
    map = TownshipMap{};
    map.problem = error.what();
  }
  IndexPoints(map);
  return map;
}

CornerFacts DescribeCorner(const TownshipMap& map, const PointList& list, std::size_t corner,
                           const CoordinateTransform* nad83) {
  if (!map.waypoints.empty()) return WaypointFacts(map.waypoints[corner]);
  const TownshipPoint& point = map.township.points[corner];
  CornerFacts facts{point.id, "NAD27", point.north, point.east, {}, std::nullopt, {}};
  const std::optional<std::size_t> entry = ListEntryOf(map, list, corner);
  if (!entry) return facts;
  const LxRecord record = list[*entry].line;
  if (nad83 != nullptr) {
    try {
      const LxPoint moved = DecodeLxPoint(record, nad83);
      facts.datum = "NAD83";
      facts.latitude = moved.Latitude;
      facts.longitude = EastLongitude(moved.Longitude);
    } catch (const std::exception&) {
      // A corner the shift cannot move keeps its NAD27 position, named so.
    }
  }
  facts.elevationFeet = TrimBlanks(LxColumns(record, kGpxElevationColumn, kElevationLastColumn));
  facts.reliability = TrimBlanks(ReliabilityOf(record));
  try {
    facts.elevationMetres = DecodeElevation(record, kGpxElevationColumn);
  } catch (const std::exception&) {
    // An elevation no decoder accepts is shown as written only.
  }
  return facts;
}

}  // namespace korvexa
