// The ticked records of a list as a writer's waypoints, for the writers'
// tests.
#pragma once

#include <vector>

#include "core/coordinate_transform.h"
#include "core/lx_record.h"
#include "core/point_list.h"
#include "writers/waypoint.h"

namespace korvexa::testing {

// The ticked entries of `points` as waypoints for a writer, each decoded
// (through `transform` when given) with its elevation from `elevationColumn`,
// none left out: what a writer must format whatever it is given.
inline std::vector<Waypoint> DecodedWaypoints(const PointList& points, int elevationColumn,
                                              const CoordinateTransform* transform = nullptr) {
  std::vector<Waypoint> waypoints;
  for (const PointEntry& entry : points) {
    if (entry.ticked) {
      waypoints.push_back(LxWaypoint(
          entry.line,
          LxPosition(DecodeLxPoint(entry.line, transform), transform != nullptr ? Datum::Nad83 : Datum::Nad27),
          DecodeElevation(entry.line, elevationColumn)));
    }
  }
  return waypoints;
}

}  // namespace korvexa::testing
