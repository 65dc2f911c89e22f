#include "ui/map/map_painter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/map/map_labels.h"
#include "ui/map/corner_text.h"

namespace korvexa {
namespace {

constexpr double kRingRadius = kMarkerRadius + 2.5;  // the highlight around a ticked corner
constexpr double kHollowRadius = kMarkerRadius - 0.8;
constexpr std::size_t kMostLabelCandidates = 5000;
constexpr std::size_t kMostAntialiasedLines = 20000;
constexpr double kLabelPadding = 1.5;

struct VisibleCorners {
  std::vector<std::size_t> hollow;
  std::vector<std::size_t> ticked;
  std::size_t size() const { return hollow.size() + ticked.size(); }
};

VisibleCorners CollectVisible(const TownshipMap& map, const PointList& points, const MapViewport& viewport) {
  VisibleCorners visible;
  const WorldRect area = viewport.Visible().Grown(kRingRadius * viewport.metresPerPixel());
  map.grid.ForEachIn(area,
                     [&](std::size_t i) { (IsTicked(map, points, i) ? visible.ticked : visible.hollow).push_back(i); });
  return visible;
}

// The painter draws straight into pixels: no scaling, a raster engine.
bool PaintsPixels(const QPainter& painter) {
  return painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::Raster &&
         painter.worldTransform().type() <= QTransform::TxTranslate;
}

void PaintLines(QPainter& painter, const TownshipMap& map, const MapViewport& viewport) {
  const LineLevel& level = map.lines.Level(viewport.metresPerPixel() / 2);
  const WorldRect visible = viewport.Visible().Grown(2 * viewport.metresPerPixel());
  std::vector<QLineF> lines;
  for (const LinePiece& piece : level.pieces) {
    if (!piece.bounds.Intersects(visible)) continue;
    QPointF from = OnScreen(viewport, level.vertices[piece.first]);
    for (std::uint32_t k = 1; k < piece.count; ++k) {
      const QPointF to = OnScreen(viewport, level.vertices[piece.first + k]);
      lines.emplace_back(from, to);
      from = to;
    }
  }
  QPen pen(map_style::kLine, 1);
  pen.setCosmetic(true);
  painter.setPen(pen);
  painter.setRenderHint(QPainter::Antialiasing, lines.size() <= kMostAntialiasedLines);
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void DrawMarker(QPainter& painter, QPointF centre, bool ticked) {
  if (ticked) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(map_style::kTickedRing);
    painter.drawEllipse(centre, kRingRadius, kRingRadius);
    painter.setPen(QPen(map_style::kTicked.darker(150), 1.2));
    painter.setBrush(map_style::kTicked);
    painter.drawEllipse(centre, kMarkerRadius, kMarkerRadius);
  } else {
    painter.setPen(QPen(map_style::kCorner, 1.3));
    painter.setBrush(map_style::kPaper);
    painter.drawEllipse(centre, kHollowRadius, kHollowRadius);
  }
}

// A marker rendered once, centred on the middle of its middle pixel.
QImage MarkerSprite(bool ticked, qreal pixelRatio) {
  const int size = 2 * static_cast<int>(std::ceil((kRingRadius + 1) * pixelRatio)) + 1;
  QImage sprite(size, size, QImage::Format_ARGB32_Premultiplied);
  sprite.fill(Qt::transparent);
  QPainter painter(&sprite);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(pixelRatio, pixelRatio);
  DrawMarker(painter, QPointF(size / 2.0, size / 2.0) / pixelRatio, ticked);
  painter.end();
  sprite.setDevicePixelRatio(pixelRatio);
  return sprite;
}

void PaintMarkers(QPainter& painter, const TownshipMap& map, const MapViewport& viewport,
                  const std::vector<std::size_t>& corners, bool ticked) {
  if (corners.empty()) return;
  if (!PaintsPixels(painter)) {
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i : corners) DrawMarker(painter, OnScreen(viewport, map.grid[i]), ticked);
    return;
  }
  const qreal ratio = painter.device()->devicePixelRatioF();
  const QImage sprite = MarkerSprite(ticked, ratio);
  const int half = sprite.width() / 2;
  for (std::size_t i : corners) {
    const QPointF at = OnScreen(viewport, map.grid[i]);
    const double left = std::floor(at.x() * ratio) - half;
    const double top = std::floor(at.y() * ratio) - half;
    painter.drawImage(QPointF(left / ratio, top / ratio), sprite);
  }
}

// Corners too crowded for markers, as squares of `side` pixels: written
// straight into the pixels of one transparent layer on raster devices (a
// hundred thousand corners cost no more than one picture), drawn as
// rectangles on paper.
class DotLayer {
 public:
  DotLayer(QPainter& painter, const MapViewport& viewport) : painter_(painter), viewport_(viewport) {
    if (!PaintsPixels(painter)) return;
    ratio_ = painter.device()->devicePixelRatioF();
    layer_ = QImage(QSize(static_cast<int>(std::ceil(viewport.width() * ratio_)),
                          static_cast<int>(std::ceil(viewport.height() * ratio_))),
                    QImage::Format_ARGB32_Premultiplied);
    layer_.fill(Qt::transparent);
  }

