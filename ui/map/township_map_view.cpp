#include "ui/map/township_map_view.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "ui/convert/point_list_model.h"
#include "ui/map/corner_text.h"
#include "ui/map/map_painter.h"

namespace korvexa {
namespace {

constexpr double kFitMargin = 24;      // pixels free around the fitted township
constexpr double kWheelStep = 1.0015;  // zoom per eighth of a degree of the wheel: 1.2 a notch
constexpr double kKeyZoom = 1.5;
constexpr double kKeyPanShare = 0.125;  // of the view's width or height per arrow key

// An arrow key pans by a share of the view's width or height, + or - zoom
// around the middle.
struct KeyMove {
  int key;
  double panX;  // shares of the view's width and height
  double panY;
  double zoom;  // 1 for a pan
};
constexpr KeyMove kKeyMoves[] = {
    {Qt::Key_Left, kKeyPanShare, 0, 1},  {Qt::Key_Right, -kKeyPanShare, 0, 1}, {Qt::Key_Up, 0, kKeyPanShare, 1},
    {Qt::Key_Down, 0, -kKeyPanShare, 1}, {Qt::Key_Plus, 0, 0, kKeyZoom},       {Qt::Key_Equal, 0, 0, kKeyZoom},
    {Qt::Key_Minus, 0, 0, 1 / kKeyZoom},
};

}  // namespace

TownshipMapView::TownshipMapView(PointListModel* model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("mapView"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  connect(model_, &QAbstractItemModel::dataChanged, this, &TownshipMapView::ModelChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, &TownshipMapView::ModelChanged);
}

void TownshipMapView::SetMap(std::shared_ptr<const TownshipMap> map) {
  map_ = std::move(map);
  Fit();
}

void TownshipMapView::Fit() {
  fitted_ = true;
  ChangeView(MapViewport::Fitting(map_ ? map_->grid.bounds() : WorldRect{}, width(), height(), kFitMargin));
}

void TownshipMapView::SetViewport(const MapViewport& viewport) {
  fitted_ = false;
  ChangeView(viewport);
}

void TownshipMapView::ChangeView(const MapViewport& viewport) {
  viewport_ = viewport;
  cacheValid_ = false;
  update();
}

void TownshipMapView::ModelChanged() {
  cacheValid_ = false;
  update();
}

std::optional<std::size_t> TownshipMapView::CornerAt(QPointF pos) const {
  if (!map_) return std::nullopt;
  const PlanePoint at = viewport_.ToWorld({pos.x(), pos.y()});
  return map_->grid.Nearest(at, kPickRadius * viewport_.metresPerPixel());
}

QPointF TownshipMapView::PositionOf(std::size_t corner) const {
  return OnScreen(viewport_, map_->grid[corner]);
}

void TownshipMapView::ToggleCornerAt(QPointF pos) {
  const std::optional<std::size_t> corner = CornerAt(pos);
  if (!corner) return;
  const std::optional<std::size_t> entry = ListEntryOf(*map_, model_->points(), *corner);
  if (!entry) return;
  model_->SetTicked({*entry}, !model_->points()[*entry].ticked);
}

void TownshipMapView::TickInside(const QRectF& rect, bool ticked) {
  if (!map_) return;
  const WorldRect inside = WorldRect::Spanning(viewport_.ToWorld({rect.left(), rect.top()}),
                                               viewport_.ToWorld({rect.right(), rect.bottom()}));
  std::vector<std::size_t> entries;
  map_->grid.ForEachIn(inside, [&](std::size_t corner) {
    if (const std::optional<std::size_t> entry = ListEntryOf(*map_, model_->points(), corner))
      entries.push_back(*entry);
  });
  model_->SetTicked(entries, ticked);
}

bool TownshipMapView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    ShowTooltip(help->pos(), help->globalPos());
    return true;
  }
  return QWidget::event(event);
}

void TownshipMapView::ShowTooltip(const QPoint& pos, const QPoint& globalPos) {
  const std::optional<std::size_t> corner = CornerAt(pos);
  if (!corner) {
    QToolTip::hideText();
    return;
  }
  const QPointF at = PositionOf(*corner);
  const QRect around(at.toPoint() - QPoint(int(kPickRadius), int(kPickRadius)),
                     QSize(2 * int(kPickRadius) + 1, 2 * int(kPickRadius) + 1));
  QToolTip::showText(globalPos, CornerTooltip(DescribeCorner(*map_, model_->points(), *corner, nad83_.get())), this,
                     around);
}

