// The datum transformation as the core sees it. The core knows only this
// interface; the NAD27 to NAD83 library behind it lives in transform/, and
// tests put their fakes here.
#pragma once

#include <memory>

namespace korvexa {

// One pair of coordinate systems (NAD27 and NAD83), defined once per Create
// and used for every point of that run.
class CoordinateTransform {
 public:
  virtual ~CoordinateTransform() = default;

  // Moves one point in place from NAD27 to NAD83. `longitude` is in decimal
  // degrees, west negative; `latitude` in decimal degrees, north positive.
  // The sign and the turn of the returned longitude are not relied on
  // (ShiftedLxPoint takes them from the longitude given). Throws
  // KorvexaError when the point cannot be transformed; the message starts
  // with the point's position and reads as a sentence once "point <PointID> "
  // is put in front ("at 35.1200960 N 106.7583333 W lies outside the NAD27
  // to NAD83 grids").
  virtual void TransformPoint(double& longitude, double& latitude) const = 0;

  // The way back: moves one point in place from NAD83 to NAD27, in the same
  // units (degrees, west negative), the longitude on the turn it was given.
  // Throws KorvexaError as TransformPoint does.
  virtual void InverseTransformPoint(double& longitude, double& latitude) const = 0;
};

// Defines the NAD27 and NAD83 systems at the start of a Create.
class DatumLibrary {
 public:
  virtual ~DatumLibrary() = default;

  // Throws KorvexaError when the library or its data cannot be used.
  virtual std::unique_ptr<CoordinateTransform> DefineDatumPair() = 0;
};

}  // namespace korvexa