  void Add(const TownshipMap& map, const std::vector<std::size_t>& corners, const QColor& colour, int side) {
    if (layer_.isNull()) {
      AddRectangles(map, corners, colour, side);
      return;
    }
    const QRgb pixel = qPremultiply(colour.rgba());
    const int offset = side / 2;
    const int width = layer_.width();
    const int height = layer_.height();
    for (std::size_t i : corners) {
      const ScreenPoint at = viewport_.ToScreen(map.grid[i]);
      const int left = static_cast<int>(std::floor(at.x * ratio_)) - offset;
      const int top = static_cast<int>(std::floor(at.y * ratio_)) - offset;
      for (int y = std::max(top, 0); y < std::min(top + side, height); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer_.scanLine(y));
        for (int x = std::max(left, 0); x < std::min(left + side, width); ++x) line[x] = pixel;
      }
    }
  }

  void Paint() {
    if (layer_.isNull()) return;
    layer_.setDevicePixelRatio(ratio_);
    painter_.drawImage(QPointF(0, 0), layer_);
  }

 private:
  void AddRectangles(const TownshipMap& map, const std::vector<std::size_t>& corners, const QColor& colour, int side) {
    std::vector<QRectF> squares;
    squares.reserve(corners.size());
    for (std::size_t i : corners) {
      const QPointF at = OnScreen(viewport_, map.grid[i]);
      squares.emplace_back(at.x() - side / 2.0, at.y() - side / 2.0, side, side);
    }
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(colour);
    painter_.drawRects(squares.data(), static_cast<int>(squares.size()));
  }

  QPainter& painter_;
  const MapViewport& viewport_;
  qreal ratio_ = 1;
  QImage layer_;
};

// The corners to label, in order of importance: ticked first, each group
// in file order.
std::vector<std::size_t> LabelCandidates(VisibleCorners& visible, const TownshipMap& map, const MapViewport& viewport,
                                         MapLabels labels) {
  std::sort(visible.ticked.begin(), visible.ticked.end());
  if (labels == MapLabels::TickedOnly) return visible.ticked;
  const bool room = map.spacing / viewport.metresPerPixel() >= kLabelSpacingPixels;
  if (!room || visible.size() > kMostLabelCandidates) return {};
  std::sort(visible.hollow.begin(), visible.hollow.end());
  std::vector<std::size_t> corners = visible.ticked;
  corners.insert(corners.end(), visible.hollow.begin(), visible.hollow.end());
  return corners;
}

void PaintLabels(QPainter& painter, const TownshipMap& map, const PointList& points, const MapViewport& viewport,
                 const std::vector<std::size_t>& corners) {
  if (corners.empty()) return;
  QFont regular = MapLabelFont();
  QFont bold = regular;
  bold.setBold(true);
  const QFontMetricsF regularMetrics(regular);
  const QFontMetricsF boldMetrics(bold);
  std::vector<LabelRequest> requests;
  std::vector<bool> ticked;
  std::vector<QString> ids;
  requests.reserve(corners.size());
  ids.reserve(corners.size());
  for (std::size_t i : corners) {
    ticked.push_back(IsTicked(map, points, i));
    const QFontMetricsF& metrics = ticked.back() ? boldMetrics : regularMetrics;
    ids.push_back(Latin1Text(map.township.points[i].id));
    const ScreenPoint at = viewport.ToScreen(map.grid[i]);
    requests.push_back({at, metrics.horizontalAdvance(ids.back()) + 2 * kLabelPadding, metrics.height()});
  }
  const std::vector<std::optional<ScreenRect>> placed =
      PlaceLabels(requests, kMarkerRadius + 1, {0, 0, viewport.width(), viewport.height()});
  QColor backing = map_style::kPaper;
  backing.setAlpha(210);
  painter.setPen(Qt::NoPen);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const std::optional<ScreenRect>& box : placed) {
    if (box) painter.fillRect(QRectF(box->left, box->top, box->Width(), box->Height()), backing);
  }
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (bool pass : {false, true}) {
    painter.setFont(pass ? bold : regular);
    painter.setPen(pass ? map_style::kTicked.darker(130) : map_style::kLabel);
    for (std::size_t k = 0; k < corners.size(); ++k) {
      if (!placed[k] || ticked[k] != pass) continue;
      const ScreenRect& box = *placed[k];
      painter.drawText(QRectF(box.left, box.top, box.Width(), box.Height()), Qt::AlignCenter, ids[k]);
    }
  }
}

