// The records of a loaded .LX file with their tick marks, in list order.
#pragma once

#include <string>
#include <vector>

namespace korvexa {

struct PointEntry {
  std::string line;  // one LxRecord, verbatim, without its line end
  bool ticked = false;
};

using PointList = std::vector<PointEntry>;

// Every entry of `lines`, unticked.
PointList MakePointList(std::vector<std::string> lines);

}  // namespace korvexa
