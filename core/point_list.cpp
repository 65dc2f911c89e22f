#include "point_list.h"

namespace korvexa {

PointList MakePointList(std::vector<std::string> lines) {
  PointList points;
  points.reserve(lines.size());
  for (std::string& line : lines) points.push_back(PointEntry{std::move(line), false});
  return points;
}

}  // namespace korvexa
