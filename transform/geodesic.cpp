#include "transform/geodesic.h"

#include <geodesic.h>

#include <cmath>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/projection.h"

namespace korvexa {
namespace {

struct EllipsoidSize {
  double equatorialRadius;  // metres
  double flattening;
};

constexpr EllipsoidSize kClarke1866{6378206.4, 1 / 294.978698213898};
constexpr EllipsoidSize kGrs80{6378137.0, 1 / 298.257222101};

}  // namespace

Geodesic::Geodesic(Datum datum) : datum_(datum) {
  const EllipsoidSize size = datum == Datum::Nad83 ? kGrs80 : kClarke1866;
  auto ellipsoid = std::make_shared<geod_geodesic>();
  geod_init(ellipsoid.get(), size.equatorialRadius, size.flattening);
  ellipsoid_ = std::move(ellipsoid);
}

void Geodesic::RequireDatum(const GeoPosition& position) const {
  if (position.datum != datum_) {
    throw KorvexaError("a position on " + DatumName(position.datum) + " cannot be measured on the ellipsoid of " +
                       DatumName(datum_));
  }
}

GeodesicLine Geodesic::Inverse(const GeoPosition& from, const GeoPosition& to) const {
  RequireDatum(from);
  RequireDatum(to);
  double metres = 0, azimuth = 0, arrival = 0;
  geod_inverse(ellipsoid_.get(), from.latitude, from.longitude, to.latitude, to.longitude, &metres, &azimuth, &arrival);
  if (metres == 0) return {};
  if (azimuth < 0) azimuth += 360;
  return {metres, azimuth >= 360 ? 0 : azimuth};  // -1e-15 + 360 rounds to 360
}

GeoPosition Geodesic::Direct(const GeoPosition& from, double azimuth, double metres) const {
  RequireDatum(from);
  double latitude = 0, longitude = 0;
  geod_direct(ellipsoid_.get(), from.latitude, from.longitude, azimuth, metres, &latitude, &longitude, nullptr);
  return {datum_, NearestTurn(longitude, from.longitude), latitude};
}

}  // namespace korvexa
