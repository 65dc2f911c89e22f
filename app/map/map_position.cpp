#include "app/map/map_position.h"

#include <optional>
#include <utility>

#include "core/korvexa_error.h"
#include "core/longitude.h"

namespace korvexa {

MapPositioner::MapPositioner(std::unique_ptr<CoordinateTransform> transform, int zone, double mapLongitude)
    : transform_(std::move(transform)), projection_(Projection::Utm(zone, Datum::Nad27)), mapLongitude_(mapLongitude) {}

MapPlace MapPositioner::Place(GeoPosition nad83) const {
  GeoPosition nad27{Datum::Nad27, NearestTurn(nad83.longitude, mapLongitude_), nad83.latitude};
  transform_->InverseTransformPoint(nad27.longitude, nad27.latitude);
  const std::optional<PlanePoint> map = projection_.Forward(nad27);
  const std::optional<ProjectionFactors> factors = projection_.FactorsAt(nad27);
  if (!map || !factors) {
    throw KorvexaError("the position " + PositionText(nad27.longitude, nad27.latitude) + " cannot be shown in " +
                       projection_.Name());
  }
  // True north lies the convergence to the left of grid north.
  return {*map, nad27, -factors->convergence};
}

GeoPosition MapPositioner::Nad83Of(GeoPosition nad27) const {
  transform_->TransformPoint(nad27.longitude, nad27.latitude);
  return {Datum::Nad83, nad27.longitude, nad27.latitude};
}

}  // namespace korvexa
