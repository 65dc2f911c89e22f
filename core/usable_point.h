// Which records can be written as waypoints or drawn: one rule for every
// output (the waypoint file, the drawing, the map).
//
// A record has no usable coordinates when its latitude field (columns 9 to
// 19) or its longitude field (21 to 32) holds no digit, its latitude and
// longitude are both zero, its latitude lies beyond 90 degrees, its
// longitude beyond 360 degrees, or a coordinate field holds a number too
// large for a double. A point with usable coordinates that lies more than 3
// degrees from the middle of its township has wrong ones. A waypoint also
// needs an elevation that some place on Earth has: -500 m to 9000 m. Such
// records stay in the list, but every output leaves them out and says so.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/lx_record.h"

namespace korvexa {

inline constexpr double kLowestElevationMetres = -500;   // the Dead Sea's shore is at -430 m
inline constexpr double kHighestElevationMetres = 9000;  // Everest is 8849 m high

// The reasons for a record whose coordinate or elevation field does not fit
// a number.
inline constexpr const char* kCoordinateOutOfRange = "a coordinate field out of range";
inline constexpr const char* kElevationOutOfRange = "an elevation field out of range";

// Why `record` has no usable coordinates ("no coordinates", "no latitude",
// "no longitude", "latitude 99.5 beyond 90 degrees", ...), or nothing when it
// has.
std::optional<std::string> WhyCoordinatesUnusable(LxRecord record);

// Decodes `record` (DecodeLxPoint without a transformation) into `point`,
// and says why its coordinates are not usable, or nothing when they are.
std::optional<std::string> DecodeUsablePoint(LxRecord record, LxPoint& point);

// How far a point may lie from the middle of its township, in latitude and
// in longitude: half a UTM zone, far more than any township spans.
inline constexpr double kMaxDegreesFromMiddle = 3;

// The middle of a township: the medians of its usable points' latitudes and
// of their west longitudes, each taken apart (of an even count the upper).
struct TownshipMiddle {
  double latitude = 0;       // degrees north
  double westLongitude = 0;  // west-longitude magnitude, degrees
};

// The middle of `points`, which must not be empty.
TownshipMiddle MiddleOf(std::span<const LxPoint> points);

// Why `point` is too far from `middle` ("at 32.1 N 106 W lies more than 3
// degrees from the middle of the township (35.120096 N 106.7583333 W)"), or
// nothing when it is not.
std::optional<std::string> WhyFarFromMiddle(const LxPoint& point, const TownshipMiddle& middle);

// A township's records judged once by the rule above, for every output.
struct JudgedTownship {
  std::vector<LxPoint> points;  // each record's NAD27 position, in record order
  std::vector<bool> usable;     // whether each record's position may be written or drawn
  // The other records' indexes and why they are left out, by index.
  std::vector<std::pair<std::size_t, std::string>> leftOut;
  // The middle of the records with usable coordinates; none when no record has them.
  std::optional<TownshipMiddle> middle;

  // Why the record at `index`, which is not usable, is left out.
  const std::string& WhyLeftOut(std::size_t index) const;
};

// Judges the `count` records that `recordAt` gives by index: each decoded
// once, then those far from the middle of the usable ones left out too.
JudgedTownship JudgeTownship(std::size_t count, const std::function<LxRecord(std::size_t)>& recordAt);

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
