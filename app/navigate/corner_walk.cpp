#include "app/navigate/corner_walk.h"

#include <cmath>
#include <limits>

#include "transform/geodesic.h"

namespace korvexa {
namespace {

double FullCircle(double degrees) {
  double turned = std::fmod(degrees, 360.0);
  if (turned < 0) turned += 360;
  return turned >= 360 ? 0 : turned;  // -1e-15 + 360 rounds to 360
}

}  // namespace

Leg LegBetween(const GeoPosition& from, const GeoPosition& to, double convergence) {
  const GeodesicLine line = Geodesic(Datum::Nad83).Inverse(from, to);
  return {line.metres, line.azimuth, FullCircle(line.azimuth + convergence)};
}

CornerWalk::CornerWalk(std::size_t corners) : visited_(corners, false) {}

void CornerWalk::SetTarget(std::optional<std::size_t> corner) {
  target_ = corner && *corner < visited_.size() ? corner : std::nullopt;
}

bool CornerWalk::Arrive(double metresToTarget) {
  if (!target_ || visited_[*target_] || !(metresToTarget <= arrivalRadius_)) return false;
  visited_[*target_] = true;
  visitOrder_.push_back(*target_);
  return true;
}

std::optional<std::size_t> CornerWalk::Next(const TownshipMap& map, const PointList& list, PlanePoint from) const {
  std::optional<std::size_t> nearest;
  double nearestSquared = std::numeric_limits<double>::infinity();
  for (std::size_t corner = 0; corner < map.grid.size() && corner < visited_.size(); ++corner) {
    if (visited_[corner] || corner == target_ || !IsTicked(map, list, corner)) continue;
    const PlanePoint at = map.grid[corner];
    const double squared = (at.x - from.x) * (at.x - from.x) + (at.y - from.y) * (at.y - from.y);
    if (squared < nearestSquared) {
      nearestSquared = squared;
      nearest = corner;
    }
  }
  return nearest;
}

}  // namespace korvexa
