// The GPX 1.1 waypoint file (".gpx"), CR LF after every line:
//
//   1  the XML declaration (UTF-8)
//   2  <gpx ...  xsi:schemaLocation="<namespace>       (breaks inside the value)
//   3  <schema>"><metadata><link ...>...</link><time>...Z</time>
//   4  <bounds .../></metadata>
//      one <wpt> line per ticked record, in list order
//      </gpx>
//
// The bounds come from a first pass over the ticked records, the waypoints
// from a second; both decode every record afresh in the same way.
#pragma once

#include <cstddef>
#include <filesystem>

#include "clock.h"
#include "point_list.h"

namespace korvexa {

class CoordinateTransform;

// The link of the metadata.
inline constexpr const char* kKorvexaHomePage = "https://korvexa.org/";

// Writes the ticked records of `points` to `path` atomically, each decoded
// through `transform` when given. Times are UTC readings of `clock`, one for
// the metadata and one per waypoint. Returns the number of waypoints.
// Throws KorvexaError when a point cannot be decoded or lies outside the
// latitudes and longitudes GPX can hold, or when the file cannot be written;
// the target then keeps its old content.
std::size_t WriteGpxFile(const std::filesystem::path& path, const PointList& points,
                         const CoordinateTransform* transform, const Clock& clock);

}  // namespace korvexa
