#include "core/longitude.h"

namespace korvexa {

double EastLongitude(double westLongitude) {
  return -westLongitude;
}

double WestLongitude(double eastLongitude) {
  return -eastLongitude;
}

char Hemisphere(double eastLongitude) {
  return eastLongitude > 0 ? 'E' : 'W';
}

}  // namespace korvexa
