#include "app/convert/plss_drawing.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "app/export/export_step.h"
#include "core/korvexa_error.h"
#include "transform/projection.h"

namespace korvexa {
namespace {

// Projects positions into one NAD83 UTM zone and keeps each place once.
class DrawingPoints {
 public:
  DrawingPoints(Township& township, const Projection& projection) : township_(township), projection_(projection) {}

  // The index of the point at `position`, added (named `id`) when no point
  // lies within 1 cm of it; nothing when PROJ cannot project it.
  std::optional<std::uint32_t> At(const GeoPosition& position, const std::string& id) {
    const std::optional<PlanePoint> grid = projection_.Forward(position);
    if (!grid) return std::nullopt;
    const std::pair<long long, long long> key{std::llround(grid->x * 100), std::llround(grid->y * 100)};
    const auto [found, added] = indices_.emplace(key, static_cast<std::uint32_t>(township_.points.size()));
    if (added) {
      township_.points.push_back({id, position.longitude, position.latitude, grid->x, grid->y});
    } else if (township_.points[found->second].id.empty()) {
      township_.points[found->second].id = id;
    }
    return found->second;
  }

 private:
  Township& township_;
  const Projection& projection_;
  std::map<std::pair<long long, long long>, std::uint32_t> indices_;
};

}  // namespace

Township PlssDrawing(const PlssTownships& townships, std::span<const Waypoint> corners) {
  if (corners.empty()) throw KorvexaError("no corner to draw");
  const int zone = UtmZone(WaypointBox(corners).MiddleLongitude());
  const Projection projection = Projection::Utm(zone, Datum::Nad83);
  Township township;
  township.datum = Datum::Nad83;
  township.utmZone = zone;
  township.reliabilities.emplace_back();
  DrawingPoints points(township, projection);
  for (const Waypoint& corner : corners) points.At(corner.position, corner.name);
  if (!townships.sectionLines || townships.datum != Datum::Nad83) return township;
  std::set<std::pair<std::uint32_t, std::uint32_t>> drawn;  // an edge two sections share is drawn once
  for (const std::vector<GeoPosition>& line : *townships.sectionLines) {
    std::optional<std::uint32_t> previous;
    for (const GeoPosition& vertex : line) {
      const std::optional<std::uint32_t> point = points.At(vertex, "");
      if (point && previous && *point != *previous &&
          drawn.insert({std::min(*point, *previous), std::max(*point, *previous)}).second) {
        township.segments.push_back({*previous, *point, 0});
      }
      previous = point;
    }
  }
  return township;
}

}  // namespace korvexa
