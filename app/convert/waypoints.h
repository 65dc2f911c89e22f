// The waypoints of the ticked LX records, built once per output: each
// record decoded (NAD27), checked by the rule every output follows
// (core/usable_point.h), its elevation read and checked, and moved to NAD83
// when the output asks for it. The writers only format them.
#pragma once

#include <vector>

#include "core/point_list.h"
#include "core/usable_point.h"
#include "writers/waypoint.h"

namespace korvexa {

class CoordinateTransform;

struct WaypointList {
  std::vector<Waypoint> waypoints;    // the ticked corners that can be waypoints, in list order
  std::vector<LeftOutPoint> leftOut;  // the other ticked corners, in list order, with the reason
};

// The waypoints of the ticked entries of `points`, in list order, their
// elevation read from `elevationColumn` to 41 (kPcx5ElevationColumn,
// kGpxElevationColumn), on NAD83 when `nad83` is given and on NAD27
// otherwise. A record without usable coordinates, more than 3 degrees from
// the middle of the township that every entry of `points` with usable
// coordinates makes, or without a usable elevation is left out and never
// reaches `nad83`. Throws KorvexaError when `nad83` cannot move a point
// ("point <PointID> at ... lies outside the NAD27 to NAD83 grids"); nothing
// is to be written then.
WaypointList BuildWaypoints(const PointList& points, const CoordinateTransform* nad83, int elevationColumn);

}  // namespace korvexa
