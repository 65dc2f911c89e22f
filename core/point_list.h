// The records of a loaded .LX file with their tick marks, in list order.
#pragma once

#include <string>
#include <vector>

#include "core/lx_record.h"

namespace korvexa {

struct PointEntry {
  std::string line;  // one LxRecord, verbatim, without its line end
  bool ticked = false;
};

using PointList = std::vector<PointEntry>;

// Every entry of `lines`, unticked.
PointList MakePointList(std::vector<std::string> lines);

// The records of the ticked entries, in list order: what Create writes. They
// view `points`, which must outlive them.
std::vector<LxRecord> TickedRecords(const PointList& points);

}  // namespace korvexa
