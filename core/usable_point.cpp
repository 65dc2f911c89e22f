#include "core/usable_point.h"

#include <cmath>

#include "core/korvexa_error.h"
#include "core/number_text.h"

namespace korvexa {

std::optional<std::string> WhyCoordinatesUnusable(LxRecord record) {
  LxPoint point;
  try {
    point = DecodeLxPoint(record);
  } catch (const KorvexaError&) {
    return kCoordinateOutOfRange;
  }
  return WhyCoordinatesUnusable(point);
}

std::optional<std::string> WhyCoordinatesUnusable(const LxPoint& point) {
  if (point.Latitude == 0 && point.Longitude == 0) return "no coordinates";
  if (std::fabs(point.Latitude) > 90) return "latitude " + NumberText(point.Latitude) + " beyond 90 degrees";
  if (point.Longitude >= 360) return "longitude " + NumberText(point.Longitude) + " W beyond 360 degrees";
  return std::nullopt;
}

std::optional<std::string> WhyElevationUnusable(double metres) {
  if (metres < kLowestElevationMetres || metres > kHighestElevationMetres) {
    return "elevation " + NumberText(metres) + " m beyond any place on Earth";
  }
  return std::nullopt;
}

std::string RecordName(LxRecord record) {
  if (record.empty()) return "an empty line";
  const std::string id = TrimmedPointId(record);
  return id.empty() ? "a point without PointID" : id;
}

}  // namespace korvexa
