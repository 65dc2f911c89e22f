#include "core/longitude.h"

#include <charconv>
#include <cmath>

#include "core/number_text.h"

namespace korvexa {

double EastLongitude(double westLongitude) {
  return -westLongitude;
}

double WrappedLongitude(double eastLongitude) {
  double east = eastLongitude;
  if (east < -180 || east >= 180) east = RoundDecimal(WrapEast(east), 7);
  return east == 0 ? 0.0 : east;
}

double WrapEast(double eastLongitude) {
  return eastLongitude - 360 * std::floor((eastLongitude + 180) / 360);
}

char Hemisphere(double eastLongitude) {
  return eastLongitude > 0 ? 'E' : 'W';
}

HemisphereLongitude ToHemisphere(double eastLongitude) {
  const double east = WrappedLongitude(eastLongitude);
  if (east == -180) return {'W', 180};
  return {Hemisphere(east), std::fabs(east)};
}

double NearestTurn(double longitude, double reference) {
  return longitude - 360 * std::round((longitude - reference) / 360);
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
