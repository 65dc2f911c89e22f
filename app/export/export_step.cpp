#include "app/export/export_step.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/services.h"
#include "core/coordinate_transform.h"
#include "core/longitude.h"

namespace korvexa {
namespace {

// How many of the names that stand twice a message lists.
constexpr std::size_t kNamesListed = 10;

void ApplyPrefix(std::vector<Waypoint>& waypoints, const std::string& prefix) {
  if (prefix.empty()) return;
  for (Waypoint& waypoint : waypoints) waypoint.name = prefix + std::string(TrimBlanks(waypoint.name));
}

// The names that stand more than once among `waypoints` (blanks around them
// not counting: a GPS shows " 10010" as "10010"), in the order they first come.
std::vector<std::string_view> NamesTwice(const std::vector<Waypoint>& waypoints) {
  std::unordered_map<std::string_view, int> count;
  count.reserve(waypoints.size());
  std::vector<std::string_view> twice;
  for (const Waypoint& waypoint : waypoints) {
    const std::string_view name = TrimBlanks(waypoint.name);
    if (++count[name] == 2) twice.push_back(name);
  }
  return twice;
}

// "2 names stand twice or more: 100100, 100200", without its full stop.
std::string NamesTwiceText(const std::vector<std::string_view>& twice) {
  std::string text = twice.size() == 1 ? "1 name stands" : std::to_string(twice.size()) + " names stand";
  text += " twice or more: ";
  for (std::size_t i = 0; i < twice.size() && i < kNamesListed; ++i) {
    if (i > 0) text += ", ";
    text += twice[i];
  }
  if (twice.size() > kNamesListed) text += " and " + std::to_string(twice.size() - kNamesListed) + " more";
  return text;
}

// "t12n.csv <verbAndWhere>." and, when corners were left out, " N point(s)
// left out.".
std::string ExportStatus(const ExportResult& result, const std::string& verbAndWhere) {
  std::string status = result.outputPath.filename().string();
  status += ' ';
  status += verbAndWhere;
  status += '.';
  AppendLeftOutCount(status, result.leftOut.size());
  return status;
}

// "1 ticked point without usable coordinates was left out: 300500 (no
// longitude)", without its full stop.
std::string LeftOutText(const std::vector<LeftOutPoint>& leftOut) {
  std::string text = leftOut.size() == 1
                         ? "1 ticked point without usable coordinates was left out: "
                         : std::to_string(leftOut.size()) + " ticked points without usable coordinates were left out: ";
  for (std::size_t i = 0; i < leftOut.size(); ++i) {
    text += (i > 0 ? ", " : "") + leftOut[i].name + " (" + leftOut[i].reason + ")";
  }
  return text;
}

void RequireUsable(const WaypointList& corners) {
  if (!corners.waypoints.empty()) return;
  throw NothingToWrite(corners.leftOut.empty() ? kNoCornersTicked : kNoUsableCorner);
}

}  // namespace

void CheckNamePrefix(const std::string& prefix) {
  for (const char c : prefix) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ',' || c == '"') {
      throw KorvexaError("the name prefix \"" + prefix +
                         "\" holds a control character, a comma or a double quote, which point names cannot hold");
    }
  }
}

WaypointList UsableWaypoints(const PointList& points, int elevationColumn, const CoordinateTransform* nad83) {
  if (std::none_of(points.begin(), points.end(), [](const PointEntry& entry) { return entry.ticked; })) {
    throw NothingToWrite(kNoCornersTicked);
  }
  WaypointList corners = BuildWaypoints(points, nad83, elevationColumn);
  RequireUsable(corners);
  return corners;
}

GeoBox WaypointBox(std::span<const Waypoint> waypoints) {
  const double reference = WrappedLongitude(waypoints.front().position.longitude);
  GeoBox box{reference, waypoints.front().position.latitude, reference, waypoints.front().position.latitude};
  for (const Waypoint& waypoint : waypoints) {
    const double east = NearestTurn(WrappedLongitude(waypoint.position.longitude), reference);
    box.west = std::min(box.west, east);
    box.east = std::max(box.east, east);
    box.south = std::min(box.south, waypoint.position.latitude);
    box.north = std::max(box.north, waypoint.position.latitude);
  }
  box.west = WrapEast(box.west);
  box.east = WrapEast(box.east);
  return box;
}

ExportResult RunExport(WaypointList corners, const NamingRule& naming, const WriteStep& write,
                       const CoordinateTransform* nad83) {
  CheckNamePrefix(naming.prefix);
  RequireUsable(corners);
  ApplyPrefix(corners.waypoints, naming.prefix);
  ExportResult result;
  const std::vector<std::string_view> twice = NamesTwice(corners.waypoints);
  if (!twice.empty()) {
    if (naming.uniqueNames) {
      throw KorvexaError(NamesTwiceText(twice) +
                         "; data collectors key on the point name: export each township with a name prefix of its own");
    }
    result.notices.push_back({false, NamesTwiceText(twice)});
  }
  const std::string done = write({corners.waypoints, nad83}, result);
  result.outputPath = std::filesystem::absolute(result.outputPath);
  result.waypoints = corners.waypoints.size();
  result.leftOut = std::move(corners.leftOut);
  if (!result.leftOut.empty()) result.notices.insert(result.notices.begin(), {false, LeftOutText(result.leftOut)});
  result.status = ExportStatus(result, done);
  return result;
}

ExportResult RunExport(const PointList& points, Datum datum, int elevationColumn, const NamingRule& naming,
                       Services& services, const WriteStep& write) {
  CheckNamePrefix(naming.prefix);
  if (std::none_of(points.begin(), points.end(), [](const PointEntry& entry) { return entry.ticked; })) {
    throw NothingToWrite(kNoCornersTicked);  // before the grids are readied: the first thing to say
  }
  std::unique_ptr<CoordinateTransform> nad83;
  if (datum == Datum::Nad83) nad83 = services.datum->DefineDatumPair();
  return RunExport(UsableWaypoints(points, elevationColumn, nad83.get()), naming, write, nad83.get());
}

}  // namespace korvexa
