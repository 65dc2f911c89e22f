// The Create command: one complete conversion of the ticked points.
//
// In order: form the output name from the loaded file's title, define the
// NAD27 and NAD83 systems (when transforming), run the DXF converter (when
// drawing) and write the waypoint file of the chosen kind. Names resolve
// against the working folder that OpenLxFile set, so the outputs land beside
// the input. The waypoint file is written atomically. The first failing step
// stops the run with a KorvexaError; a file written by an earlier run stays
// untouched.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "core/point_list.h"

namespace korvexa {

struct Services;

enum class OutputKind { Pcx5 = 1, Gpx = 2 };

struct CreateOptions {
  OutputKind kind = OutputKind::Gpx;
  bool transform = true;  // NAD27 to NAD83
  bool drawing = true;    // DXF drawing of the whole township
};

struct CreateResult {
  std::filesystem::path outputPath;  // absolute
  std::size_t waypoints = 0;
  std::string status;  // "File created." or "Files created."
};

// `fName` less its last three characters, followed by ".grm" or ".gpx":
// "t12n.lx" -> "t12n.grm", "points.txt" -> "points..grm".
// Throws KorvexaError for a title shorter than three characters.
std::string OutputName(const std::string& fName, OutputKind kind);

// Runs Create over the ticked entries of `points`, for the file `fName` in the
// current folder. Throws KorvexaError naming the step and the reason.
CreateResult RunCreate(const std::string& fName, const PointList& points, const CreateOptions& options,
                       Services& services);

}  // namespace korvexa
