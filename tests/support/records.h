// Records the tests share.
#pragma once

#include <string>
#include <vector>

#include "core/lx_record.h"
#include "core/point_list.h"
#include "writers/waypoint.h"

namespace korvexa::testing {

// The worked example of the record format: PointID 100100 at 35 07 12.3456 N,
// 106 45 30.0000 W (35.120096, 106.7583333), 1000 feet (305 m), reliability
// 2.5, then line codes.
inline constexpr const char* kWorkedRecord = " 100100 350712.3456 1064530.0000     1000      2.5 L001 SEC";

// A list of `lines`, every one ticked.
inline PointList Ticked(std::vector<std::string> lines) {
  PointList points;
  for (const std::string& line : lines) points.Add(line, true);
  return points;
}

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
