// The Garmin PCX5 waypoint file (".grm"): ten fixed header lines, then one
// fixed-column "W" line per record, CR LF after every line.
//
//   col 1 "W", 4 PointID, 11 "N"+latitude, 23 "W"+longitude (a longitude past
//   180 W as "E" and its east longitude), 36 dd-mmm-yy, 46 hh:mm:ss,
//   55 altitude (sign or blank, digits, blank), 61 PointID,
//   102 "0.00000e+00       18"
//
// An item that would start left of where the line has got to (an altitude of
// five digits) starts in its column on a new line instead.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>

#include "core/clock.h"
#include "core/lx_record.h"
#include "writers/in_order_blocks.h"
#include "writers/waypoint.h"

namespace korvexa {

class CoordinateTransform;

// Writes `records` to `path` atomically, in their order, each decoded afresh
// (through `transform` when given) and stamped with the local time of its own
// clock reading. Returns the number of waypoints written. Throws KorvexaError
// when a point cannot be decoded or the file cannot be written; the target
// then keeps its old content.
std::size_t WritePcx5File(const std::filesystem::path& path, std::span<const LxRecord> records,
                          const CoordinateTransform* transform, const Clock& clock);

// The same for waypoints whose coordinates were read already (Create reads
// them once, to leave out the points without usable coordinates). A long
// list may be shared between two threads (in_order_blocks.h); the file is the
// same, line for line.
std::size_t WritePcx5File(const std::filesystem::path& path, std::span<const Waypoint> waypoints,
                          const CoordinateTransform* transform, const Clock& clock,
                          Threads threads = Threads::Automatic);

// The same with the caller's helper thread, or on one thread without one.
// The clock and the transformation must then be thread-safe.
std::size_t WritePcx5File(const std::filesystem::path& path, std::span<const Waypoint> waypoints,
                          const CoordinateTransform* transform, const Clock& clock, HelperThread* helper);

}  // namespace korvexa
