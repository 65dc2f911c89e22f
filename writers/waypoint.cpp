#include "writers/waypoint.h"

namespace korvexa {

std::vector<Waypoint> ReadWaypoints(std::span<const LxRecord> records) {
  std::vector<Waypoint> waypoints;
  waypoints.reserve(records.size());
  for (const LxRecord record : records) waypoints.push_back({record, ReadLxCoordinates(record)});
  return waypoints;
}

}  // namespace korvexa
