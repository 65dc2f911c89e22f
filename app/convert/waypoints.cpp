#include "app/convert/waypoints.h"

#include <optional>
#include <string>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

// Why the usable entry `record` cannot be a waypoint for its elevation, or
// nothing when `waypoint` now holds it at `point`, in NAD27.
std::optional<std::string> MakeWaypoint(LxRecord record, const LxPoint& point, int elevationColumn,
                                        Waypoint& waypoint) {
  waypoint.record = record;
  waypoint.point = point;
  try {
    waypoint.elevation = DecodeElevation(record, elevationColumn);
  } catch (const KorvexaError&) {
    return kElevationOutOfRange;
  }
  return WhyElevationUnusable(waypoint.elevation);
}

}  // namespace

WaypointList BuildWaypoints(const PointList& points, const CoordinateTransform* transform, int elevationColumn) {
  const JudgedTownship judged = JudgeTownship(points.size(), [&points](std::size_t i) { return points[i].line; });
  WaypointList list;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!points[i].ticked) continue;
    const LxRecord record = points[i].line;
    if (!judged.usable[i]) {
      list.leftOut.push_back({RecordName(record), judged.WhyLeftOut(i)});
      continue;
    }
    Waypoint waypoint;
    if (std::optional<std::string> why = MakeWaypoint(record, judged.points[i], elevationColumn, waypoint)) {
      list.leftOut.push_back({RecordName(record), std::move(*why)});
      continue;
    }
    if (transform != nullptr) waypoint.point = MovedLxPoint(record, waypoint.point, *transform);
    list.waypoints.push_back(waypoint);
  }
  return list;
}

}  // namespace korvexa
