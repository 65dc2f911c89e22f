// Which records can be written as waypoints or drawn.
//
// A record has no usable coordinates when its latitude and longitude are both
// zero (blank fields, or the empty entry of an empty line), its latitude lies
// beyond 90 degrees, its longitude beyond 360 degrees, or a coordinate field
// holds a number too large for a double. A waypoint also needs an elevation
// that some place on Earth has: -500 m to 9000 m. Such records stay in the
// list, but Create and the drawing leave them out and say so.
#pragma once

#include <optional>
#include <string>

#include "core/lx_record.h"

namespace korvexa {

inline constexpr double kLowestElevationMetres = -500;   // the Dead Sea's shore is at -430 m
inline constexpr double kHighestElevationMetres = 9000;  // Everest is 8849 m high

// The reasons for a record whose coordinate or elevation field does not fit
// a number.
inline constexpr const char* kCoordinateOutOfRange = "a coordinate field out of range";
inline constexpr const char* kElevationOutOfRange = "an elevation field out of range";

// Why `record` has no usable coordinates ("no coordinates", "latitude 99.5
// beyond 90 degrees", ...), or nothing when it has.
std::optional<std::string> WhyCoordinatesUnusable(LxRecord record);

// The same for coordinates already decoded (DecodeLxPoint without a
// transformation).
std::optional<std::string> WhyCoordinatesUnusable(const LxPoint& point);

// Why an elevation of `metres` is no place's on Earth ("elevation 12192 m
// beyond any place on Earth"), or nothing when it is.
std::optional<std::string> WhyElevationUnusable(double metres);

// A point that an output leaves out, and why.
struct LeftOutPoint {
  std::string name;    // RecordName
  std::string reason;  // "no coordinates", ...
};

// How messages name a record: its PointID without blanks, "an empty line"
// for the empty entry, "a point without PointID" when the PointID is blank.
std::string RecordName(LxRecord record);

}  // namespace korvexa
