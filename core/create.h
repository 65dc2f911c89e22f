// The Create command: one complete conversion of the ticked points.
//
// In order: form the output name from the loaded file's title, define the
// NAD27 and NAD83 systems (when transforming), run the DXF converter (when
// drawing) and write the waypoint file of the chosen kind. The waypoint file
// is written atomically beside the input. The first failing step stops the
// run with a KorvexaError; a file written by an earlier run stays untouched.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "point_list.h"

namespace korvexa {

struct Services;

enum class OutputKind { Pcx5 = 1, Gpx = 2 };

struct CreateOptions {
  OutputKind kind = OutputKind::Gpx;
  bool transform = true;  // NAD27 to NAD83
  bool drawing = true;    // DXF drawing of the whole township
};

struct CreateResult {
  std::filesystem::path outputPath;
  std::size_t waypoints = 0;
  std::string status;  // "File created." or "Files created."
};

// `fName` less its last three characters, followed by ".grm" or ".gpx":
// "t12n.lx" -> "t12n.grm", "points.txt" -> "points..grm".
// Throws KorvexaError for a title shorter than three characters.
std::string OutputName(const std::string& fName, OutputKind kind);

// Runs Create over `points` for the file `fName` loaded from `folder`, which
// must be the current folder when a converter runs (converters take bare
// titles). Throws KorvexaError naming the step and the reason.
CreateResult RunCreate(const std::string& fName, const std::filesystem::path& folder, const PointList& points,
                       const CreateOptions& options, Services& services);

}  // namespace korvexa
