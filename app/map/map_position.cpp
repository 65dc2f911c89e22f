#include "app/map/map_position.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/datum_adapter.h"

namespace korvexa {
namespace {

// A step along the meridian small enough that it is straight over it, large
// enough that the projected difference keeps its digits: about a metre.
constexpr double kStepDegrees = 1e-5;

}  // namespace

MapPositioner::MapPositioner(std::unique_ptr<CoordinateTransform> transform, int zone, double mapLongitude)
    : transform_(std::move(transform)), projection_(zone), mapLongitude_(mapLongitude) {}

MapPlace MapPositioner::Place(GeoPoint nad83) const {
  GeoPoint nad27{NearestTurn(nad83.longitude, mapLongitude_), nad83.latitude};
  transform_->InverseTransformPoint(nad27.longitude, nad27.latitude);
  MapPlace place;
  place.nad27 = nad27;
  place.map = Project(nad27);
  // The meridian through the place, as the map draws it, from a step toward
  // the equator (never past a pole), turned to point north.
  const double stepped = nad27.latitude + (nad27.latitude < 0 ? kStepDegrees : -kStepDegrees);
  const WorldPoint other = Project({nad27.longitude, stepped});
  const double sign = stepped < nad27.latitude ? -1 : 1;
  place.convergence =
      std::atan2(sign * (other.x - place.map.x), sign * (other.y - place.map.y)) * 180 / std::numbers::pi;
  return place;
}

GeoPoint MapPositioner::Nad83Of(GeoPoint nad27) const {
  transform_->TransformPoint(nad27.longitude, nad27.latitude);
  return nad27;
}

WorldPoint MapPositioner::Project(GeoPoint nad27) const {
  const std::optional<PlanePoint> plane = projection_.Project(nad27.longitude, nad27.latitude);
  if (!plane) {
    throw KorvexaError("the position " + PositionText(nad27.longitude, nad27.latitude) + " cannot be shown in " +
                       projection_.System());
  }
  return {plane->x, plane->y};
}

}  // namespace korvexa
