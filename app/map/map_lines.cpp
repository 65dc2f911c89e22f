#include "app/map/map_lines.h"

#include <algorithm>
#include <cmath>

namespace korvexa {
namespace {

constexpr double kFinestTolerance = 1;  // metres
constexpr double kToleranceStep = 3;
constexpr std::size_t kMaxLevels = 24;  // 3^22 m is far beyond any township

using Polyline = std::vector<PlanePoint>;

// Neighbouring segments where one ends where the next begins form one
// polyline (chain order is segment order).
std::vector<Polyline> JoinSegments(const Township& township) {
  std::vector<Polyline> lines;
  std::size_t lastTo = township.points.size();
  for (const TownshipSegment& segment : township.segments) {
    const TownshipPoint& from = township.points[segment.from];
    const TownshipPoint& to = township.points[segment.to];
    if (lines.empty() || segment.from != lastTo) lines.push_back({{from.x, from.y}});
    lines.back().push_back({to.x, to.y});
    lastTo = segment.to;
  }
  return lines;
}

double DistanceToLine(PlanePoint p, PlanePoint a, PlanePoint b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (length == 0) return std::hypot(p.x - a.x, p.y - a.y);
  return std::fabs(dy * (p.x - a.x) - dx * (p.y - a.y)) / length;
}

// Douglas-Peucker with an explicit stack: keeps the ends and every vertex
// farther than `tolerance` from the chord of its part.
Polyline Simplify(const Polyline& line, double tolerance) {
  if (line.size() < 3) return line;
  std::vector<bool> keep(line.size(), false);
  keep.front() = keep.back() = true;
  std::vector<std::pair<std::size_t, std::size_t>> parts = {{0, line.size() - 1}};
  while (!parts.empty()) {
    const auto [first, last] = parts.back();
    parts.pop_back();
    double farthest = -1;
    std::size_t at = first;
    for (std::size_t i = first + 1; i < last; ++i) {
      const double d = DistanceToLine(line[i], line[first], line[last]);
      if (d > farthest) {
        farthest = d;
        at = i;
      }
    }
    if (farthest > tolerance) {
      keep[at] = true;
      parts.push_back({first, at});
      parts.push_back({at, last});
    }
  }
  Polyline kept;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (keep[i]) kept.push_back(line[i]);
  }
  return kept;
}

// Cuts every polyline into pieces of at most kMaxPieceVertices vertices,
// neighbouring pieces sharing their end vertex.
LineLevel MakeLevel(const std::vector<Polyline>& lines, double tolerance) {
  LineLevel level;
  level.tolerance = tolerance;
  for (const Polyline& line : lines) {
    for (std::size_t start = 0; start + 1 < line.size(); start += MapLines::kMaxPieceVertices - 1) {
      const std::size_t end = std::min(line.size(), start + MapLines::kMaxPieceVertices);
      LinePiece piece;
      piece.first = static_cast<std::uint32_t>(level.vertices.size());
      piece.count = static_cast<std::uint32_t>(end - start);
      for (std::size_t i = start; i < end; ++i) {
        piece.bounds.Add(line[i]);
        level.vertices.push_back(line[i]);
      }
      level.pieces.push_back(piece);
    }
  }
  return level;
}

std::size_t VertexCount(const std::vector<Polyline>& lines) {
  std::size_t count = 0;
  for (const Polyline& line : lines) count += line.size();
  return count;
}

}  // namespace

MapLines::MapLines(const Township& township) {
  const std::vector<Polyline> lines = JoinSegments(township);
  levels_.push_back(MakeLevel(lines, 0));
  // Each level from the full lines, so that its tolerance bounds its error;
  // the last one keeps nothing but the ends of every line.
  std::size_t vertices = VertexCount(lines);
  for (double tolerance = kFinestTolerance; vertices > 2 * lines.size() && levels_.size() < kMaxLevels;
       tolerance *= kToleranceStep) {
    std::vector<Polyline> simplified;
    simplified.reserve(lines.size());
    for (const Polyline& line : lines) simplified.push_back(Simplify(line, tolerance));
    vertices = VertexCount(simplified);
    levels_.push_back(MakeLevel(simplified, tolerance));
  }
}

const LineLevel& MapLines::Level(double tolerance) const {
  static const LineLevel kNone;
  if (levels_.empty()) return kNone;
  std::size_t chosen = 0;
  for (std::size_t i = 1; i < levels_.size() && levels_[i].tolerance <= tolerance; ++i) chosen = i;
  return levels_[chosen];
}

}  // namespace korvexa
