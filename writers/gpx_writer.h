// The GPX 1.1 waypoint file (".gpx"), CR LF after every line:
//
//   1  the XML declaration (UTF-8)
//   2  <gpx ...  xsi:schemaLocation="<namespace>       (breaks inside the value)
//   3  <schema>"><metadata><link ...>...</link><time>...Z</time>
//   4  <bounds .../></metadata>
//      one <wpt> line per record, in their order
//      </gpx>
//
// The bounds come from a first pass over the records, the waypoints from a
// second; both decode every record afresh in the same way. Longitudes are
// east positive in [-180, 180): one past 180 W is written as its east
// longitude.
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

// Writes `records` to `path` atomically, in their order, each decoded
// through `transform` when given. Times are UTC readings of `clock`, one for
// the metadata and one per waypoint. Returns the number of waypoints.
// Throws KorvexaError when a point cannot be decoded or lies outside the
// latitudes and longitudes GPX can hold, or when the file cannot be written;
// the target then keeps its old content.
std::size_t WriteGpxFile(const std::filesystem::path& path, std::span<const LxRecord> records,
                         const CoordinateTransform* transform, const Clock& clock);

// The same for waypoints whose coordinates were read already (Create reads
// them once, to leave out the points without usable coordinates). A long
// list may be shared between two threads (in_order_blocks.h); the file is the
// same, line for line.
std::size_t WriteGpxFile(const std::filesystem::path& path, std::span<const Waypoint> waypoints,
                         const CoordinateTransform* transform, const Clock& clock,
                         Threads threads = Threads::Automatic);

// The same with the caller's helper thread, or on one thread without one.
// The clock and the transformation must then be thread-safe.
std::size_t WriteGpxFile(const std::filesystem::path& path, std::span<const Waypoint> waypoints,
                         const CoordinateTransform* transform, const Clock& clock, HelperThread* helper);

}  // namespace korvexa
