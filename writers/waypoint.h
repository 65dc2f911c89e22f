// A corner as every waypoint file writes it: named, on its datum, its
// elevation read and checked. The application builds them once per output
// (app/convert/waypoints.h for the ticked LX records); the writers only
// format them, so any source of corners can be written.
#pragma once

#include <string>

#include "core/geo_position.h"
#include "core/lx_record.h"

namespace korvexa {

struct Waypoint {
  // As a GPS shows it: an LX record's PointID columns verbatim (" 10010"),
  // or the name prefix and the trimmed PointID ("T12N-100100").
  std::string name;
  GeoPosition position;      // NAD27 as given, or NAD83 after the shift
  double elevation = 0;      // whole metres
  double elevationFeet = 0;  // US survey feet, as the source gives them
  std::string reliability;   // verbatim ("      2.5"); blank when not given
  std::string lineCodes;     // the surveyed lines' codes ("L001 SEC"), verbatim
};

// The waypoint of the LX record `record` at `position`, `elevation` metres
// high: named by its PointID columns (2 to 7) verbatim, its reliability from
// columns 42 to 50, its line codes from column 51 on, and its elevation in
// feet from columns 34 to 41 as they read.
Waypoint LxWaypoint(LxRecord record, const GeoPosition& position, double elevation);

// A record's decoded position on `datum`: the west magnitude of LxPoint
// turned into an east longitude.
GeoPosition LxPosition(const LxPoint& point, Datum datum);

}  // namespace korvexa
