#include "app/map/map_viewport.h"

#include <algorithm>
#include <cmath>

namespace korvexa {

MapViewport::MapViewport(PlanePoint centre, double metresPerPixel, double width, double height)
    : centre_(centre),
      metresPerPixel_(std::clamp(metresPerPixel, kFinestMetresPerPixel, kCoarsestMetresPerPixel)),
      width_(std::max(width, 1.0)),
      height_(std::max(height, 1.0)) {}

MapViewport MapViewport::Fitting(const WorldRect& bounds, double width, double height, double margin,
                                 double minimumSpan) {
  if (bounds.Empty()) return MapViewport({0, 0}, 1, width, height);
  const double usableWidth = std::max(width - 2 * margin, 1.0);
  const double usableHeight = std::max(height - 2 * margin, 1.0);
  const double spanX = std::max(bounds.Width(), minimumSpan);
  const double spanY = std::max(bounds.Height(), minimumSpan);
  return MapViewport(bounds.Centre(), std::max(spanX / usableWidth, spanY / usableHeight), width, height);
}

WorldRect MapViewport::Visible() const {
  const double halfWidth = width_ / 2 * metresPerPixel_;
  const double halfHeight = height_ / 2 * metresPerPixel_;
  return {centre_.x - halfWidth, centre_.y - halfHeight, centre_.x + halfWidth, centre_.y + halfHeight};
}

void MapViewport::ZoomAround(ScreenPoint anchor, double factor) {
  if (!(factor > 0)) return;
  const PlanePoint fixed = ToWorld(anchor);
  metresPerPixel_ = std::clamp(metresPerPixel_ / factor, kFinestMetresPerPixel, kCoarsestMetresPerPixel);
  // Put `fixed` back under `anchor`.
  centre_.x = fixed.x - (anchor.x - width_ / 2) * metresPerPixel_;
  centre_.y = fixed.y + (anchor.y - height_ / 2) * metresPerPixel_;
}

void MapViewport::PanBy(double dx, double dy) {
  centre_.x -= dx * metresPerPixel_;
  centre_.y += dy * metresPerPixel_;
}

void MapViewport::Resize(double width, double height) {
  width_ = std::max(width, 1.0);
  height_ = std::max(height, 1.0);
}

double ScaleBarMetres(double metresPerPixel, double maxPixels) {
  const double longest = metresPerPixel * maxPixels;
  if (!(longest > 0)) return 0;
  const double power = std::pow(10.0, std::floor(std::log10(longest)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= longest) return step * power;
  }
  return power;
}

}  // namespace korvexa
