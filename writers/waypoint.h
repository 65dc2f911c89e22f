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

// Asks for the text of a record some places ahead: the list is sorted, so
// its records are not in the order of the file's text, and the first touch
// of each record would wait for memory.
inline void PrefetchRecord(LxRecord record) {
  __builtin_prefetch(record.data());
  __builtin_prefetch(record.data() + 63);  // a record of up to 64 bytes spans two cache lines at most
}

inline constexpr std::size_t kPrefetchAhead = 12;

inline void PrefetchAhead(std::span<const Waypoint> waypoints, std::size_t i) {
  if (i + kPrefetchAhead < waypoints.size()) PrefetchRecord(waypoints[i + kPrefetchAhead].record);
}

}  // namespace korvexa
