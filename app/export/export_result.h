// What an export (the data collector's point file, the KML file, a GPX file
// sent to a GPS) tells its caller: the window shows `status` and the notices,
// korvexa-convert prints one line with `summary` and the notices.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "app/convert/create.h"
#include "core/usable_point.h"

namespace korvexa {

struct ExportResult {
  std::filesystem::path outputPath;  // absolute
  std::size_t waypoints = 0;
  std::vector<LeftOutPoint> leftOut;  // ticked points without usable coordinates, in list order
  std::vector<CreateNotice> notices;  // the points left out, doubts about the grid
  std::string crsCode;                // of a point file: "EPSG:2258"
  std::string summary;                // after the count: "NAD83 / New Mexico Central (ftUS), EPSG:2258"
  std::string status;                 // the status line: "t12n.csv created in NAD83 / ... ."
};

// "t12n.csv created in <where>." and, when points were left out, "N
// point(s) left out.", the status line of every export.
std::string ExportStatus(const ExportResult& result, const std::string& verbAndWhere);

}  // namespace korvexa
