#include "app/map/map_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvexa {
namespace {

constexpr double kPointsPerCell = 8;
constexpr std::size_t kSpacingSample = 512;

}  // namespace

PointGrid::PointGrid(std::vector<PlanePoint> points) : points_(std::move(points)) {
  for (const PlanePoint& p : points_) bounds_.Add(p);
  if (points_.empty()) return;
  const double area = std::max(bounds_.Width(), 1.0) * std::max(bounds_.Height(), 1.0);
  cellSize_ = std::max(std::sqrt(area * kPointsPerCell / static_cast<double>(points_.size())), 1.0);
  columns_ = static_cast<int>(bounds_.Width() / cellSize_) + 1;
  rows_ = static_cast<int>(bounds_.Height() / cellSize_) + 1;
  // Counting sort by cell; a row of cells is one run of order_, so a cell
  // range of one row is one contiguous slice.
  const std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
  std::vector<std::size_t> cellOf(points_.size());
  cellStart_.assign(cells + 1, 0);
  for (std::size_t i = 0; i < points_.size(); ++i) {
    cellOf[i] = static_cast<std::size_t>(Row(points_[i].y)) * static_cast<std::size_t>(columns_) +
                static_cast<std::size_t>(Column(points_[i].x));
    ++cellStart_[cellOf[i] + 1];
  }
  for (std::size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
  order_.resize(points_.size());
  std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < points_.size(); ++i) order_[next[cellOf[i]]++] = static_cast<std::uint32_t>(i);
}

int PointGrid::Column(double x) const {
  return std::clamp(static_cast<int>(std::floor((x - bounds_.left) / cellSize_)), 0, columns_ - 1);
}

int PointGrid::Row(double y) const {
  return std::clamp(static_cast<int>(std::floor((y - bounds_.bottom) / cellSize_)), 0, rows_ - 1);
}

std::optional<PointGrid::CellRange> PointGrid::CellsOf(const WorldRect& rect) const {
  if (points_.empty() || !rect.Intersects(bounds_)) return std::nullopt;
  return CellRange{Column(rect.left), Column(rect.right), Row(rect.bottom), Row(rect.top)};
}

std::vector<std::size_t> PointGrid::PointsIn(const WorldRect& rect) const {
  std::vector<std::size_t> found;
  ForEachIn(rect, [&](std::size_t i) { found.push_back(i); });
  std::sort(found.begin(), found.end());
  return found;
}

std::optional<std::size_t> PointGrid::Nearest(PlanePoint at, double within) const {
  std::optional<std::size_t> best;
  double bestDistance = within * within;
  ForEachIn(WorldRect{at.x, at.y, at.x, at.y}.Grown(within), [&](std::size_t i) {
    const double dx = points_[i].x - at.x;
    const double dy = points_[i].y - at.y;
    const double distance = dx * dx + dy * dy;
    if (distance < bestDistance || (distance == bestDistance && (!best || i < *best))) {
      bestDistance = distance;
      best = i;
    }
  });
  return best;
}

double PointGrid::TypicalSpacing() const {
  if (points_.size() < 2) return 0;
  const std::size_t step = std::max<std::size_t>(1, points_.size() / kSpacingSample);
  std::vector<double> nearest;
  for (std::size_t i = 0; i < points_.size(); i += step) {
    // Widen the search until it finds a neighbour at a distance other than 0.
    for (double radius = cellSize_;; radius *= 4) {
      double best = std::numeric_limits<double>::infinity();
      ForEachIn(WorldRect{points_[i].x, points_[i].y, points_[i].x, points_[i].y}.Grown(radius), [&](std::size_t j) {
        const double d = std::hypot(points_[j].x - points_[i].x, points_[j].y - points_[i].y);
        if (d > 0) best = std::min(best, d);
      });
      if (best <= radius || radius > 4 * (bounds_.Width() + bounds_.Height() + cellSize_)) {
        if (std::isfinite(best)) nearest.push_back(best);
        break;
      }
    }
  }
  if (nearest.empty()) return 0;
  std::nth_element(nearest.begin(), nearest.begin() + static_cast<std::ptrdiff_t>(nearest.size() / 2), nearest.end());
  return nearest[nearest.size() / 2];
}

}  // namespace korvexa
