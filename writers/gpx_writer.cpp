#include "writers/gpx_writer.h"

#include <string>
#include <string_view>

#include "core/longitude.h"
#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/waypoint.h"
#include "writers/xml_text.h"

namespace korvexa {
namespace {

constexpr std::string_view kNamespace = "http://www.topografix.com/GPX/1/1";
constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kKorvexaHomePage = "https://korvexa.org/";  // the link of the metadata
// A position as written: east longitudes in [-180, 180).
struct GpxPosition {
  double latitude = 0;
  double longitude = 0;
};

class Bounds {
 public:
  // The box starts at the first point, so a point at 0 counts like any other.
  void Add(const GpxPosition& p) {
    if (empty_) {
      minlat_ = maxlat_ = p.latitude;
      minlon_ = maxlon_ = p.longitude;
      empty_ = false;
      return;
    }
    if (p.latitude < minlat_) minlat_ = p.latitude;
    if (p.longitude < minlon_) minlon_ = p.longitude;
    if (p.latitude > maxlat_) maxlat_ = p.latitude;
    if (p.longitude > maxlon_) maxlon_ = p.longitude;
  }
  void AppendLine(std::string& out) const {
    out += "<bounds minlat=\"";
    AppendNumberText(out, minlat_);
    out += "\" minlon=\"";
    AppendNumberText(out, minlon_);
    out += "\" maxlat=\"";
    AppendNumberText(out, maxlat_);
    out += "\" maxlon=\"";
    AppendNumberText(out, maxlon_);
    out += "\"/></metadata>\r\n";
  }

 private:
  bool empty_ = true;
  double minlat_ = 0, minlon_ = 0, maxlat_ = 0, maxlon_ = 0;
};

GpxPosition PositionOf(const Waypoint& waypoint) {
  return GpxPosition{waypoint.position.latitude, WrappedLongitude(waypoint.position.longitude)};
}

void AppendHeader(std::string& out, const CivilTime& utc) {
  AppendGpxStart(out, "\r\n");
  out += "<metadata><link href=\"";
  out += kKorvexaHomePage;
  out += "\"><text>Vesk Surveying Engineering</text></link><time>";
  AppendXmlTime(out, utc);
  out += "</time>\r\n";
}

void AppendWaypoint(std::string& out, const Waypoint& waypoint, const CivilTime& utc) {
  const GpxPosition position = PositionOf(waypoint);
  out += "<wpt lat=\"";
  AppendNumberText(out, position.latitude);
  out += "\" lon=\"";
  AppendNumberText(out, position.longitude);
  out += "\"><ele>";
  AppendNumberText(out, waypoint.elevation);
  out += ".000</ele><time>";
  AppendXmlTime(out, utc);
  out += "</time><name>";
  AppendXmlText(out, waypoint.name);
  out += "</name><cmt>Rely=";
  AppendXmlText(out, waypoint.reliability);
  out += "</cmt><desc>";
  AppendXmlText(out, waypoint.name);
  out += "</desc><sym>Waypoint</sym></wpt>\r\n";
}

}  // namespace

void AppendGpxStart(std::string& out, std::string_view schemaBreak) {
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n<gpx xmlns=\"";
  out += kNamespace;
  out += "\" creator=\"Korvexa\" version=\"1.1\" xmlns:xsi=\"";
  out += kSchemaInstance;
  out += "\" xsi:schemaLocation=\"";
  out += kNamespace;
  out += schemaBreak;
  out += kNamespace;
  out += "/gpx.xsd\">";
}

void WriteGpxFile(const std::filesystem::path& path, std::span<const Waypoint> waypoints, const Clock& clock) {
  AtomicFile file(path);
  std::string text;
  AppendHeader(text, clock.Now().utc);
  Bounds bounds;
  for (const Waypoint& waypoint : waypoints) bounds.Add(PositionOf(waypoint));
  bounds.AppendLine(text);
  for (const Waypoint& waypoint : waypoints) {
    AppendWaypoint(text, waypoint, clock.Now().utc);
    file.FlushWhenFull(text);
  }
  text += "</gpx>\r\n";
  file.Write(text);
  file.Commit();
}

}  // namespace korvexa
