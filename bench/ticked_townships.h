// The first `points` corners of synthetic townships (from 35 N 106.5 W, inside
// the conterminous NADCON grid), loaded as File > Open loads them and ticked.
#pragma once

#include <cstdint>

#include "core/lx_file.h"
#include "core/point_list.h"
#include "fixtures/synthetic_township.h"

namespace korvexa::bench {

inline PointList TickedTownships(std::int64_t points) {
  const std::size_t townships = static_cast<std::size_t>(points) / testing::kCornersPerTownship + 1;
  PointList list = MakePointList(ParseLxText(testing::SyntheticLxText(townships)));
  for (std::size_t i = 0; i < list.size(); ++i) list[i].ticked = i < static_cast<std::size_t>(points);
  return list;
}

}  // namespace korvexa::bench
