// A record on its way into a waypoint file, its coordinates already read, so
// that no pass of a writer reads the same fields twice.
#pragma once

#include <span>
#include <vector>

#include "core/lx_record.h"

namespace korvexa {

struct Waypoint {
  LxRecord record;
  LxCoordinates coordinates;  // ReadLxCoordinates(record)
};

// The waypoints of `records`, in order. Throws as ReadLxCoordinates.
std::vector<Waypoint> ReadWaypoints(std::span<const LxRecord> records);

// Asks for the text of a waypoint some places ahead of `i`: the writers visit
// the records in list order, which is not the order of the file's text, and
// the first touch of each record would wait for memory.
inline void PrefetchAhead(std::span<const Waypoint> waypoints, std::size_t i) {
  constexpr std::size_t kAhead = 12;
  if (i + kAhead >= waypoints.size()) return;
  const char* text = waypoints[i + kAhead].record.data();
  __builtin_prefetch(text);
  __builtin_prefetch(text + 63);  // a record of up to 64 bytes spans two cache lines at most
}

}  // namespace korvexa
