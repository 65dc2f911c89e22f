// The longitude convention of Korvexa, decided here and nowhere else.
//
// A GCDB file and an LxPoint give a longitude as the magnitude of a west
// longitude: 106.7583333 for 106.7583333 W. The Aleutians run past 180 W, so a
// magnitude may exceed 180 (187.16 W is 172.84 E). PROJ and messages count
// degrees east of Greenwich, west negative, and may run past -180 (-187.16);
// the GPX file and the drawing need a longitude in [-180, 180) (172.84); the
// PCX5 file writes a hemisphere letter and a magnitude up to 180 (E172.84).
#pragma once

#include <string>

namespace korvexa {

// Degrees east of Greenwich (west negative) of a west-longitude magnitude,
// unwrapped: 187.16 -> -187.16.
double EastLongitude(double westLongitude);

// An east longitude on any turn in [-180, 180), rounded to 7 decimals when it
// is moved: -187.16 -> 172.84, 180 -> -180. As the GPX and KML files write it.
double WrappedLongitude(double eastLongitude);

// An east longitude in [-180, 180), unrounded (for computing with it).
double WrapEast(double eastLongitude);

// 'E' for a longitude east of Greenwich, 'W' for one west of it (or on it).
char Hemisphere(double eastLongitude);

// An east longitude as a hemisphere letter and degrees from 0 to 180, rounded
// to 7 decimals when moved: -106.75 -> W 106.75, -187.16 -> E 172.84, 180 -> W 180.
struct HemisphereLongitude {
  char hemisphere = 'W';
  double degrees = 0;
};
HemisphereLongitude ToHemisphere(double eastLongitude);

// `longitude` plus the multiple of 360 that brings it nearest to `reference`
// (degrees): 172.84 near -187.16 -> -187.16.
double NearestTurn(double longitude, double reference);

// A position for messages: "35.1200960 N 106.7583333 W", 7 decimals and
// hemisphere letters whatever the locale; `eastLongitude` west negative.
std::string PositionText(double eastLongitude, double latitude);

}  // namespace korvexa
