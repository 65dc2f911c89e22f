// The Create command: one complete conversion of the ticked points through
// the one export step (app/export/export_step.h). The DXF converter draws
// into a temporary file while the waypoint file is written; the drawing
// takes its own name only once that file is in place. Names resolve against
// the working folder that OpenLxFile set, so the outputs land beside the input.
//
// A Create that fails (an unwritable output, a point outside the grids, ...)
// throws KorvexaError before anything takes its name, so it writes nothing.
// Only the drawing may fail on its own: the waypoint file is then written
// all the same and the result says why the drawing was not.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/export/export_result.h"
#include "app/export/export_step.h"
#include "core/converters.h"
#include "core/point_list.h"

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
  NamingRule naming{};  // a prefix is refused for PCX5, whose names hold six characters
};

// ExportResult's notices: the points left out, names twice, a drawing that
// failed or left points out.
struct CreateResult : ExportResult {
  std::string drawingName;                // "t12n.dxf", when the drawing was asked for
  std::optional<DrawingOutcome> drawing;  // when the drawing was asked for
  // Without the transformation the file holds NAD27 positions, which a GPS
  // takes for WGS 84: how far off that puts the corners, the largest NADCON
  // shift over the middle and the four extreme corners of the waypoints' box
  // in metres, when measured and the grids tell.
  bool nad27 = false;
  std::optional<double> nad27ErrorMetres;
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

// RunCreate with the waypoint file at `outputPath` instead of beside the
// input (Save waypoints as...: the way out of a read-only folder), and
// without the drawing, which belongs beside the input. Throws NothingToWrite
// when nothing usable is ticked, and KorvexaError for a name prefix in a PCX5
// file.
CreateResult RunCreateTo(const std::filesystem::path& outputPath, const std::string& fName, const PointList& points,
                         CreateOptions options, Services& services);

// For a file of NAD27 positions: what that means for a GPS, and by how much
// ("t12n.gpx holds NAD27 positions, which a GPS reads as WGS 84: it shows
// the corners up to 53 m from where they are (...)", without its full stop);
// nothing for a file of NAD83 positions or without waypoints.
std::optional<std::string> DatumWarning(const CreateResult& result);

// The status line after a failed Create.
inline constexpr const char* kCreateFailedStatus = "Create failed; nothing was written.";

}  // namespace korvexa
