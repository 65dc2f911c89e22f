// The plane geometry of the township map. World positions (PlanePoint) are
// UTM metres of the township's zone on its datum (x east, y north, as
// core/township.h holds them); screen positions are pixels of the view (x to
// the right, y down).
#pragma once

#include <algorithm>

#include "core/geo_position.h"

namespace korvexa {

// A rectangle in metres, edges included; left <= right and bottom <= top
// unless it is Empty().
struct WorldRect {
  double left = 0;
  double bottom = 0;
  double right = -1;
  double top = -1;

  // The smallest rectangle holding both corners, in any order.
  static WorldRect Spanning(PlanePoint a, PlanePoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }
  bool Empty() const { return right < left || top < bottom; }
  double Width() const { return right - left; }
  double Height() const { return top - bottom; }
  PlanePoint Centre() const { return {(left + right) / 2, (bottom + top) / 2}; }
  bool Contains(PlanePoint p) const { return p.x >= left && p.x <= right && p.y >= bottom && p.y <= top; }
  bool Intersects(const WorldRect& o) const {
    return !Empty() && !o.Empty() && o.left <= right && left <= o.right && o.bottom <= top && bottom <= o.top;
  }
  // Grown by `margin` metres on every side.
  WorldRect Grown(double margin) const { return {left - margin, bottom - margin, right + margin, top + margin}; }
  // Grown to hold `p` too (an empty rectangle becomes `p` alone).
  void Add(PlanePoint p) {
    if (Empty()) {
      *this = {p.x, p.y, p.x, p.y};
      return;
    }
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    bottom = std::min(bottom, p.y);
    top = std::max(top, p.y);
  }
};

struct ScreenPoint {
  double x = 0;  // pixels from the left
  double y = 0;  // pixels from the top
};

// A rectangle in pixels; left <= right and top <= bottom.
struct ScreenRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  bool Contains(ScreenPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
  // True when the two share more than an edge.
  bool Overlaps(const ScreenRect& o) const {
    return o.left < right && left < o.right && o.top < bottom && top < o.bottom;
  }
};

}  // namespace korvexa
