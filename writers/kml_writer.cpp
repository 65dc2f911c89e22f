#include "writers/kml_writer.h"

#include <string>

#include "core/longitude.h"
#include "core/lx_record.h"
#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/xml_text.h"

namespace korvexa {
namespace {

// Red lines two pixels wide, as the map draws them; KML colours are aabbggrr.
constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
    "<Document>\r\n";
constexpr std::string_view kStyles =
    "<Style id=\"line\"><LineStyle><color>ff0000ff</color><width>2</width></LineStyle></Style>\r\n";

void AppendLonLat(std::string& out, const GeoPosition& point) {
  AppendNumberText(out, WrappedLongitude(point.longitude));
  out += ',';
  AppendNumberText(out, point.latitude);
}

// "35.1201408 N 106.758917 W (NAD83), elevation 1000 US survey feet (305 m), reliability 2.5"
void AppendDescription(std::string& out, const Waypoint& waypoint) {
  out += PositionText(waypoint.position.longitude, waypoint.position.latitude);
  out += " (NAD83), elevation ";
  AppendNumberText(out, waypoint.elevationFeet);
  out += " US survey feet (";
  AppendNumberText(out, waypoint.elevation);
  out += " m), reliability ";
  const std::string_view reliability = TrimBlanks(waypoint.reliability);
  if (reliability.empty()) {
    out += "not given";
  } else {
    AppendXmlText(out, reliability);
  }
}

void AppendCorner(std::string& out, const Waypoint& waypoint) {
  out += "<Placemark><name>";
  AppendXmlText(out, TrimBlanks(waypoint.name));
  out += "</name><description>";
  AppendDescription(out, waypoint);
  out += "</description><Point><coordinates>";
  AppendLonLat(out, waypoint.position);
  out += ',';
  AppendNumberText(out, waypoint.elevation);
  out += "</coordinates></Point></Placemark>\r\n";
}

void AppendLine(std::string& out, const KmlLine& line, std::size_t number) {
  out += "<Placemark><name>Line ";
  out += std::to_string(number);
  out += "</name><styleUrl>#line</styleUrl><LineString><tessellate>1</tessellate><coordinates>";
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (i > 0) out += ' ';
    AppendLonLat(out, line[i]);
  }
  out += "</coordinates></LineString></Placemark>\r\n";
}

}  // namespace

void WriteKmlFile(const std::filesystem::path& path, std::string_view documentName, std::span<const Waypoint> waypoints,
                  std::span<const KmlLine> lines) {
  AtomicFile file(path);
  std::string text(kHeader);
  text += "<name>";
  AppendXmlText(text, documentName);
  text += "</name>\r\n";
  text += kStyles;
  text += "<Folder><name>Corners</name>\r\n";
  for (const Waypoint& waypoint : waypoints) {
    AppendCorner(text, waypoint);
    file.FlushWhenFull(text);
  }
  text += "</Folder>\r\n<Folder><name>Surveyed lines</name>\r\n";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    AppendLine(text, lines[i], i + 1);
    file.FlushWhenFull(text);
  }
  text += "</Folder>\r\n</Document>\r\n</kml>\r\n";
  file.Write(text);
  file.Commit();
}

}  // namespace korvexa
