#include "app/navigate/geodesic.h"

#include <cmath>
#include <numbers>

namespace korvexa {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr int kMostIterations = 200;
constexpr double kSettled = 1e-12;  // radians of longitude on the auxiliary sphere

// The part of the iteration that the length needs besides the angles.
struct SphereArc {
  double sinSigma = 0, cosSigma = 0, sigma = 0;
  double cosSquaredAlpha = 0, cos2SigmaM = 0;
  double sinLambda = 0, cosLambda = 0;
};

// Vincenty's series for the length of an arc of the auxiliary sphere on the
// ellipsoid (his equations 3, 4, 6 and 19).
double ArcLength(const SphereArc& arc, const Ellipsoid& ellipsoid) {
  const double a = ellipsoid.equatorialRadius;
  const double b = a * (1 - ellipsoid.flattening);
  const double uSquared = arc.cosSquaredAlpha * (a * a - b * b) / (b * b);
  const double bigA = 1 + uSquared / 16384 * (4096 + uSquared * (-768 + uSquared * (320 - 175 * uSquared)));
  const double bigB = uSquared / 1024 * (256 + uSquared * (-128 + uSquared * (74 - 47 * uSquared)));
  const double c2 = arc.cos2SigmaM * arc.cos2SigmaM;
  const double deltaSigma =
      bigB * arc.sinSigma *
      (arc.cos2SigmaM + bigB / 4 *
                            (arc.cosSigma * (-1 + 2 * c2) -
                             bigB / 6 * arc.cos2SigmaM * (-3 + 4 * arc.sinSigma * arc.sinSigma) * (-3 + 4 * c2)));
  return b * bigA * (arc.sigma - deltaSigma);
}

}  // namespace

GeodesicLine GeodesicInverse(double fromLongitude, double fromLatitude, double toLongitude, double toLatitude,
                             const Ellipsoid& ellipsoid) {
  const double f = ellipsoid.flattening;
  const double bigL = std::remainder(toLongitude - fromLongitude, 360.0) * kRadiansPerDegree;
  const double u1 = std::atan((1 - f) * std::tan(fromLatitude * kRadiansPerDegree));
  const double u2 = std::atan((1 - f) * std::tan(toLatitude * kRadiansPerDegree));
  const double sinU1 = std::sin(u1), cosU1 = std::cos(u1);
  const double sinU2 = std::sin(u2), cosU2 = std::cos(u2);

  SphereArc arc;
  double lambda = bigL;
  for (int iteration = 0; iteration < kMostIterations; ++iteration) {
    arc.sinLambda = std::sin(lambda);
    arc.cosLambda = std::cos(lambda);
    const double across = cosU2 * arc.sinLambda;
    const double along = cosU1 * sinU2 - sinU1 * cosU2 * arc.cosLambda;
    arc.sinSigma = std::hypot(across, along);
    if (arc.sinSigma == 0) return {};  // the same place
    arc.cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * arc.cosLambda;
    arc.sigma = std::atan2(arc.sinSigma, arc.cosSigma);
    const double sinAlpha = cosU1 * cosU2 * arc.sinLambda / arc.sinSigma;
    arc.cosSquaredAlpha = 1 - sinAlpha * sinAlpha;
    // On the equator cos^2 alpha is 0 and the term drops out.
    arc.cos2SigmaM = arc.cosSquaredAlpha != 0 ? arc.cosSigma - 2 * sinU1 * sinU2 / arc.cosSquaredAlpha : 0;
    const double c = f / 16 * arc.cosSquaredAlpha * (4 + f * (4 - 3 * arc.cosSquaredAlpha));
    const double previous = lambda;
    lambda =
        bigL + (1 - c) * f * sinAlpha *
                   (arc.sigma + c * arc.sinSigma *
                                    (arc.cos2SigmaM + c * arc.cosSigma * (-1 + 2 * arc.cos2SigmaM * arc.cos2SigmaM)));
    if (std::fabs(lambda - previous) < kSettled) break;
  }
  const double azimuth = std::atan2(cosU2 * arc.sinLambda, cosU1 * sinU2 - sinU1 * cosU2 * arc.cosLambda);
  double degrees = azimuth / kRadiansPerDegree;
  if (degrees < 0) degrees += 360;
  if (degrees >= 360) degrees -= 360;
  return {ArcLength(arc, ellipsoid), degrees};
}

}  // namespace korvexa
