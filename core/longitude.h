// The longitude convention of Korvexa, decided here and nowhere else.
//
// A GCDB file, an LxPoint and a PCX5 file give a longitude as the magnitude
// of a west longitude: 106.7583333 for 106.7583333 W. PROJ, the GPX file, the
// drawing and messages count degrees east of Greenwich, west negative:
// -106.7583333.
#pragma once

namespace korvexa {

// Degrees east of Greenwich (west negative) of a west-longitude magnitude.
double EastLongitude(double westLongitude);

// The west-longitude magnitude of a longitude east of Greenwich.
double WestLongitude(double eastLongitude);

// 'E' for a longitude east of Greenwich, 'W' for one west of it (or on it).
char Hemisphere(double eastLongitude);

}  // namespace korvexa
