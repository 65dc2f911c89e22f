// Where a GPS receiver's position lies on the township map. A receiver gives
// WGS 84, which the navigator takes as NAD83 (they differ by about a metre,
// less than a hand-held receiver's error); the map is NAD27 UTM. So the
// position is moved to NAD27 with the inverse NADCON shift, through the same
// transformation as Create's (core/coordinate_transform.h), and projected
// as the drawing projects its corners (transform/projection.h).
#pragma once

#include <memory>

#include "app/map/map_geometry.h"
#include "core/coordinate_transform.h"
#include "core/geo_position.h"
#include "transform/projection.h"

namespace korvexa {

struct MapPlace {
  PlanePoint map;          // UTM metres of the map's zone
  GeoPosition nad27;       // on the turn of the map's longitudes
  double convergence = 0;  // the grid bearing of true north there, degrees (east of grid north positive)
};

class MapPositioner {
 public:
  // `transform` is a NAD27/NAD83 pair (DatumLibrary::DefineDatumPair);
  // `zone` the map's NAD27 UTM zone; `mapLongitude` any NAD27 longitude of
  // the map (degrees east, on the turn the map uses: -187 in the western
  // Aleutians). Throws KorvexaError when PROJ cannot set up the projection.
  MapPositioner(std::unique_ptr<CoordinateTransform> transform, int zone, double mapLongitude);

  // The place of the NAD83 position `nad83` on the map. Throws KorvexaError
  // when it cannot be moved to NAD27 (outside the NADCON grids) or projected.
  MapPlace Place(GeoPosition nad83) const;

  // The NAD83 position of the NAD27 point `nad27` (a corner). Throws
  // KorvexaError when it cannot be moved.
  GeoPosition Nad83Of(GeoPosition nad27) const;

 private:
  std::unique_ptr<CoordinateTransform> transform_;
  Projection projection_;
  double mapLongitude_;
};

}  // namespace korvexa
