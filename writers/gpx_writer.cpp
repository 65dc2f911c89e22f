#include "writers/gpx_writer.h"

#include <memory>
#include <string>
#include <string_view>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/lx_record.h"
#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/in_order_blocks.h"
#include "writers/waypoint.h"
#include "writers/xml_text.h"

namespace korvexa {
namespace {

constexpr std::string_view kNamespace = "http://www.topografix.com/GPX/1/1";
constexpr std::string_view kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kKorvexaHomePage = "https://korvexa.org/";  // the link of the metadata
// A decoded record as written: east longitudes in [-180, 180).
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
  // The box of both.
  void Add(const Bounds& other) {
    if (other.empty_) return;
    Add(GpxPosition{other.minlat_, other.minlon_});
    Add(GpxPosition{other.maxlat_, other.maxlon_});
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

GpxPosition DecodePosition(const Waypoint& waypoint, const CoordinateTransform* transform) {
  const LxRecord record = waypoint.record;
  const LxPoint point = ToLxPoint(record, waypoint.coordinates, transform);
  if (point.Latitude > 90 || point.Latitude < -90 || point.Longitude >= 360) {
    throw KorvexaError("point " + TrimmedPointId(record) + " at latitude " + NumberText(point.Latitude) +
                       ", longitude " + NumberText(EastLongitude(point.Longitude)) +
                       " lies outside the coordinates a GPX file can hold");
  }
  return GpxPosition{point.Latitude, WrappedEastLongitude(point.Longitude)};
}

// "yyyy-mm-ddThh:mm:ssZ"
void AppendUtcTime(std::string& out, const CivilTime& t) {
  AppendTwoDigits(out, t.year / 100);
  AppendTwoDigits(out, t.year % 100);
  out += '-';
  AppendTwoDigits(out, t.month);
  out += '-';
  AppendTwoDigits(out, t.day);
  out += 'T';
  AppendTwoDigits(out, t.hour);
  out += ':';
  AppendTwoDigits(out, t.minute);
  out += ':';
  AppendTwoDigits(out, t.second);
  out += 'Z';
}

// AppendUtcTime of the clock's readings, written once per second of the clock.
class UtcTimeText {
 public:
  std::string_view For(const CivilTime& utc) {
    if (text_.empty() || utc != time_) {
      time_ = utc;
      text_.clear();
      AppendUtcTime(text_, utc);
    }
    return text_;
  }

 private:
  CivilTime time_;
  std::string text_;
};

void AppendHeader(std::string& out, const CivilTime& utc) {
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n";
  out += "<gpx xmlns=\"";
  out += kNamespace;
  out += "\" creator=\"Korvexa\" version=\"1.1\" xmlns:xsi=\"";
  out += kSchemaInstance;
  out += "\" xsi:schemaLocation=\"";
  out += kNamespace;
  out += "\r\n";
  out += kNamespace;
  out += "/gpx.xsd\"><metadata><link href=\"";
  out += kKorvexaHomePage;
  out += "\"><text>Vesk Surveying Engineering</text></link><time>";
  AppendUtcTime(out, utc);
  out += "</time>\r\n";
}

void AppendWaypoint(std::string& out, LxRecord record, const GpxPosition& position, double elevation,
                    std::string_view utc) {
  const std::string_view id = PointIdOf(record);
  out += "<wpt lat=\"";
  AppendNumberText(out, position.latitude);
  out += "\" lon=\"";
  AppendNumberText(out, position.longitude);
  out += "\"><ele>";
  AppendNumberText(out, elevation);
  out += ".000</ele><time>";
  out += utc;
  out += "</time><name>";
  AppendXmlText(out, id);
  out += "</name><cmt>Rely=";
  AppendXmlText(out, ReliabilityOf(record));
  out += "</cmt><desc>";
  AppendXmlText(out, id);
  out += "</desc><sym>Waypoint</sym></wpt>\r\n";
}

}  // namespace

std::size_t WriteGpxFile(const std::filesystem::path& path, std::span<const LxRecord> records,
                         const CoordinateTransform* transform, const Clock& clock) {
  return WriteGpxFile(path, ReadWaypoints(records), transform, clock);
}

std::size_t WriteGpxFile(const std::filesystem::path& path, std::span<const Waypoint> waypoints,
                         const CoordinateTransform* transform, const Clock& clock, Threads threads) {
  const std::unique_ptr<HelperThread> helper = HelperThreadFor(threads, waypoints.size(), clock, transform);
  return WriteGpxFile(path, waypoints, transform, clock, helper.get());
}

std::size_t WriteGpxFile(const std::filesystem::path& path, std::span<const Waypoint> waypoints,
                         const CoordinateTransform* transform, const Clock& clock, HelperThread* helper) {
  AtomicFile file(path);
  std::string head;
  AppendHeader(head, clock.Now().utc);

  Bounds bounds;
  ForEachBlockInOrder<Bounds>(
      waypoints.size(), kWaypointsPerBlock, helper,
      [&](std::size_t first, std::size_t last, Bounds& block) {
        block = Bounds();
        for (std::size_t i = first; i < last; ++i) {
          PrefetchAhead(waypoints, i);
          block.Add(DecodePosition(waypoints[i], transform));
        }
      },
      [&](const Bounds& block) { bounds.Add(block); });
  bounds.AppendLine(head);
  file.Write(head);

  ForEachBlockInOrder<std::string>(
      waypoints.size(), kWaypointsPerBlock, helper,
      [&](std::size_t first, std::size_t last, std::string& text) {
        text.clear();
        UtcTimeText timeText;
        for (std::size_t i = first; i < last; ++i) {
          PrefetchAhead(waypoints, i);
          const LxRecord record = waypoints[i].record;
          const GpxPosition position = DecodePosition(waypoints[i], transform);
          const double elevation = DecodeElevation(record, kGpxElevationColumn);
          AppendWaypoint(text, record, position, elevation, timeText.For(clock.Now().utc));
        }
      },
      [&](const std::string& text) { file.Write(text); });
  file.Write("</gpx>\r\n");
  file.Commit();
  return waypoints.size();
}

}  // namespace korvexa
