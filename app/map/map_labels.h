// Where the PointID labels of the map go: beside their corners, never over
// another label or another corner's marker. Plain geometry in pixels.
#pragma once

#include <optional>
#include <vector>

#include "app/map/map_geometry.h"

namespace korvexa {

// A label to place: its corner on the screen and the size of its text box
// in pixels.
struct LabelRequest {
  ScreenPoint corner;
  double width = 0;
  double height = 0;
};

// Places the labels in the order given (put the important ones first): each
// takes the first of its eight places around its corner (above right, below
// right, above left, below left, above, below, right, left) that lies inside
// `area` and overlaps no label placed before it and no other corner's marker
// (a square of 2 x `markerRadius` pixels around each requested corner; the
// places keep clear of the label's own round marker). A label
// without such a place is left out (nothing). The result has one entry per
// request.
std::vector<std::optional<ScreenRect>> PlaceLabels(const std::vector<LabelRequest>& requests, double markerRadius,
                                                   const ScreenRect& area);

}  // namespace korvexa
