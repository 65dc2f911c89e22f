// The township as the map window shows it: the drawing's points and lines
// (ProjectTownship, the same projection and the same chains as lx2dxf),
// each point tied to its entry in the main window's list, indexed for fast
// drawing and picking.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/map/map_index.h"
#include "app/map/map_lines.h"
#include "core/point_list.h"
#include "core/township.h"
#include "writers/waypoint.h"

namespace korvexa {

class CoordinateTransform;
struct PlssTownships;

inline constexpr std::size_t kNoListEntry = std::numeric_limits<std::size_t>::max();

struct TownshipMap {
  Township township;                 // points in file order, UTM metres; no segments (see lines)
  std::vector<std::size_t> entryOf;  // per township point: its index in the PointList, or kNoListEntry
  PointGrid grid;                    // the township's points, same indices
  MapLines lines;
  double spacing = 0;  // typical distance between neighbouring corners, metres

  // The list entries the map does not show.
  std::size_t withoutCoordinates = 0;  // no usable coordinates (core/usable_point.h), empty lines too
  std::size_t farOff = 0;              // usable, but left out of the drawing (far from the others)
  std::size_t leftOut = 0;             // a data set's corners no waypoint file holds (PlssWaypoints leaves them out)
  std::size_t samePlace = 0;           // a data set's corners within 1 cm of one drawn before, not drawn again
  std::string problem;                 // why nothing at all is drawn; empty when the township is drawn
  // A data set's map: per township point, its corner's NAD83 waypoint, which
  // the facts come from; empty for an .LX file's.
  std::vector<Waypoint> waypoints;
};

// The entry of `list` that township point `corner` belongs to, if any.
inline std::optional<std::size_t> ListEntryOf(const TownshipMap& map, const PointList& list, std::size_t corner) {
  const std::size_t entry = map.entryOf[corner];
  if (entry >= list.size()) return std::nullopt;
  return entry;
}

// Whether township point `corner` is ticked in `list`.
inline bool IsTicked(const TownshipMap& map, const PointList& list, std::size_t corner) {
  const std::optional<std::size_t> entry = ListEntryOf(map, list, corner);
  return entry && list[*entry].ticked;
}

// What the map tells about one corner, in its tooltip and on the field sheet.
struct CornerFacts {
  std::string id;                         // PointID without blanks
  const char* datum = "NAD27";            // of the position: "NAD27", or "NAD83" when moved
  double latitude = 0;                    // degrees north
  double longitude = 0;                   // degrees east (west is negative)
  std::string elevationFeet;              // columns 34 to 41 without blanks: US survey feet as written
  std::optional<double> elevationMetres;  // whole metres; nothing when the field is out of range
  std::string reliability;                // columns 42 to 50 without blanks
};

// The facts of township point `corner`; on a data set's map those of its
// waypoint, always NAD83. Otherwise its position in the datum of the
// waypoint file being made, NAD83 when `nad83` is given (moved as Create
// moves it, so that the sheet and the file agree), NAD27 when not or when
// the point cannot be moved; the rest from its list entry in `list` (none
// without one).
CornerFacts DescribeCorner(const TownshipMap& map, const PointList& list, std::size_t corner,
                           const CoordinateTransform* nad83 = nullptr);

// The map of the .LX text `text` (of the file `fileName`, named in
// messages) whose list is `list` (the records of the same text, as File >
// Open made them): a township point and a list entry belong together when
// their first 41 columns are equal. Never throws for a file that cannot be
// drawn: `problem` says why and every entry counts as not shown.
TownshipMap BuildTownshipMap(std::string_view text, const std::string& fileName, const PointList& list);

// The map of the corners of a data set's `townships`, whose list entries
// are theirs in order (PlssListEntries): each corner drawn at its waypoint
// (PlssWaypoints, NAD27 ones moved through `nad83`) in the drawing's NAD83
// UTM zone with its section lines (PlssDrawing). Never throws: `problem`
// says why nothing is drawn.
TownshipMap BuildPlssTownshipMap(const PlssTownships& townships, const CoordinateTransform* nad83);

}  // namespace korvexa
