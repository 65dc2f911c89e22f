// The datum transformation as the core sees it. The core knows only this
// interface; the NAD27 to NAD83 library behind it lives in transform/.
#pragma once

#include <memory>

namespace korvexa {

// One pair of coordinate systems (NAD27 as source, NAD83 as target), defined
// once per Create and used for every point of that run.
class CoordinateTransform {
 public:
  virtual ~CoordinateTransform() = default;

  // Moves one point in place. `longitude` is in decimal degrees, west
  // negative; `latitude` in decimal degrees, north positive. The sign of the
  // returned longitude is not relied on (the decoding takes its magnitude).
  // Throws KorvexaError when the point cannot be transformed; the message
  // starts with the point's position and reads as a sentence once
  // "point <PointID> " is put in front ("at 35.1200960 N 106.7583333 W lies
  // outside the NAD27 to NAD83 grids").
  virtual void TransformPoint(double& longitude, double& latitude) const = 0;

  // The way back: moves one point in place from NAD83 to NAD27, in the same
  // units (degrees, west negative), the longitude on the turn it was given.
  // Throws KorvexaError as TransformPoint does.
  virtual void InverseTransformPoint(double& longitude, double& latitude) const = 0;

  // True when TransformPoint may be called from several threads at once and
  // gives every thread the same results; the writers then share the work of
  // a large file between threads. A transformation that records its calls,
  // or keeps a state between them, says false (the default).
  virtual bool ThreadSafe() const { return false; }

  // Readies the calling thread for TransformPoint where the library sets up
  // something for each thread, so that a second thread can do so while the
  // first works. A failure shows again at the thread's first TransformPoint.
  virtual void PrepareThread() const {}
};

// Defines the NAD27 and NAD83 systems at the start of a Create.
class DatumLibrary {
 public:
  virtual ~DatumLibrary() = default;

  // Throws KorvexaError when the library or its data cannot be used.
  virtual std::unique_ptr<CoordinateTransform> DefineDatumPair() = 0;
};

}  // namespace korvexa
