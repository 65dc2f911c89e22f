// The township map as a widget: paints the map (ui/map/map_painter.h) and lets
// the user pick corners and move around.
//
//   click on a corner          toggles its tick
//   drag a rectangle           ticks every corner inside (Shift held: unticks)
//   wheel                      zooms around the pointer
//   middle drag, Space + drag  pans; so do the arrow keys
//   + and -                    zoom around the middle
//   double-click on a corner   cornerDoubleClicked (its tick stays as it was)
//
// The ticks are the PointListModel's: the view changes them only through the
// model and repaints whenever the model changes, so the list and the map
// always agree. Until the user zooms or pans, the view keeps the whole
// township fitted, also when it is resized.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

#include "app/map/map_viewport.h"
#include "app/map/township_map.h"

class QPainter;

namespace korvexa {

class PointListModel;

class TownshipMapView : public QWidget {
  Q_OBJECT

 public:
  // Picks within this many pixels of a corner.
  static constexpr double kPickRadius = 7;

  explicit TownshipMapView(PointListModel* model, QWidget* parent = nullptr);

  // Shows `map` (built from the model's current list), fitted.
  void SetMap(std::shared_ptr<const TownshipMap> map);

  // The tooltips give positions in NAD83 through `nad83`, or in NAD27 when
  // it is null: the datum of the waypoint file being made.
  void SetNad83(std::shared_ptr<const CoordinateTransform> nad83) { nad83_ = std::move(nad83); }
  const CoordinateTransform* nad83() const { return nad83_.get(); }
  const TownshipMap* map() const { return map_.get(); }

  void Fit();
  const MapViewport& viewport() const { return viewport_; }
  void SetViewport(const MapViewport& viewport);

  // The corner (index into the map's township points) nearest to `pos`
  // within kPickRadius pixels.
  std::optional<std::size_t> CornerAt(QPointF pos) const;
  QPointF PositionOf(std::size_t corner) const;

  QSize sizeHint() const override { return {720, 560}; }

  // Paints over the map on every paint, clipped to the area repainted
  // (`exposed`, widget pixels); update(rect) repaints just the area an
  // overlay changed, from the picture of the map.
  using Overlay = std::function<void(QPainter& painter, const MapViewport& viewport, const QRect& exposed)>;
  void SetOverlay(Overlay overlay) { overlay_ = std::move(overlay); }

 Q_SIGNALS:
  void cornerDoubleClicked(std::size_t corner);
  // The user moved the map: dragged it or pressed an arrow key.
  void panned();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  enum class Drag { None, Pending, Rectangle, Pan };

  void ChangeView(const MapViewport& viewport);
  void ModelChanged();
  void ToggleCornerAt(QPointF pos);
  void TickInside(const QRectF& rect, bool ticked);
  void ShowTooltip(const QPoint& pos, const QPoint& globalPos);
  void UpdateCursor();
  void PaintCached(QPainter& painter);

  PointListModel* model_;
  std::shared_ptr<const TownshipMap> map_;
  std::shared_ptr<const CoordinateTransform> nad83_;
  MapViewport viewport_;
  bool fitted_ = true;  // follows the widget's size until the user moves the view
  QPixmap cache_;       // the map as last painted; the dragged rectangle goes over it
  bool cacheValid_ = false;

  Drag drag_ = Drag::None;
  QPointF pressPos_;
  QPointF lastPos_;
  bool spaceHeld_ = false;
  Overlay overlay_;
};

}  // namespace korvexa
