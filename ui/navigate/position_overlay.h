// What the navigator draws over the township map: the trail walked, the
// corners visited, the target corner, and the receiver's position with the
// circle of its accuracy, its direction of travel and a pointer toward the
// target. A position that is no longer current is drawn grey and hollow,
// without circle or arrows. The position's marks are half transparent, so
// a corner or label under them still shows; the target's name stands on
// its own backing beside its crosshair, clear of it.
//
// Units: world points in map metres, everything else in widget pixels; the
// directions are grid bearings (the map is north up on the grid).
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

#include "app/map/map_geometry.h"
#include "app/map/map_viewport.h"

class QPainter;

namespace korvexa {

class Trail;

namespace overlay_style {
inline const QColor kPosition{0x15, 0x65, 0xc0, 0xb0};
inline const QColor kAccuracy{0x15, 0x65, 0xc0, 0x30};
inline const QColor kLost{0x8a, 0x8a, 0x8a};
inline const QColor kTrail{0x15, 0x65, 0xc0, 0xa0};
inline const QColor kTarget{0xb0, 0x17, 0x9a};
inline const QColor kVisited{0x2e, 0x7d, 0x32};
}  // namespace overlay_style

struct NavigationMarks {
  std::optional<PlanePoint> position;
  bool current = false;                  // false: drawn as lost
  std::optional<double> accuracyMetres;  // radius of the circle
  std::optional<double> travelBearing;   // direction of travel
  std::optional<double> targetBearing;   // toward the target
  std::optional<PlanePoint> target;
  QString targetName;  // its PointID, written beside it
  std::vector<PlanePoint> visited;
  const Trail* trail = nullptr;
};

// Paints `marks` as `viewport` shows the map, skipping trail pieces outside
// `exposed`.
void PaintNavigationMarks(QPainter& painter, const MapViewport& viewport, const NavigationMarks& marks,
                          const QRect& exposed);

// The pixels the position's own marks cover (marker, circle, arrows); empty
// without a position.
QRect PositionArea(const MapViewport& viewport, const NavigationMarks& marks);
// The pixels the mark of a target or visited corner at `corner` covers,
// the target's name beside it included.
QRect CornerArea(const MapViewport& viewport, PlanePoint corner);
// The pixels a trail piece from `from` to `to` covers.
QRect TrailPieceArea(const MapViewport& viewport, PlanePoint from, PlanePoint to);

}  // namespace korvexa
