#include "writers/waypoint.h"

#include "core/longitude.h"

namespace korvexa {
namespace {

constexpr int kLineCodesFirstColumn = 51;

}  // namespace

Waypoint LxWaypoint(LxRecord record, const GeoPosition& position, double elevation) {
  Waypoint waypoint;
  waypoint.name = PointIdOf(record);
  waypoint.position = position;
  waypoint.elevation = elevation;
  waypoint.elevationFeet = LxVal(LxColumns(record, kGpxElevationColumn, kElevationLastColumn));
  waypoint.reliability = ReliabilityOf(record);
  if (record.size() >= kLineCodesFirstColumn) waypoint.lineCodes = record.substr(kLineCodesFirstColumn - 1);
  return waypoint;
}

GeoPosition LxPosition(const LxPoint& point, Datum datum) {
  return {datum, EastLongitude(point.Longitude), point.Latitude};
}

}  // namespace korvexa
