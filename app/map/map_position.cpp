#include "app/map/map_position.h"

#include <optional>
#include <utility>

#include "core/korvexa_error.h"
#include "core/longitude.h"

namespace korvexa {

MapPositioner::MapPositioner(Datum mapDatum, std::unique_ptr<CoordinateTransform> shift, int zone,
                             double mapLongitude)
    : mapDatum_(mapDatum),
      shift_(std::move(shift)),
      projection_(Projection::Utm(zone, mapDatum)),
      mapLongitude_(mapLongitude) {
  if (mapDatum_ == Datum::Nad27 && !shift_) throw KorvexaError("a NAD27 map needs the NAD27 to NAD83 shift");
}

std::unique_ptr<MapPositioner> MapPositioner::ForTownship(const Township& township, DatumLibrary& library) {
  if (township.points.empty()) throw KorvexaError("the map shows no township");
  std::unique_ptr<CoordinateTransform> shift;
  if (township.datum == Datum::Nad27) shift = library.DefineDatumPair();
  return std::make_unique<MapPositioner>(township.datum, std::move(shift), township.utmZone,
                                         township.points.front().east);
}

MapPlace MapPositioner::Place(GeoPosition nad83) const {
  GeoPosition onMap{mapDatum_, NearestTurn(nad83.longitude, mapLongitude_), nad83.latitude};
  if (mapDatum_ == Datum::Nad27) shift_->InverseTransformPoint(onMap.longitude, onMap.latitude);
  const std::optional<PlanePoint> map = projection_.Forward(onMap);
  const std::optional<ProjectionFactors> factors = projection_.FactorsAt(onMap);
  if (!map || !factors) {
    throw KorvexaError("the position " + PositionText(onMap.longitude, onMap.latitude) + " cannot be shown in " +
                       projection_.Name());
  }
  // True north lies the convergence to the left of grid north.
  return {*map, onMap, -factors->convergence};
}

GeoPosition MapPositioner::Nad83Of(GeoPosition corner) const {
  if (mapDatum_ == Datum::Nad27) shift_->TransformPoint(corner.longitude, corner.latitude);
  return {Datum::Nad83, corner.longitude, corner.latitude};
}

}  // namespace korvexa
