// The Create command: one complete conversion of the ticked points.
//
// In order: form the output name from the loaded file's title, define the
// NAD27 and NAD83 systems (when transforming), build the waypoints of the
// ticked points once (app/convert/waypoints.h: the points without usable coordinates
// set aside, the others moved to NAD83), start the DXF converter on a
// temporary file (when drawing) and write the waypoint file of the chosen
// kind; once that file is in place, the drawing takes its own name. Names resolve against the working
// folder that OpenLxFile set, so the outputs land beside the input.
//
// A Create that fails writes nothing: every output is made under a temporary
// name, and a failure (an unwritable output, a point outside the grids, ...)
// stops the run with a KorvexaError before anything takes its name. Only the
// drawing may fail on its own: the waypoint file is then written all the same
// and the result says why the drawing was not.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/converters.h"
#include "core/point_list.h"
#include "core/usable_point.h"

namespace korvexa {

struct Services;

enum class OutputKind { Pcx5 = 1, Gpx = 2 };

struct CreateOptions {
  OutputKind kind = OutputKind::Gpx;
  bool transform = true;  // NAD27 to NAD83
  bool drawing = true;    // DXF drawing of the whole township
  // Without the transformation, measure how far the NAD27 positions lie from
  // NAD83 ones (CreateResult::nad27ErrorMetres) through the datum library.
  bool measureNad27Error = false;
};

struct CreateResult {
  std::filesystem::path outputPath;  // absolute
  std::size_t waypoints = 0;
  std::vector<LeftOutPoint> leftOut;      // ticked points without usable coordinates, in list order
  std::string drawingName;                // "t12n.dxf", when the drawing was asked for
  std::optional<DrawingOutcome> drawing;  // when the drawing was asked for
  // Without the transformation the file holds NAD27 positions, which a GPS
  // takes for WGS 84: how far off that puts the corners, the largest NADCON
  // shift among the waypoints in metres, when measured and the grids tell.
  bool nad27 = false;
  std::optional<double> nad27ErrorMetres;
  std::string status;  // the status line: "File created.", "Files created.", ...
};

// `fName` less its last three characters, followed by ".grm" or ".gpx":
// "t12n.lx" -> "t12n.grm", "points.txt" -> "points..grm".
// Throws KorvexaError for a title of three characters or fewer, which leaves
// no name before the extension.
std::string OutputName(const std::string& fName, OutputKind kind);

// Runs Create over the ticked entries of `points`, for the file `fName` in the
// current folder. Throws KorvexaError naming the step and the reason; nothing
// is written then.
CreateResult RunCreate(const std::string& fName, const PointList& points, const CreateOptions& options,
                       Services& services);

// Appends " 3 points left out." (" 1 point left out.") to a status line;
// nothing for 0.
void AppendLeftOutCount(std::string& status, std::size_t leftOut);

// RunCreate with the waypoint file at `outputPath` instead of beside the
// input (Save waypoints as...: the way out of a read-only folder), and
// without the drawing, which belongs beside the input.
CreateResult RunCreateTo(const std::filesystem::path& outputPath, const std::string& fName, const PointList& points,
                         CreateOptions options, Services& services);

// What the user must be told after a Create that wrote its waypoint file.
struct CreateNotice {
  bool error = false;  // the drawing failed
  std::string text;    // a sentence without its full stop
};

// The points left out, a drawing that failed or left points out: one notice
// each, nothing when all went well.
std::vector<CreateNotice> CreateNotices(const CreateResult& result);

// "1 ticked point without usable coordinates was left out: 300500 (no
// longitude)", without its full stop; `leftOut` must not be empty.
std::string LeftOutText(const std::vector<LeftOutPoint>& leftOut);

// For a file of NAD27 positions: what that means for a GPS, and by how much
// ("t12n.gpx holds NAD27 positions, which a GPS reads as WGS 84: it shows
// the corners up to 53 m from where they are (...)", without its full stop);
// nothing for a file of NAD83 positions or without waypoints.
std::optional<std::string> DatumWarning(const CreateResult& result);

// The status line after a failed Create.
inline constexpr const char* kCreateFailedStatus = "Create failed; nothing was written.";

}  // namespace korvexa
