#include "writers/gpx_track_writer.h"

#include <cmath>
#include <string>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/gpx_writer.h"
#include "writers/xml_text.h"

namespace korvexa {
namespace {

constexpr int kCoordinateDecimals = 7;
constexpr int kElevationDecimals = 2;

void CheckCoordinates(const TrackPoint& point) {
  if (!(std::fabs(point.latitude) <= 90) || !std::isfinite(point.longitude)) {
    throw KorvexaError("the track point at latitude " + NumberText(point.latitude) + ", longitude " +
                       NumberText(point.longitude) + " lies outside the coordinates a GPX file can hold");
  }
}

void AppendPoint(std::string& out, const TrackPoint& point) {
  CheckCoordinates(point);
  out += "<trkpt lat=\"";
  AppendNumberText(out, RoundDecimal(point.latitude, kCoordinateDecimals));
  out += "\" lon=\"";
  // Rounded first: 179.99999999 E rounds to 180 and is written as 180 W.
  AppendNumberText(out, WrapEast(RoundDecimal(point.longitude, kCoordinateDecimals)));
  out += "\">";
  if (point.elevation && std::isfinite(*point.elevation)) {
    out += "<ele>";
    AppendNumberText(out, RoundDecimal(*point.elevation, kElevationDecimals));
    out += "</ele>";
  }
  if (point.utc) {
    out += "<time>";
    AppendXmlTime(out, *point.utc, point.milliseconds);
    out += "</time>";
  }
  out += "</trkpt>\r\n";
}

}  // namespace

void WriteGpxTrack(const std::filesystem::path& path, std::string_view name, std::span<const TrackPoint> points,
                   const CivilTime& writtenUtc) {
  std::string text;
  AppendGpxStart(text, " ");
  text += "\r\n<metadata><time>";
  AppendXmlTime(text, writtenUtc, 0);
  text += "</time></metadata>\r\n<trk><name>";
  AppendXmlText(text, name);
  text += "</name>\r\n<trkseg>\r\n";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0 && points[i].startsSegment) text += "</trkseg>\r\n<trkseg>\r\n";
    AppendPoint(text, points[i]);
  }
  text += "</trkseg>\r\n</trk>\r\n</gpx>\r\n";
  AtomicFile file(path);
  file.Write(text);
  file.Commit();
}

}  // namespace korvexa
