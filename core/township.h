// A township in plane coordinates: what the DXF drawing holds (and the map
// shows). Built from the chains of a .LX file by app/convert/township_drawing.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geo_position.h"

namespace korvexa {

struct TownshipPoint {
  std::string id;    // PointID without blanks
  double east = 0;   // longitude on the township's datum, degrees, east positive
  double north = 0;  // latitude on the township's datum, degrees
  double x = 0;      // UTM easting, metres
  double y = 0;      // UTM northing, metres
};

// A straight piece of a surveyed line between two distinct points. Small,
// as a county drawing holds millions of them.
struct TownshipSegment {
  std::uint32_t from = 0;  // indices into Township::points
  std::uint32_t to = 0;
  std::uint32_t reliability = 0;  // of the less reliable end (the larger number): index into Township::reliabilities
};

struct Township {
  int utmZone = 0;  // UTM zone of x and y on `datum` (EPSG:26700 + zone on NAD27, EPSG:26900 + zone on NAD83)
  std::vector<TownshipPoint> points;
  std::vector<TownshipSegment> segments;
  std::vector<std::string> reliabilities;  // columns 42 to 50 of the records, verbatim, each text once
  // The datum of the points' positions and of the UTM zone: NAD27 for an .LX
  // file's drawing, NAD83 for a PLSS data set's (app/convert/plss_drawing.h).
  Datum datum = Datum::Nad27;
};

}  // namespace korvexa
