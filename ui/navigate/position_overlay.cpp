#include "ui/navigate/position_overlay.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/navigate/trail.h"
#include "ui/map/map_painter.h"

namespace korvexa {
namespace {

constexpr double kMarkerRadius = 6;
constexpr double kTravelArrowTip = 22;     // from the middle of the marker, pixels
constexpr double kTravelArrowBase = 4;     // where its base crosses the marker
constexpr double kTargetPointerFrom = 28;  // the pointer toward the target runs from here
constexpr double kTargetPointerTo = 40;    // to here
constexpr double kCornerRingRadius = 11;   // around the target and visited corners
constexpr double kLargestCircle = 20000;   // pixels; a larger circle covers the view anyway
constexpr int kAreaMargin = 3;             // pixels of antialiasing and pen around every mark
constexpr double kTrailWidth = 2.5;
constexpr int kTargetLabelWidth = 90;  // room for the longest PointID in bold
constexpr int kTargetLabelHeight = 18;

// The point `distance` pixels from `from` in grid bearing `degrees`.
QPointF Toward(QPointF from, double degrees, double distance) {
  const double radians = degrees * std::numbers::pi / 180;
  return from + QPointF(std::sin(radians) * distance, -std::cos(radians) * distance);
}

QPolygonF Arrowhead(QPointF tip, double degrees, double length, double halfWidth) {
  const QPointF base = Toward(tip, degrees + 180, length);
  return QPolygonF({tip, Toward(base, degrees + 90, halfWidth), Toward(base, degrees - 90, halfWidth)});
}

std::optional<double> CirclePixels(const MapViewport& viewport, const NavigationMarks& marks) {
  if (!marks.current || !marks.accuracyMetres || !(*marks.accuracyMetres > 0)) return std::nullopt;
  return std::min(*marks.accuracyMetres / viewport.metresPerPixel(), kLargestCircle);
}

bool Shown(PlanePoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

void PaintTrail(QPainter& painter, const MapViewport& viewport, const NavigationMarks& marks, const QRect& exposed) {
  if (marks.trail == nullptr || marks.trail->size() == 0) return;
  const std::vector<PlanePoint>& points = marks.trail->onMap();
  const auto& fixes = marks.trail->points();
  const QRectF area = QRectF(exposed).adjusted(-kTrailWidth, -kTrailWidth, kTrailWidth, kTrailWidth);
  std::vector<QLineF> pieces;
  const auto add = [&](PlanePoint from, PlanePoint to) {
    if (!Shown(from) || !Shown(to)) return;
    const QLineF piece(OnScreen(viewport, from), OnScreen(viewport, to));
    // Grown, so that a level or upright piece has an area to intersect with.
    if (QRectF(piece.p1(), piece.p2()).normalized().adjusted(-1, -1, 1, 1).intersects(area)) pieces.push_back(piece);
  };
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (!fixes[i].startsSegment) add(points[i - 1], points[i]);
  }
  if (marks.current && marks.position) add(points.back(), *marks.position);
  QPen pen(overlay_style::kTrail, kTrailWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.drawLines(pieces.data(), static_cast<int>(pieces.size()));
}

void PaintCornerMarks(QPainter& painter, const MapViewport& viewport, const NavigationMarks& marks) {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(overlay_style::kVisited, 2.5));
  for (PlanePoint corner : marks.visited) {
    painter.drawEllipse(OnScreen(viewport, corner), kCornerRingRadius - 3, kCornerRingRadius - 3);
  }
  if (!marks.target) return;
  const QPointF at = OnScreen(viewport, *marks.target);
  painter.setPen(QPen(overlay_style::kTarget, 2.5));
  painter.drawEllipse(at, kCornerRingRadius, kCornerRingRadius);
  for (double degrees : {0.0, 90.0, 180.0, 270.0}) {
    painter.drawLine(Toward(at, degrees, kCornerRingRadius - 4), Toward(at, degrees, kCornerRingRadius + 4));
  }
  if (marks.targetName.isEmpty()) return;
  QFont font = MapLabelFont();
  font.setBold(true);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double reach = kCornerRingRadius + 6;
  const QRectF box(at.x() + reach, at.y() - reach - metrics.height(),
                   std::min<double>(metrics.horizontalAdvance(marks.targetName) + 6, kTargetLabelWidth),
                   metrics.height() + 2);
  QColor backing = Qt::white;
  backing.setAlpha(230);
  painter.fillRect(box, backing);
  painter.drawText(box, Qt::AlignCenter, marks.targetName);
}

void PaintPosition(QPainter& painter, const MapViewport& viewport, const NavigationMarks& marks) {
  const QPointF at = OnScreen(viewport, *marks.position);
  if (!marks.current) {
    painter.setPen(QPen(overlay_style::kLost, 2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, kMarkerRadius, kMarkerRadius);
    return;
  }
  if (const std::optional<double> radius = CirclePixels(viewport, marks)) {
    painter.setPen(QPen(overlay_style::kPosition, 1));
    painter.setBrush(overlay_style::kAccuracy);
    painter.drawEllipse(at, *radius, *radius);
  }
  painter.setPen(QPen(Qt::white, 1.5));
  if (marks.targetBearing) {
    painter.setBrush(overlay_style::kTarget);
    painter.drawPolygon(Arrowhead(Toward(at, *marks.targetBearing, kTargetPointerTo), *marks.targetBearing,
                                  kTargetPointerTo - kTargetPointerFrom, 6));
  }
  painter.setBrush(overlay_style::kPosition);
  if (marks.travelBearing) {
    painter.drawPolygon(Arrowhead(Toward(at, *marks.travelBearing, kTravelArrowTip), *marks.travelBearing,
                                  kTravelArrowTip - kTravelArrowBase, kMarkerRadius + 1));
  }
  painter.setPen(QPen(Qt::white, 2));
  painter.drawEllipse(at, kMarkerRadius, kMarkerRadius);
}

QRect SquareAround(QPointF at, double half) {
  const int reach = static_cast<int>(std::ceil(half)) + kAreaMargin;
  return QRect(at.toPoint() - QPoint(reach, reach), at.toPoint() + QPoint(reach, reach));
}

}  // namespace

void PaintNavigationMarks(QPainter& painter, const MapViewport& viewport, const NavigationMarks& marks,
                          const QRect& exposed) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  PaintTrail(painter, viewport, marks, exposed);
  PaintCornerMarks(painter, viewport, marks);
  if (marks.position && Shown(*marks.position)) PaintPosition(painter, viewport, marks);
  painter.restore();
}

QRect PositionArea(const MapViewport& viewport, const NavigationMarks& marks) {
  if (!marks.position || !Shown(*marks.position)) return {};
  const double reach = std::max({kTargetPointerTo, kTravelArrowTip, CirclePixels(viewport, marks).value_or(0)});
  return SquareAround(OnScreen(viewport, *marks.position), reach);
}

QRect CornerArea(const MapViewport& viewport, PlanePoint corner) {
  const QPointF at = OnScreen(viewport, corner);
  const int reach = static_cast<int>(kCornerRingRadius) + 6;
  const QRect label(at.toPoint() + QPoint(reach, -reach - kTargetLabelHeight - kAreaMargin),
                    QSize(kTargetLabelWidth + kAreaMargin, kTargetLabelHeight + kAreaMargin));
  return SquareAround(at, kCornerRingRadius + 4) | label;
}

QRect TrailPieceArea(const MapViewport& viewport, PlanePoint from, PlanePoint to) {
  if (!Shown(from) || !Shown(to)) return {};
  const QRectF span = QRectF(OnScreen(viewport, from), OnScreen(viewport, to)).normalized();
  const int grow = static_cast<int>(std::ceil(kTrailWidth)) + kAreaMargin;
  return span.toAlignedRect().adjusted(-grow, -grow, grow, grow);
}

}  // namespace korvexa
