// What part of the township the map shows, and at which scale: north up,
// equal scale on both axes. Plain values, copied freely.
#pragma once

#include "app/map/map_geometry.h"

namespace korvexa {

class MapViewport {
 public:
  // The scale limits: a tenth of a metre per pixel at the closest, a
  // thousand kilometres across a thousand pixels at the farthest.
  static constexpr double kFinestMetresPerPixel = 0.1;
  static constexpr double kCoarsestMetresPerPixel = 1000;

  MapViewport() = default;
  // A view of `width` x `height` pixels whose middle shows `centre`.
  MapViewport(PlanePoint centre, double metresPerPixel, double width, double height);

  // The view of `width` x `height` pixels that shows all of `bounds` as
  // large as it fits with `margin` pixels free on every side. A rectangle
  // narrower than `minimumSpan` metres (a single point) is shown that wide.
  static MapViewport Fitting(const WorldRect& bounds, double width, double height, double margin,
                             double minimumSpan = 200);

  ScreenPoint ToScreen(PlanePoint p) const {
    return {width_ / 2 + (p.x - centre_.x) / metresPerPixel_, height_ / 2 - (p.y - centre_.y) / metresPerPixel_};
  }
  PlanePoint ToWorld(ScreenPoint p) const {
    return {centre_.x + (p.x - width_ / 2) * metresPerPixel_, centre_.y - (p.y - height_ / 2) * metresPerPixel_};
  }
  // The world rectangle the whole view shows.
  WorldRect Visible() const;

  // Scales by `factor` (above 1 zooms in) so that the world point under
  // `anchor` stays under it; the scale stays within the limits.
  void ZoomAround(ScreenPoint anchor, double factor);
  // Moves the picture by `dx`, `dy` pixels (a drag to the right moves it right).
  void PanBy(double dx, double dy);
  // A new size in pixels, keeping the centre and the scale.
  void Resize(double width, double height);

  PlanePoint centre() const { return centre_; }
  double metresPerPixel() const { return metresPerPixel_; }
  double width() const { return width_; }
  double height() const { return height_; }

  friend bool operator==(const MapViewport&, const MapViewport&) = default;

 private:
  PlanePoint centre_;
  double metresPerPixel_ = 1;
  double width_ = 1;
  double height_ = 1;
};

// The length of a scale bar in metres: the longest of 1, 2 or 5 times a power
// of ten that is at most `maxPixels` long at `metresPerPixel`.
double ScaleBarMetres(double metresPerPixel, double maxPixels);

}  // namespace korvexa
