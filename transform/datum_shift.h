// The NADCON shift between NAD27 and NAD83, the one home of the grids.
//
// Two operations of the EPSG dataset move a point: 1241 "NAD27 to NAD83 (1)"
// (grid us_noaa_conus.tif, the NADCON file "conus": the conterminous
// states, 0.15 m) and 1243 "NAD27 to NAD83 (2)" (us_noaa_alaska.tif,
// "alaska": Alaska, 0.5 m), whichever's area of use holds the point. There
// is no fallback: no "ballpark" zero shift and no Helmert shift. A point
// outside both areas, or in the area of a grid that is not installed, is an
// error and its coordinates are left as they were.
//
// Grids are found on PROJ's search path (PROJ's user folder, PROJ_DATA, the
// system folder), then in the folder of the grids the program ships
// (UseShippedGrids). The network stays off unless the user's environment
// sets PROJ_NETWORK=ON. One PROJ context serves the process, set up on
// first use, so a program that converts many files sets PROJ up once; it
// is for one thread at a time.
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

// Looks for grids in `folder` after PROJ's own search path (none when
// empty); the shift is set up again on its next use.
void UseShippedGrids(const std::filesystem::path& folder);

// One line per NADCON grid, ended by a line feed: its name, its region and
// the file that serves it ("us_noaa_conus.tif (the conterminous United
// States): /usr/share/korvexa/grids/us_noaa_conus.tif"), or "not
// installed"; on a PROJ failure, the failure's text.
std::string GridReport();

// The NADCON shift: NAD27 to NAD83 forward, NAD83 to NAD27 inverse, one
// point a call (degrees, west negative), the longitude on the turn it was
// given. Throws KorvexaError ("at <position> ...", see above); the point is
// then unchanged.
class DatumShift : public CoordinateTransform {
 public:
  void TransformPoint(double& longitude, double& latitude) const override;
  void InverseTransformPoint(double& longitude, double& latitude) const override;
};

// Core's DatumLibrary over the NADCON grids.
class NadconLibrary : public DatumLibrary {
 public:
  // Looks for the grids again when one was missing (one installed meanwhile
  // is found), so that missing grids stop a Create before anything runs.
  // Throws KorvexaError when no grid is usable (the message says what to
  // install) or PROJ fails.
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override;
};

}  // namespace korvexa
