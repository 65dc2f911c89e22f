// A grid over the corners of the township map, so that drawing, picking and
// the rectangle selection look only at the corners near a place instead of
// at every corner: 100,000 corners are searched in microseconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/map/map_geometry.h"

namespace korvexa {

class PointGrid {
 public:
  PointGrid() = default;
  // Indexes `points` (metres); the grid refers to them by their index.
  explicit PointGrid(std::vector<PlanePoint> points);

  std::size_t size() const { return points_.size(); }
  PlanePoint operator[](std::size_t i) const { return points_[i]; }
  // The smallest rectangle holding every point (Empty() without points).
  const WorldRect& bounds() const { return bounds_; }

  // Calls `visit(i)` once for every point inside `rect` (edges included), in
  // no particular order.
  template <typename Visit>
  void ForEachIn(const WorldRect& rect, Visit&& visit) const;

  // The indices of the points inside `rect`, ascending.
  std::vector<std::size_t> PointsIn(const WorldRect& rect) const;

  // The point nearest to `at` no farther than `within` metres; of equally
  // near points the one with the lowest index.
  std::optional<std::size_t> Nearest(PlanePoint at, double within) const;

  // The median distance in metres from a point to its nearest neighbour
  // (over a sample of the points), or 0 with fewer than two points: how far
  // apart the corners typically stand.
  double TypicalSpacing() const;

 private:
  struct CellRange {
    int firstColumn, lastColumn, firstRow, lastRow;
  };
  std::optional<CellRange> CellsOf(const WorldRect& rect) const;
  int Column(double x) const;
  int Row(double y) const;

  std::vector<PlanePoint> points_;
  WorldRect bounds_;
  double cellSize_ = 1;  // metres
  int columns_ = 0;
  int rows_ = 0;
  std::vector<std::uint32_t> cellStart_;  // columns_ * rows_ + 1 offsets into order_
  std::vector<std::uint32_t> order_;      // point indices, cell by cell
};

template <typename Visit>
void PointGrid::ForEachIn(const WorldRect& rect, Visit&& visit) const {
  const std::optional<CellRange> cells = CellsOf(rect);
  if (!cells) return;
  for (int row = cells->firstRow; row <= cells->lastRow; ++row) {
    const std::size_t rowStart = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_);
    const std::uint32_t begin = cellStart_[rowStart + static_cast<std::size_t>(cells->firstColumn)];
    const std::uint32_t end = cellStart_[rowStart + static_cast<std::size_t>(cells->lastColumn) + 1];
    for (std::uint32_t k = begin; k < end; ++k) {
      const std::uint32_t i = order_[k];
      if (rect.Contains(points_[i])) visit(static_cast<std::size_t>(i));
    }
  }
}

}  // namespace korvexa
