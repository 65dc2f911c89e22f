// A township in plane coordinates: what the DXF drawing holds (and the map
// shows). Built from the chains of a .LX file by app/convert/township_drawing.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvexa {

struct TownshipPoint {
  std::string id;    // PointID without blanks
  double east = 0;   // NAD27 longitude, degrees, east positive
  double north = 0;  // NAD27 latitude, degrees
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
  int utmZone = 0;  // NAD27 UTM zone of x and y (EPSG:26700 + zone)
  std::vector<TownshipPoint> points;
  std::vector<TownshipSegment> segments;
  std::vector<std::string> reliabilities;  // columns 42 to 50 of the records, verbatim, each text once
};

}  // namespace korvexa