void TownshipMapView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  PaintCached(painter);
  if (drag_ == Drag::Rectangle) {
    QColor fill = map_style::kSelection;
    fill.setAlpha(40);
    painter.setPen(QPen(map_style::kSelection, 1, Qt::DashLine));
    painter.setBrush(fill);
    painter.drawRect(QRectF(pressPos_, lastPos_).normalized());
  }
  if (overlay_) overlay_(painter, viewport_, event->rect());
}

// The map changes only with the view or the ticks; dragging a rectangle
// repaints over the picture of the map.
void TownshipMapView::PaintCached(QPainter& painter) {
  const qreal ratio = devicePixelRatioF();
  if (!cacheValid_ || cache_.size() != size() * ratio) {
    if (cache_.size() != size() * ratio) cache_ = QPixmap(size() * ratio);
    cache_.setDevicePixelRatio(ratio);
    QPainter mapPainter(&cache_);
    if (map_) {
      PaintMap(mapPainter, *map_, model_->points(), viewport_);
    } else {
      mapPainter.fillRect(rect(), map_style::kPaper);
    }
    cacheValid_ = true;
  }
  painter.drawPixmap(0, 0, cache_);
}

void TownshipMapView::resizeEvent(QResizeEvent*) {
  if (fitted_) {
    Fit();
    return;
  }
  MapViewport resized = viewport_;
  resized.Resize(width(), height());
  ChangeView(resized);
}

void TownshipMapView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y();
  if (steps == 0) return;
  MapViewport zoomed = viewport_;
  zoomed.ZoomAround({event->position().x(), event->position().y()}, std::pow(kWheelStep, steps));
  SetViewport(zoomed);
  event->accept();
}

void TownshipMapView::mousePressEvent(QMouseEvent* event) {
  pressPos_ = lastPos_ = event->position();
  if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
    drag_ = Drag::Pan;
  } else if (event->button() == Qt::LeftButton) {
    drag_ = Drag::Pending;
  }
  UpdateCursor();
}

void TownshipMapView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF pos = event->position();
  if (drag_ == Drag::Pan) {
    MapViewport moved = viewport_;
    moved.PanBy(pos.x() - lastPos_.x(), pos.y() - lastPos_.y());
    SetViewport(moved);
    Q_EMIT panned();
  } else if (drag_ == Drag::Pending && (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
    drag_ = Drag::Rectangle;
  }
  lastPos_ = pos;
  if (drag_ == Drag::Rectangle) update();
}

void TownshipMapView::mouseReleaseEvent(QMouseEvent* event) {
  const Drag finished = drag_;
  lastPos_ = event->position();
  drag_ = Drag::None;
  if (finished == Drag::Pending && event->button() == Qt::LeftButton) {
    ToggleCornerAt(pressPos_);
  } else if (finished == Drag::Rectangle && event->button() == Qt::LeftButton) {
    TickInside(QRectF(pressPos_, lastPos_).normalized(), !(event->modifiers() & Qt::ShiftModifier));
    update();
  }
  UpdateCursor();
}

// The press of the second click toggles the tick back as it toggles any tick.
void TownshipMapView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !spaceHeld_) {
    if (const std::optional<std::size_t> corner = CornerAt(event->position())) Q_EMIT cornerDoubleClicked(*corner);
  }
  QWidget::mouseDoubleClickEvent(event);
}

void TownshipMapView::keyPressEvent(QKeyEvent* event) {
  const KeyMove* move = std::find_if(std::begin(kKeyMoves), std::end(kKeyMoves),
                                     [event](const KeyMove& each) { return each.key == event->key(); });
  if (move != std::end(kKeyMoves)) {
    MapViewport moved = viewport_;
    if (move->zoom == 1) {
      moved.PanBy(move->panX * moved.width(), move->panY * moved.height());
    } else {
      moved.ZoomAround({moved.width() / 2, moved.height() / 2}, move->zoom);
    }
    SetViewport(moved);
    if (move->zoom == 1) Q_EMIT panned();
  } else if (event->key() == Qt::Key_Escape && drag_ == Drag::Rectangle) {
    drag_ = Drag::None;  // the rectangle is dropped; the release ticks nothing
    update();
  } else if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat()) spaceHeld_ = true;
    UpdateCursor();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void TownshipMapView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceHeld_ = false;
    UpdateCursor();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TownshipMapView::focusOutEvent(QFocusEvent* event) {
  spaceHeld_ = false;
  UpdateCursor();
  QWidget::focusOutEvent(event);
}

void TownshipMapView::UpdateCursor() {
  if (drag_ == Drag::Pan) {
    setCursor(Qt::ClosedHandCursor);
  } else if (spaceHeld_) {
    setCursor(Qt::OpenHandCursor);
  } else {
    setCursor(Qt::CrossCursor);
  }
}

}  // namespace korvexa
