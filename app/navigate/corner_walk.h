// A crew's walk to the corners of a township map: the corner it is after
// (the target), how far and which way that lies from where it stands, the
// corners it has reached, and which ticked corner to go to next. Plain
// values; the map window's navigator keeps one per map.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "app/map/map_geometry.h"
#include "app/map/map_position.h"
#include "app/map/township_map.h"
#include "core/lx_record.h"
#include "core/point_list.h"

namespace korvexa {

// The way from a position to a place.
struct Leg {
  double metres = 0;
  double trueBearing = 0;  // degrees clockwise from true north at the position, [0, 360)
  double gridBearing = 0;  // degrees clockwise from grid north (the map's up) there, [0, 360)
};

// The leg from `from` to `to` (NAD83) on the GRS 80 ellipsoid, where
// `convergence` is the grid bearing of true north at `from` (MapPlace).
// Throws KorvexaError when a position is not on NAD83.
Leg LegBetween(const GeoPosition& from, const GeoPosition& to, double convergence);

class CornerWalk {
 public:
  static constexpr double kDefaultArrivalFeet = 30;

  // A walk over a map of `corners` corners: no target, nothing visited.
  explicit CornerWalk(std::size_t corners = 0);

  // The corner (index into the map's township points) walked to, or none.
  void SetTarget(std::optional<std::size_t> corner);
  std::optional<std::size_t> target() const { return target_; }

  // A target this close (metres) counts as reached.
  void SetArrivalRadius(double metres) { arrivalRadius_ = metres; }
  double arrivalRadius() const { return arrivalRadius_; }

  // Marks the target visited when `metresToTarget` is within the arrival
  // radius; true when that visit is new.
  bool Arrive(double metresToTarget);

  bool Visited(std::size_t corner) const { return corner < visited_.size() && visited_[corner]; }
  // The corners visited, in the order they were reached.
  const std::vector<std::size_t>& visitOrder() const { return visitOrder_; }

  // The corner to walk to next: of the corners ticked in `list` and not yet
  // visited, other than the target, the one nearest to `from` on `map` (of
  // equally near ones the first in file order); none when there is none.
  std::optional<std::size_t> Next(const TownshipMap& map, const PointList& list, PlanePoint from) const;

 private:
  std::optional<std::size_t> target_;
  double arrivalRadius_ = kDefaultArrivalFeet * kMetresPerUsSurveyFoot;
  std::vector<bool> visited_;
  std::vector<std::size_t> visitOrder_;
};

}  // namespace korvexa
