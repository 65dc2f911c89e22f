// The surveyed lines of the township map as polylines at several levels of
// detail. Neighbouring segments of a chain are joined into one polyline;
// each coarser level drops the vertices that lie within its tolerance of the
// line through their neighbours (Douglas-Peucker), so that a view of
// hundreds of townships draws a few thousand long lines instead of 200,000
// short ones, and no line moves by more than half a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/map/map_geometry.h"
#include "core/township.h"

namespace korvexa {

// A run of at most kMaxPieceVertices vertices of one polyline, with its
// bounds, so that a view draws only the pieces it sees.
struct LinePiece {
  WorldRect bounds;
  std::uint32_t first = 0;  // index into LineLevel::vertices
  std::uint32_t count = 0;  // two or more
};

struct LineLevel {
  double tolerance = 0;  // metres: no vertex is more than this from where it was
  std::vector<PlanePoint> vertices;
  std::vector<LinePiece> pieces;
};

class MapLines {
 public:
  static constexpr std::uint32_t kMaxPieceVertices = 32;

  MapLines() = default;
  // The lines of `township`: level 0 holds every segment; each further
  // level has three times the tolerance of the one before (from 1 m on).
  explicit MapLines(const Township& township);

  // The coarsest level whose tolerance is at most `tolerance` metres.
  const LineLevel& Level(double tolerance) const;
  const std::vector<LineLevel>& levels() const { return levels_; }

 private:
  std::vector<LineLevel> levels_;
};

}  // namespace korvexa
