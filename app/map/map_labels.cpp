#include "app/map/map_labels.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace korvexa {
namespace {

constexpr double kCellPixels = 48;
constexpr double kGap = 1;         // pixels between a marker and its label
constexpr double kDiagonal = 0.7;  // of the marker's half size: where a round marker ends diagonally

// Rectangles taken so far, bucketed by the cells of a grid they touch.
class Occupancy {
 public:
  void Take(const ScreenRect& rect) {
    const std::size_t index = rects_.size();
    rects_.push_back(rect);
    ForEachCell(rect, [&](long long key) { cells_[key].push_back(index); });
  }

  // True when `rect` overlaps none of the rectangles taken, but for the
  // one taken as number `ignored`.
  bool IsFree(const ScreenRect& rect, std::size_t ignored) const {
    bool free = true;
    ForEachCell(rect, [&](long long key) {
      if (!free) return;
      const auto found = cells_.find(key);
      if (found == cells_.end()) return;
      for (std::size_t index : found->second) {
        if (index != ignored && rects_[index].Overlaps(rect)) {
          free = false;
          return;
        }
      }
    });
    return free;
  }

 private:
  template <typename Visit>
  static void ForEachCell(const ScreenRect& rect, Visit&& visit) {
    const long long left = static_cast<long long>(std::floor(rect.left / kCellPixels));
    const long long right = static_cast<long long>(std::floor(rect.right / kCellPixels));
    const long long top = static_cast<long long>(std::floor(rect.top / kCellPixels));
    const long long bottom = static_cast<long long>(std::floor(rect.bottom / kCellPixels));
    for (long long row = top; row <= bottom; ++row) {
      for (long long column = left; column <= right; ++column) visit(row * 1000003LL + column);
    }
  }

  std::vector<ScreenRect> rects_;
  std::unordered_map<long long, std::vector<std::size_t>> cells_;
};

bool Inside(const ScreenRect& inner, const ScreenRect& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

}  // namespace

std::vector<std::optional<ScreenRect>> PlaceLabels(const std::vector<LabelRequest>& requests, double markerRadius,
                                                   const ScreenRect& area) {
  Occupancy taken;  // the markers first: marker i is rectangle i
  for (const LabelRequest& request : requests) {
    const ScreenPoint c = request.corner;
    taken.Take({c.x - markerRadius, c.y - markerRadius, c.x + markerRadius, c.y + markerRadius});
  }
  std::vector<std::optional<ScreenRect>> placed(requests.size());
  // Diagonal places touch the marker's square at its corner; the others
  // stand beside its edges.
  const double near = markerRadius * kDiagonal + kGap;
  const double side = markerRadius + kGap;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const LabelRequest& r = requests[i];
    const ScreenPoint c = r.corner;
    const ScreenPoint places[] = {
        {c.x + near, c.y - near - r.height},            // above right
        {c.x + near, c.y + near},                       // below right
        {c.x - near - r.width, c.y - near - r.height},  // above left
        {c.x - near - r.width, c.y + near},             // below left
        {c.x - r.width / 2, c.y - side - r.height},     // above
        {c.x - r.width / 2, c.y + side},                // below
        {c.x + side, c.y - r.height / 2},               // right
        {c.x - side - r.width, c.y - r.height / 2},     // left
    };
    for (const ScreenPoint at : places) {
      const ScreenRect box{at.x, at.y, at.x + r.width, at.y + r.height};
      // A label's places all stand clear of its own round marker.
      if (Inside(box, area) && taken.IsFree(box, i)) {
        taken.Take(box);
        placed[i] = box;
        break;
      }
    }
  }
  return placed;
}

}  // namespace korvexa
