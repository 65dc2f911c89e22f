// The GPX 1.1 waypoint file (".gpx"), CR LF after every line:
//
//   1  the XML declaration (UTF-8)
//   2  <gpx ...  xsi:schemaLocation="<namespace>       (breaks inside the value)
//   3  <schema>"><metadata><link ...>...</link><time>...Z</time>
//   4  <bounds .../></metadata>
//      one <wpt> line per record, in their order
//      </gpx>
//
// The bounds are those of the waypoints as written. Longitudes are east
// positive in [-180, 180): one past 180 W is written as its east longitude.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "writers/waypoint.h"

namespace korvexa {

// Appends the XML declaration (and its CR LF) and the <gpx> start tag of
// every GPX file written, `schemaBreak` between the two parts of the schema
// location (a CR LF or a blank).
void AppendGpxStart(std::string& out, std::string_view schemaBreak);

// Writes `waypoints` to `path` atomically, in their order. Times are UTC
// readings of `clock`, one for the metadata and one per waypoint. Throws
// KorvexaError when the file cannot be written; the target then keeps its
// old content.
void WriteGpxFile(const std::filesystem::path& path, std::span<const Waypoint> waypoints, const Clock& clock);

}  // namespace korvexa
