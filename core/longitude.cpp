#include "core/longitude.h"

#include <charconv>
#include <cmath>

#include "core/number_text.h"

namespace korvexa {

double EastLongitude(double westLongitude) {
  return -westLongitude;
}

double WrappedEastLongitude(double westLongitude) {
  double east = -westLongitude;
  if (east < -180 || east >= 180) east = RoundDecimal(WrapEast(east), 7);
  return east == 0 ? 0.0 : east;
}

double WrapEast(double eastLongitude) {
  return eastLongitude - 360 * std::floor((eastLongitude + 180) / 360);
}

char Hemisphere(double eastLongitude) {
  return eastLongitude > 0 ? 'E' : 'W';
}

HemisphereLongitude ToHemisphere(double westLongitude) {
  const double east = WrappedEastLongitude(westLongitude);
  if (east == -180) return {'W', 180};
  return {Hemisphere(east), std::fabs(east)};
}

double NearestTurn(double longitude, double reference) {
  return longitude - 360 * std::round((longitude - reference) / 360);
}

double ShortDistanceMetres(double latitude1, double eastLongitude1, double latitude2, double eastLongitude2) {
  constexpr double kSemiMajorAxis = 6378137.0;  // GRS 80, metres
  constexpr double kEccentricitySquared = 0.00669438002290;
  constexpr double kRadiansPerDegree = M_PI / 180;
  const double latitude = (latitude1 + latitude2) / 2 * kRadiansPerDegree;
  const double w = 1 - kEccentricitySquared * std::sin(latitude) * std::sin(latitude);
  const double meridian = kSemiMajorAxis * (1 - kEccentricitySquared) / (w * std::sqrt(w));
  const double primeVertical = kSemiMajorAxis / std::sqrt(w);
  const double north = (latitude2 - latitude1) * kRadiansPerDegree * meridian;
  const double east = (eastLongitude2 - eastLongitude1) * kRadiansPerDegree * primeVertical * std::cos(latitude);
  return std::hypot(north, east);
}

namespace {

void AppendDegrees(std::string& out, double magnitude) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 7);
  out.append(buffer, ec == std::errc() ? end : buffer);
}

}  // namespace

std::string PositionText(double eastLongitude, double latitude) {
  std::string text;
  AppendDegrees(text, std::fabs(latitude));
  text += latitude < 0 ? " S " : " N ";
  AppendDegrees(text, std::fabs(eastLongitude));
  text += ' ';
  text += Hemisphere(eastLongitude);
  return text;
}

}  // namespace korvexa
