// The trail walked in this session: the receiver's fixes, thinned to one per
// kStepMetres moved so that a day's walk at ten fixes a second stays small,
// each kept as the receiver gave it (for the GPX track) and where the map
// shows it. A stretch ends where the fix was lost.
#pragma once

#include <cstddef>
#include <vector>

#include "app/map/map_geometry.h"
#include "writers/gpx_track_writer.h"

namespace korvexa {

class Trail {
 public:
  static constexpr double kStepMetres = 1;

  // Adds the fix `point`, shown at `map`, unless the trail's last point lies
  // within kStepMetres of it on the map in the same stretch. True when added.
  bool Add(const TrackPoint& point, PlanePoint map);
  // The next point starts a new stretch.
  void Break() { broken_ = true; }
  // Replaces the trail with `points` as they are (a walk read back), each
  // starting a stretch where it says so; SetOnMap places them.
  void Assign(std::vector<TrackPoint> points);

  const std::vector<TrackPoint>& points() const { return points_; }
  // Where the map shows each of points(), same indices; NaN for a point the
  // map cannot show. A new map (another township, another zone) replaces
  // them all: `onMap` must then hold size() points, or nothing changes.
  const std::vector<PlanePoint>& onMap() const { return onMap_; }
  void SetOnMap(std::vector<PlanePoint> onMap);
  std::size_t size() const { return points_.size(); }

 private:
  std::vector<TrackPoint> points_;
  std::vector<PlanePoint> onMap_;
  bool broken_ = false;
};

}  // namespace korvexa
