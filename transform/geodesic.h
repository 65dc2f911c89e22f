// Distance and direction on the ellipsoid of a datum: the inverse and the
// direct geodesic problem, by PROJ's geodesic routines (C. F. F. Karney,
// "Algorithms for geodesics", J. Geodesy 87, 2013), exact to the nanometre
// also for nearly antipodal places. The navigator measures the walk to a
// corner with it, Create the largest NADCON shift.
#pragma once

#include <memory>

#include "core/geo_position.h"

struct geod_geodesic;

namespace korvexa {

struct GeodesicLine {
  double metres = 0;   // length of the shortest path on the ellipsoid
  double azimuth = 0;  // its direction at the start, degrees clockwise from true north, [0, 360)
};

class Geodesic {
 public:
  // On the ellipsoid of `datum`: Clarke 1866 for NAD27, GRS 80 for NAD83
  // (WGS 84's differs from it by a tenth of a millimetre in the polar radius).
  explicit Geodesic(Datum datum);

  Datum datum() const { return datum_; }

  // The shortest path from `from` to `to`, longitudes on any turn.
  // Coincident places give 0 metres and azimuth 0. Throws KorvexaError when
  // a position is on another datum.
  GeodesicLine Inverse(const GeoPosition& from, const GeoPosition& to) const;

  // The place `metres` from `from` along the geodesic that leaves it at
  // `azimuth` (degrees clockwise from north), its longitude on the turn
  // nearest to that of `from`. Throws as Inverse.
  GeoPosition Direct(const GeoPosition& from, double azimuth, double metres) const;

 private:
  void RequireDatum(const GeoPosition& position) const;

  Datum datum_;
  std::shared_ptr<const geod_geodesic> ellipsoid_;
};

}  // namespace korvexa
