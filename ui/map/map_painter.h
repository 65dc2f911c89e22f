// Paints the township map: the surveyed lines, every corner (ticked ones
// filled and highlighted, the others hollow), PointID labels where they fit,
// a scale bar and a north arrow. The map window, the field sheet and the
// repaint benchmark all paint through here.
//
// Units: the painter's user space is measured in map pixels (96 to the inch
// on paper); the map fills (0, 0) to (viewport.width(), viewport.height()).
// Fast enough for 100,000 corners per repaint: only what the view shows is
// drawn, lines at the level of detail of the scale, corners as
// pre-rendered markers on raster devices and as dots where they crowd.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>

#include "app/map/map_viewport.h"
#include "app/map/township_map.h"
#include "core/point_list.h"

class QPainter;

namespace korvexa {

namespace map_style {
inline const QColor kPaper{0xfb, 0xfb, 0xf8};
inline const QColor kLine{0x9a, 0x9a, 0x9a};
inline const QColor kCorner{0x2b, 0x2b, 0x2b};            // outline of a hollow corner
inline const QColor kTicked{0xd9, 0x38, 0x1e};            // fill of a ticked corner
inline const QColor kTickedRing{0xd9, 0x38, 0x1e, 0x60};  // its highlight
inline const QColor kLabel{0x20, 0x20, 0x20};
inline const QColor kSelection{0x30, 0x70, 0xd0};  // the rectangle being dragged
}  // namespace map_style

enum class MapLabels {
  WhereRoom,   // every corner whose label has room, ticked ones first
  TickedOnly,  // the ticked corners only (the field sheet)
};

// A corner drawn smaller than this (distance between neighbours, pixels) is
// a dot; from here on a marker.
inline constexpr double kMarkerSpacingPixels = 7;
// Labels need at least this much room between neighbouring corners.
inline constexpr double kLabelSpacingPixels = 22;
// Half the size of a corner's marker, pixels.
inline constexpr double kMarkerRadius = 4;

// Where `p` appears in the view of `viewport`, pixels.
QPointF OnScreen(const MapViewport& viewport, PlanePoint p);

// The font of the labels: a pixel size, so that it scales with the painter.
QFont MapLabelFont();

// Paints `map` with the ticks of `points` (the list the map was built with)
// as `viewport` shows it, over the paper colour.
void PaintMap(QPainter& painter, const TownshipMap& map, const PointList& points, const MapViewport& viewport,
              MapLabels labels = MapLabels::WhereRoom);

}  // namespace korvexa
