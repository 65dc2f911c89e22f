#include "app/waypoints.h"

#include <optional>
#include <string>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"

namespace korvexa {
namespace {

// A list entry's NAD27 position, or why it has none.
struct Reading {
  LxPoint point;
  std::optional<std::string> whyUnusable;
};

// Every entry decoded once, and the middle of those with usable coordinates
// (none when no entry has them).
std::vector<Reading> ReadAll(const PointList& points, std::optional<TownshipMiddle>& middle) {
  std::vector<Reading> readings(points.size());
  std::vector<LxPoint> usable;
  for (std::size_t i = 0; i < points.size(); ++i) {
    readings[i].whyUnusable = DecodeUsablePoint(points[i].line, readings[i].point);
    if (!readings[i].whyUnusable) usable.push_back(readings[i].point);
  }
  if (!usable.empty()) middle = MiddleOf(usable);
  return readings;
}

// Why the entry read as `reading` cannot be a waypoint, or nothing when
// `waypoint` now holds it, in NAD27.
std::optional<std::string> MakeWaypoint(LxRecord record, const Reading& reading, const TownshipMiddle& middle,
                                        int elevationColumn, Waypoint& waypoint) {
  if (reading.whyUnusable) return reading.whyUnusable;
  if (std::optional<std::string> why = WhyFarFromMiddle(reading.point, middle)) return why;
  waypoint.record = record;
  waypoint.point = reading.point;
  try {
    waypoint.elevation = DecodeElevation(record, elevationColumn);
  } catch (const KorvexaError&) {
    return kElevationOutOfRange;
  }
  return WhyElevationUnusable(waypoint.elevation);
}

// Moves `waypoint` from NAD27 to NAD83.
void Shift(Waypoint& waypoint, const CoordinateTransform& transform) {
  double longitude = EastLongitude(waypoint.point.Longitude);
  double latitude = waypoint.point.Latitude;
  try {
    transform.TransformPoint(longitude, latitude);
    waypoint.point = ShiftedLxPoint(waypoint.point, longitude, latitude);
  } catch (const KorvexaError& error) {
    throw KorvexaError("point " + TrimmedPointId(waypoint.record) + " " + error.what());
  }
}

}  // namespace

WaypointList BuildWaypoints(const PointList& points, const CoordinateTransform* transform, int elevationColumn) {
  std::optional<TownshipMiddle> middle;
  const std::vector<Reading> readings = ReadAll(points, middle);
  WaypointList list;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!points[i].ticked) continue;
    const LxRecord record = points[i].line;
    Waypoint waypoint;
    // Without a middle no entry is usable: its own reason comes first.
    if (std::optional<std::string> why =
            MakeWaypoint(record, readings[i], middle.value_or(TownshipMiddle{}), elevationColumn, waypoint)) {
      list.leftOut.push_back({RecordName(record), std::move(*why)});
      continue;
    }
    if (transform != nullptr) Shift(waypoint, *transform);
    list.waypoints.push_back(waypoint);
  }
  return list;
}

}  // namespace korvexa