QString DistanceText(double metres) {
  if (metres >= 1000) return QStringLiteral("%1 km").arg(metres / 1000);
  return QStringLiteral("%1 m").arg(metres);
}

// Bottom left: a bar of a round length, half black, half white, on a thin
// wash of paper. Painted under the corners and their labels, so that it
// never hides one.
void PaintScaleBar(QPainter& painter, const MapViewport& viewport) {
  const double metres = ScaleBarMetres(viewport.metresPerPixel(), 120);
  if (!(metres > 0)) return;
  const double length = metres / viewport.metresPerPixel();
  const QFont font = MapLabelFont();
  const QFontMetricsF metrics(font);
  const QString text = DistanceText(metres);
  const QPointF origin(14, viewport.height() - 14);
  const QRectF backing(origin.x() - 6, origin.y() - metrics.height() - 12,
                       std::max(length, metrics.horizontalAdvance(text)) + 12, metrics.height() + 18);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QColor paper = map_style::kPaper;
  paper.setAlpha(150);
  painter.fillRect(backing, paper);
  painter.setPen(QPen(map_style::kLabel, 1));
  painter.setBrush(map_style::kLabel);
  painter.drawRect(QRectF(origin.x(), origin.y() - 5, length / 2, 5));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(origin.x() + length / 2, origin.y() - 5, length / 2, 5));
  painter.setFont(font);
  painter.drawText(QRectF(origin.x(), backing.top() + 2, backing.width(), metrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
}

// Top right: an arrow to grid north (the map's up) with an N, half
// transparent and under the corners and labels, as the scale bar.
void PaintNorthArrow(QPainter& painter, const MapViewport& viewport) {
  const QPointF tip(viewport.width() - 24, 12);
  QPolygonF arrow;
  arrow << tip << tip + QPointF(8, 26) << tip + QPointF(0, 20) << tip + QPointF(-8, 26);
  painter.setRenderHint(QPainter::Antialiasing);
  QColor ink = map_style::kLabel;
  ink.setAlpha(140);
  painter.setPen(QPen(ink, 1));
  painter.setBrush(ink);
  painter.drawPolygon(arrow);
  QFont font = MapLabelFont();
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRectF(tip.x() - 12, tip.y() + 26, 24, 16), Qt::AlignCenter, QStringLiteral("N"));
}

}  // namespace

QPointF OnScreen(const MapViewport& viewport, PlanePoint p) {
  const ScreenPoint s = viewport.ToScreen(p);
  return {s.x, s.y};
}

QFont MapLabelFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

void PaintMap(QPainter& painter, const TownshipMap& map, const PointList& points, const MapViewport& viewport,
              MapLabels labels) {
  painter.save();
  const QRectF area(0, 0, viewport.width(), viewport.height());
  painter.setClipRect(area, Qt::IntersectClip);
  painter.fillRect(area, map_style::kPaper);
  PaintLines(painter, map, viewport);
  PaintScaleBar(painter, viewport);
  PaintNorthArrow(painter, viewport);
  VisibleCorners visible = CollectVisible(map, points, viewport);
  if (map.spacing / viewport.metresPerPixel() >= kMarkerSpacingPixels) {
    PaintMarkers(painter, map, viewport, visible.hollow, false);
    PaintMarkers(painter, map, viewport, visible.ticked, true);
  } else {
    DotLayer dots(painter, viewport);
    dots.Add(map, visible.hollow, map_style::kCorner, 2);
    dots.Add(map, visible.ticked, map_style::kTicked, 3);
    dots.Paint();
  }
  PaintLabels(painter, map, points, viewport, LabelCandidates(visible, map, viewport, labels));
  painter.restore();
}

}  // namespace korvexa
