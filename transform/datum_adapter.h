// The program's adapter to the prolat transformation library (prolat.h):
// defines the NAD27 and NAD83 systems once per Create and moves each point
// from one to the other, checking every status.
//
// Errors are KorvexaError. A point's error starts with its position and
// reads as a sentence once "point <PointID> " is put in front: "at
// 35.1200960 N 106.7583333 W lies outside the NAD27 to NAD83 grids (...)".
// Whether a moved point is a plausible NADCON shift is checked above this
// layer, by ShiftedLxPoint (core/lx_record.h), for any transformation.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/coordinate_transform.h"

namespace korvexa {

// Makes the library look for grids in `folder` after PROJ's own search path:
// the grids shipped with the program. Throws KorvexaError on failure.
void UseShippedGrids(const std::filesystem::path& folder);

// One line per NADCON grid: its name, region and the file that serves it, or
// "not installed".
std::string GridReport();

// Core's DatumLibrary over the linked prolat library.
class ProLatDatumLibrary : public DatumLibrary {
 public:
  // ProLatDefineLatLong with "NAD27", then with "NAD83", then
  // ProLatPrepareTransform from the one to the other, so that missing grids
  // stop a Create before anything runs. Throws KorvexaError when no grid is
  // usable (the message says what to install).
  //
  // The returned transformation moves one point per ProLatTransform call
  // (z = 0, count 1), either way, its longitude on the turn it was given; it
  // throws KorvexaError ("at <position> ...", see above) for a failed status,
  // and the point is then unchanged.
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override;
};

}  // namespace korvexa
