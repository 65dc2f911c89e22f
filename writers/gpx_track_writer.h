// The trail a crew walked, as a GPX 1.1 track (".gpx"), so that the office
// sees where the corners were searched for. CR LF after every line, like the
// waypoint file:
//
//   the XML declaration, <gpx ...>, <metadata> with the time of writing
//   <trk><name>NAME</name>
//   <trkseg> per stretch walked without losing the fix, one <trkpt> line per point
//   </trk></gpx>
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "core/clock.h"

namespace korvexa {

struct TrackPoint {
  double latitude = 0;              // degrees north, WGS 84 as the receiver gave it
  double longitude = 0;             // degrees east, any turn (written in [-180, 180))
  std::optional<double> elevation;  // metres above mean sea level, as the receiver gave it
  std::optional<CivilTime> utc;     // the receiver's time of the fix
  int milliseconds = 0;             // of the second of `utc`, 0 to 999
  bool startsSegment = false;       // the first point after the fix was lost (the very first need not say so)
};

// Writes `points` to `path` atomically as one track named `name` (8-bit
// text, Windows-1252 like a record's), dated `writtenUtc`. Coordinates keep 7
// decimals (about a centimetre), elevations 2; a time has milliseconds only
// when they are not 0. Throws KorvexaError for a latitude beyond 90 degrees
// or a coordinate that is not a number, or when the file cannot be written;
// the target then keeps its old content.
void WriteGpxTrack(const std::filesystem::path& path, std::string_view name, std::span<const TrackPoint> points,
                   const CivilTime& writtenUtc);

}  // namespace korvexa
