// The Garmin PCX5 waypoint file (".grm"): ten fixed header lines, then one
// fixed-column "W" line per record, CR LF after every line.
//
//   col 1 "W", 4 PointID, 11 "N"+latitude (a southern one as "S" and its
//   magnitude), 23 "W"+longitude (a longitude past 180 W as "E" and its east
//   longitude), 36 dd-mmm-yy, 46 hh:mm:ss,
//   55 altitude (sign or blank, digits, blank), 61 PointID,
//   102 "0.00000e+00       18"
//
// An item that would start left of where the line has got to (an altitude of
// five digits) starts in its column on a new line instead.
#pragma once

#include <filesystem>
#include <span>

#include "core/clock.h"
#include "writers/waypoint.h"

namespace korvexa {

// Writes `waypoints` to `path` atomically, in their order, each stamped with
// the local time of its own clock reading. Throws KorvexaError when the file
// cannot be written; the target then keeps its old content.
void WritePcx5File(const std::filesystem::path& path, std::span<const Waypoint> waypoints, const Clock& clock);

}  // namespace korvexa
