// The one position type above the LX decoding: a datum with a longitude
// counted east of Greenwich (west negative) and a latitude, in degrees. The
// west magnitudes of the LX columns (core/lx_record.h, LxPoint) stay inside
// the decoding and the writers that print them; everything from the
// waypoints on, the map, the navigator and every export speak GeoPosition.
#pragma once

namespace korvexa {

// The geographic datums of the program: NAD27 (EPSG:4267), as the LX files
// give their corners, and NAD83(1986) (EPSG:4269), as the NADCON grids give
// them and a GPS takes them (it differs from WGS 84 by about a metre).
enum class Datum { Nad27, Nad83 };

struct GeoPosition {
  Datum datum = Datum::Nad27;
  double longitude = 0;  // degrees east of Greenwich, west negative, any turn (-187.16 in the Aleutians)
  double latitude = 0;   // degrees north, south negative
};

// A point in a plane of a projection: easting and northing in the unit of
// the projected CRS (metres for UTM, the state's foot for State Plane zones).
struct PlanePoint {
  double x = 0;  // easting
  double y = 0;  // northing
};

}  // namespace korvexa
