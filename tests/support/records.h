// Records the tests share.
#pragma once

#include <string>
#include <vector>

#include "core/lx_record.h"
#include "core/point_list.h"

namespace korvexa::testing {

// The worked example of the record format: PointID 100100 at 35 07 12.3456 N,
// 106 45 30.0000 W (35.120096, 106.7583333), 1000 feet (305 m), reliability
// 2.5, then line codes.
inline constexpr const char* kWorkedRecord = " 100100 350712.3456 1064530.0000     1000      2.5 L001 SEC";

// A list of `lines`, every one ticked.
inline PointList Ticked(std::vector<std::string> lines) {
  PointList points;
  for (const std::string& line : lines) points.Add(line, true);
  return points;
}

}  // namespace korvexa::testing
