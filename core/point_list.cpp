#include "core/point_list.h"

namespace korvexa {

PointList MakePointList(std::vector<std::string> lines) {
  PointList points;
  points.reserve(lines.size());
  for (std::string& line : lines) points.push_back(PointEntry{std::move(line), false});
  return points;
}

std::vector<LxRecord> TickedRecords(const PointList& points) {
  std::vector<LxRecord> records;
  for (const PointEntry& entry : points) {
    if (entry.ticked) records.push_back(entry.line);
  }
  return records;
}

}  // namespace korvexa
