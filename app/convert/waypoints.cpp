#include "app/convert/waypoints.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

// The elevation of the usable record `record` in whole metres, or why it
// cannot be a waypoint's.
std::optional<std::string> ReadElevation(LxRecord record, int elevationColumn, double& metres) {
  try {
    metres = DecodeElevation(record, elevationColumn);
  } catch (const KorvexaError&) {
    return kElevationOutOfRange;
  }
  return WhyElevationUnusable(metres);
}

}  // namespace

WaypointList BuildWaypoints(const PointList& points, const CoordinateTransform* nad83, int elevationColumn) {
  const JudgedTownship judged = JudgeTownship(points.size(), [&points](std::size_t i) { return points[i].line; });
  WaypointList list;
  list.waypoints.reserve(static_cast<std::size_t>(
      std::count_if(points.begin(), points.end(), [](const PointEntry& entry) { return entry.ticked; })));
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!points[i].ticked) continue;
    const LxRecord record = points[i].line;
    if (!judged.usable[i]) {
      list.leftOut.push_back({RecordName(record), judged.WhyLeftOut(i)});
      continue;
    }
    double elevation = 0;
    if (std::optional<std::string> why = ReadElevation(record, elevationColumn, elevation)) {
      list.leftOut.push_back({RecordName(record), std::move(*why)});
      continue;
    }
    const GeoPosition position = nad83 ? LxPosition(MovedLxPoint(record, judged.points[i], *nad83), Datum::Nad83)
                                       : LxPosition(judged.points[i], Datum::Nad27);
    list.waypoints.push_back(LxWaypoint(record, position, elevation));
  }
  return list;
}

}  // namespace korvexa
