// Distance and direction between two places on the ellipsoid: the inverse
// geodesic problem, solved by Vincenty's iteration (T. Vincenty, "Direct and
// inverse solutions of geodesics on the ellipsoid with application of nested
// equations", Survey Review 23, 1975). The navigator measures the walk from
// the receiver's position to a corner with it.
#pragma once

namespace korvexa {

struct Ellipsoid {
  double equatorialRadius = 0;  // metres
  double flattening = 0;
};

// The ellipsoid of NAD83 (GRS 80); WGS 84's differs from it by a tenth of a
// millimetre in the polar radius.
inline constexpr Ellipsoid kGrs80{6378137.0, 1 / 298.257222101};

struct GeodesicLine {
  double metres = 0;   // length of the shortest path on the ellipsoid
  double azimuth = 0;  // its direction at the start, degrees clockwise from true north, [0, 360)
};

// The shortest path from (`fromLongitude`, `fromLatitude`) to (`toLongitude`,
// `toLatitude`), degrees east and north, on `ellipsoid`. Longitudes may be on
// any turn. Coincident points give 0 metres and azimuth 0. Accurate to a
// fraction of a millimetre and of an arc second for places less than half the
// world apart; for nearly antipodal places, where the iteration may not
// settle, the result of its last step is returned. Never throws.
GeodesicLine GeodesicInverse(double fromLongitude, double fromLatitude, double toLongitude, double toLatitude,
                             const Ellipsoid& ellipsoid = kGrs80);

}  // namespace korvexa
