// The crew's walk for as long as the program runs, whatever map window shows
// it: the trail since the walk started, when it started, whether it has
// been saved since it last grew, and per township (by its file's name, or
// its data set's PLSSIDs) the corners reached and the corner walked to. A
// map shown again, or another township opened and this one opened again,
// finds them as they were.
// Plain values; the navigator (ui/navigate/navigator.h) keeps one.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/map/township_map.h"
#include "app/navigate/corner_walk.h"
#include "app/navigate/trail.h"
#include "core/clock.h"

namespace korvexa {

// "2026-12-06 14:03": when a walk started, for people.
std::string WalkStartText(const CivilTime& started);

class FieldWalk {
 public:
  // Adds a fix to the trail (Trail::Add); the first one starts the walk at
  // `now`. True when added, which leaves the walk unsaved.
  bool AddFix(const TrackPoint& point, PlanePoint map, const CivilTime& nowLocal);
  // A walk read back (a journal): its trail and start, not yet saved.
  void Restore(std::vector<TrackPoint> points, const CivilTime& startedLocal);

  Trail& trail() { return trail_; }
  const Trail& trail() const { return trail_; }
  std::optional<CivilTime> started() const { return started_; }  // local time
  // True while points were added since the last save.
  bool unsaved() const { return unsaved_; }
  void MarkSaved() { unsaved_ = false; }

  // "Walk of 2026-12-06 14:03" (local time): the track's name in a GPX file.
  std::string Name() const;
  // "walk-2026-12-06-1403": the file a saved trail is offered under.
  std::string FileStem() const;

  // Keeps what `walk` has of the township `township` (visits, target), by
  // the PointIDs of `map`.
  void Leave(const std::string& township, const CornerWalk& walk, const TownshipMap& map);
  // The walk over `map` of `township` as it was last left: the same corners
  // visited in the same order and the same target; new with none.
  CornerWalk Enter(const std::string& township, const TownshipMap& map, double arrivalRadius) const;

 private:
  struct Township {
    std::vector<std::string> visited;  // PointIDs in the order reached
    std::optional<std::string> target;
  };

  Trail trail_;
  std::optional<CivilTime> started_;
  bool unsaved_ = false;
  std::map<std::string, Township> townships_;
};

}  // namespace korvexa
