// A township in plane coordinates: what the DXF drawing holds (and the map
// shows). Built from the chains of a .LX file by app/township_drawing.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvexa {

struct TownshipPoint {
  std::string id;    // PointID without blanks
  double east = 0;   // NAD27 longitude, degrees, east positive
  double north = 0;  // NAD27 latitude, degrees
  double x = 0;      // UTM easting, metres
  double y = 0;      // UTM northing, metres
};

// A straight piece of a surveyed line between two distinct points.
struct TownshipSegment {
  std::size_t from = 0;  // indices into Township::points
  std::size_t to = 0;
  std::string reliability;  // of the less reliable end (the larger number), verbatim
};

struct Township {
  int utmZone = 0;  // NAD27 UTM zone of x and y (EPSG:26700 + zone)
  std::vector<TownshipPoint> points;
  std::vector<TownshipSegment> segments;
};

}  // namespace korvexa
