#include "writers/waypoint.h"

namespace korvexa {

std::vector<Waypoint> ReadWaypoints(std::span<const LxRecord> records) {
  std::vector<Waypoint> waypoints;
  waypoints.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + kPrefetchAhead < records.size()) PrefetchRecord(records[i + kPrefetchAhead]);
    waypoints.push_back({records[i], ReadLxCoordinates(records[i])});
  }
  return waypoints;
}

}  // namespace korvexa
