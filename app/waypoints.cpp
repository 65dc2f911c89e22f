#include "app/waypoints.h"

#include <optional>
#include <string>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"

namespace korvexa {
namespace {

// Why `record` cannot be a waypoint, or nothing when `waypoint` now holds
// it, in NAD27.
std::optional<std::string> ReadWaypoint(LxRecord record, int elevationColumn, Waypoint& waypoint) {
  waypoint.record = record;
  try {
    waypoint.point = DecodeLxPoint(record);
  } catch (const KorvexaError&) {
    return kCoordinateOutOfRange;
  }
  if (std::optional<std::string> why = WhyCoordinatesUnusable(waypoint.point)) return why;
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
  WaypointList list;
  for (const PointEntry& entry : points) {
    if (!entry.ticked) continue;
    Waypoint waypoint;
    if (std::optional<std::string> why = ReadWaypoint(entry.line, elevationColumn, waypoint)) {
      list.leftOut.push_back({RecordName(entry.line), std::move(*why)});
      continue;
    }
    if (transform != nullptr) Shift(waypoint, *transform);
    list.waypoints.push_back(waypoint);
  }
  return list;
}

}  // namespace korvexa
