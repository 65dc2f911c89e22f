// Where a GPS receiver's position lies on the township map. A receiver gives
// WGS 84, which the navigator takes as NAD83 (they differ by about a metre,
// less than a hand-held receiver's error). The map is UTM on the datum of
// its corners (core/township.h): an .LX file's map is NAD27, so the position
// is first moved to NAD27 with the inverse NADCON shift, through the same
// transformation as Create's (core/coordinate_transform.h); a PLSS data
// set's map is NAD83 and takes it as it is. Then it is projected as the
// drawing projects its corners (transform/projection.h).
#pragma once

#include <memory>

#include "app/map/map_geometry.h"
#include "core/coordinate_transform.h"
#include "core/geo_position.h"
#include "core/township.h"
#include "transform/projection.h"

namespace korvexa {

struct MapPlace {
  PlanePoint map;           // UTM metres of the map's zone
  GeoPosition onMapDatum;   // the position on the map's datum, on the turn of the map's longitudes
  double convergence = 0;   // the grid bearing of true north there, degrees (east of grid north positive)
};

class MapPositioner {
 public:
  // A map on `mapDatum` in its UTM zone `zone`; `mapLongitude` any longitude
  // of the map (degrees east, on the turn the map uses: -187 in the western
  // Aleutians). `shift` is a NAD27/NAD83 pair (DatumLibrary::DefineDatumPair),
  // required on a NAD27 map and not used on a NAD83 one. Throws KorvexaError
  // when PROJ cannot set up the projection or a NAD27 map has no shift.
  MapPositioner(Datum mapDatum, std::unique_ptr<CoordinateTransform> shift, int zone, double mapLongitude);

  // The positioner of the map of `township` (its datum, zone and first
  // point); the shift is asked of `library` only for a NAD27 map, so that a
  // NAD83 one never needs the grids. Throws KorvexaError when the township
  // has no point, the shift cannot be defined or PROJ cannot set up the
  // projection.
  static std::unique_ptr<MapPositioner> ForTownship(const Township& township, DatumLibrary& library);

  // The place of the NAD83 position `nad83` on the map. Throws KorvexaError
  // when it cannot be moved to the map's datum (outside the NADCON grids)
  // or projected.
  MapPlace Place(GeoPosition nad83) const;

  // The NAD83 position of the point `corner` of the map (on its datum).
  // Throws KorvexaError when it cannot be moved.
  GeoPosition Nad83Of(GeoPosition corner) const;

 private:
  Datum mapDatum_;
  std::unique_ptr<CoordinateTransform> shift_;
  Projection projection_;
  double mapLongitude_;
};

}  // namespace korvexa
