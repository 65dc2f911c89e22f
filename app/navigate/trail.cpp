#include "app/navigate/trail.h"

#include <cmath>
#include <limits>
#include <utility>

namespace korvexa {

bool Trail::Add(const TrackPoint& point, PlanePoint map) {
  const bool startsStretch = broken_ || points_.empty();
  if (!startsStretch) {
    const PlanePoint last = onMap_.back();
    if (std::hypot(map.x - last.x, map.y - last.y) < kStepMetres) return false;
  }
  TrackPoint added = point;
  added.startsSegment = startsStretch;
  points_.push_back(added);
  onMap_.push_back(map);
  broken_ = false;
  return true;
}

void Trail::Assign(std::vector<TrackPoint> points) {
  points_ = std::move(points);
  if (!points_.empty()) points_.front().startsSegment = true;
  onMap_.assign(points_.size(), {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()});
  broken_ = true;
}

void Trail::SetOnMap(std::vector<PlanePoint> onMap) {
  if (onMap.size() == points_.size()) onMap_ = std::move(onMap);
}

}  // namespace korvexa
