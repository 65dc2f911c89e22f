// The waypoints of one Create, built once for every output: each ticked
// record decoded (NAD27), checked by the rule every output follows
// (core/usable_point.h), its elevation read and checked, and moved to NAD83
// when the transformation is on. The writers only format them.
#pragma once

#include <vector>

#include "core/point_list.h"
#include "core/usable_point.h"
#include "writers/waypoint.h"

namespace korvexa {

class CoordinateTransform;

struct WaypointList {
  std::vector<Waypoint> waypoints;    // the ticked records that can be waypoints, in list order
  std::vector<LeftOutPoint> leftOut;  // the other ticked records, in list order, with the reason
};

// The waypoints of the ticked entries of `points`, in list order, their
// elevation read from `elevationColumn` to 41 (kPcx5ElevationColumn,
// kGpxElevationColumn). A record without usable coordinates, more than 3
// degrees from the middle of the township that every entry of `points` with
// usable coordinates makes, or without a usable elevation is left out and
// never reaches `transform`. Throws
// KorvexaError when `transform` cannot move a point ("point <PointID> at
// ... lies outside the NAD27 to NAD83 grids"); nothing is to be written then.
WaypointList BuildWaypoints(const PointList& points, const CoordinateTransform* transform, int elevationColumn);

}  // namespace korvexa
