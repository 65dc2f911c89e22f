// A ticked record as every waypoint file writes it: decoded, moved to NAD83
// when the transformation is on, checked, its elevation read. Create builds
// them once (app/convert/waypoints.h); the writers only format them.
#pragma once

#include "core/lx_record.h"

namespace korvexa {

struct Waypoint {
  LxRecord record;       // the PointID and the reliability are written from it as they stand
  LxPoint point;         // the position written: NAD27, or NAD83 after the shift
  double elevation = 0;  // whole metres
};

}  // namespace korvexa
