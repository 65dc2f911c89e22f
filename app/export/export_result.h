// What an output of the ticked corners tells its caller, whatever its kind
// (Create's waypoint file and drawing, Save waypoints as, the data
// collector's point file, the KML file, a GPX file sent to a GPS): the
// window shows `status` and the notices, korvexa-convert prints one line
// with `summary` and the notices.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/usable_point.h"

namespace korvexa {

// One thing the user must be told after an output was written.
struct CreateNotice {
  bool error = false;  // something asked for was not made (the drawing)
  std::string text;    // a sentence without its full stop
};

struct ExportResult {
  std::filesystem::path outputPath;  // absolute
  std::size_t waypoints = 0;
  std::vector<LeftOutPoint> leftOut;  // ticked corners without usable coordinates, in list order
  std::vector<CreateNotice> notices;  // the corners left out, names twice, doubts about the grid, ...
  std::string crsCode;                // of a point file: "EPSG:2258"
  std::string summary;                // after the count: "NAD83 / New Mexico Central (ftUS), EPSG:2258"
  std::string status;                 // the status line: "t12n.csv created in NAD83 / ... ."
};

// Appends " 3 points left out." (" 1 point left out.") to a status line;
// nothing for 0.
void AppendLeftOutCount(std::string& status, std::size_t leftOut);

}  // namespace korvexa
