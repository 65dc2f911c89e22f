// One output of the ticked corners, whatever its kind. Create, Save
// waypoints as, the data collector's point file, the KML file and Send to
// GPS all go through RunExport, which in order
//
//   1. builds the waypoints of the ticked corners once, on the output's
//      datum (app/convert/waypoints.h for an LX file's list; another source
//      of corners hands over its finished waypoints),
//   2. refuses when nothing usable is left, before anything is written or
//      replaced (NothingToWrite),
//   3. puts the name prefix before every name and finds the names that
//      stand twice,
//   4. lets the output write its file or files, each atomically,
//   5. reports: the count, the corners left out, the names twice, the status.
#pragma once

#include <functional>
#include <span>
#include <string>

#include "app/convert/waypoints.h"
#include "app/export/export_result.h"
#include "core/geo_position.h"
#include "core/korvexa_error.h"
#include "transform/grid_crs.h"

namespace korvexa {

class CoordinateTransform;
struct Services;

// The window's status lines (and korvexa-convert's error lines) when nothing
// usable is ticked.
inline constexpr const char* kNoCornersTicked = "No corners are ticked.";
inline constexpr const char* kNoUsableCorner = "No ticked corner has usable coordinates.";

// Nothing usable to write: nothing was written or replaced. Its message is
// kNoCornersTicked or kNoUsableCorner.
class NothingToWrite : public KorvexaError {
 public:
  using KorvexaError::KorvexaError;
};

// How the waypoints of an output are named.
struct NamingRule {
  // Put before every name with the name's blanks trimmed ("T12N-" gives
  // "T12N-100100"); none keeps the names as the source gives them.
  std::string prefix;
  // Names that stand twice are refused (a data collector keys on the point
  // name) rather than named in a warning.
  bool uniqueNames = false;
};

// Throws KorvexaError when `prefix` cannot stand before a name: it holds a
// control character, a comma or a double quote (which point files would have
// to quote, and data collectors do not read quoted names).
void CheckNamePrefix(const std::string& prefix);

// The waypoints of an output, as its writer gets them.
struct FinishedWaypoints {
  std::span<const Waypoint> waypoints;         // usable, named, on the output's datum, in list order
  const CoordinateTransform* nad83 = nullptr;  // the NAD27 to NAD83 pair of the run, when the datum is NAD83
};

// Writes one output's file or files atomically from `finished`, sets
// `result.outputPath` (and `summary`, `crsCode`, notices of its own), and
// returns what the status says was done, after the file's name: "created in
// NAD83 / New Mexico Central (ftUS), EPSG:2258". Throws KorvexaError; the
// targets then keep their old content.
using WriteStep = std::function<std::string(const FinishedWaypoints& finished, ExportResult& result)>;

// The box of `waypoints`, which lie within a few degrees of one another:
// longitudes taken on the turn of the first, so a township across 180
// degrees gives a box with west > east.
GeoBox WaypointBox(std::span<const Waypoint> waypoints);

// Step 1 and 2 for the ticked entries of `points`: their waypoints, their
// elevations from `elevationColumn` (BuildWaypoints), moved through `nad83`
// when it is given. Throws NothingToWrite when none is ticked or none is
// usable, and KorvexaError as BuildWaypoints.
WaypointList UsableWaypoints(const PointList& points, int elevationColumn, const CoordinateTransform* nad83);

// Steps 2 to 5 for the finished waypoints of any source. Throws
// NothingToWrite, KorvexaError for a bad prefix or names twice that
// `naming` refuses, or what `write` throws; nothing is written then.
ExportResult RunExport(WaypointList corners, const NamingRule& naming, const WriteStep& write,
                       const CoordinateTransform* nad83 = nullptr);

// Steps 1 to 5 for the ticked entries of `points`: on NAD83 (the pair
// defined through `services`, its grids readied before anything is
// written) or NAD27 as the file gives them.
ExportResult RunExport(const PointList& points, Datum datum, int elevationColumn, const NamingRule& naming,
                       Services& services, const WriteStep& write);

}  // namespace korvexa
