// The KML 2.2 file of Google Earth and phone map apps (".kml"):
//
//   <kml><Document><name>t12n.lx</name>
//     <Folder><name>Corners</name>       one Placemark per waypoint, a Point
//     <Folder><name>Surveyed lines</name> one Placemark per line, a LineString
//
// KML positions are WGS 84 by definition: the writer is given NAD83 ones
// (within 1 to 2 m of WGS 84). Longitudes are written in [-180, 180), the
// waypoint's elevation in metres as the point's altitude. UTF-8, CR LF
// after every line.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "core/geo_position.h"
#include "writers/waypoint.h"

namespace korvexa {

// One surveyed line: its corners in order, NAD83.
using KmlLine = std::vector<GeoPosition>;

// Writes the corners `waypoints` (named by their names without surrounding blanks, described by
// position, elevation and reliability) and the surveyed `lines` to `path`
// atomically, in the document `documentName`. Throws KorvexaError when the
// file cannot be written; the target then keeps its old content.
void WriteKmlFile(const std::filesystem::path& path, std::string_view documentName, std::span<const Waypoint> waypoints,
                  std::span<const KmlLine> lines);

}  // namespace korvexa
