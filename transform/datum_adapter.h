// The program's adapter to the prolat transformation library (prolat.h):
// defines the NAD27 and NAD83 systems once per Create and moves each decoded
// point from NAD27 to NAD83, checking every status and every result.
//
// Errors are KorvexaError. A point's error starts with its position and
// reads as a sentence once "point <PointID> " is put in front (DecodeLxPoint
// does that): "at 35.1200960 N 106.7583333 W lies outside the NAD27 to NAD83
// grids (...)".
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "core/coordinate_transform.h"

namespace korvexa {

// The prolat entries the adapter calls (prolat.h has their contracts);
// tests put a fake library in its place.
class ProLatLibrary {
 public:
  virtual ~ProLatLibrary() = default;
  virtual int32_t DefineLatLong(const char* datum) = 0;
  virtual int32_t PrepareTransform(int32_t src, int32_t dst) = 0;
  virtual int32_t Transform(int32_t src, int32_t dst, double* x, double* y, double* z, int32_t count) = 0;
  virtual const char* StrErr(int32_t status) = 0;
  virtual const char* LastError() = 0;
  // True when every entry may be called from several threads at once.
  virtual bool ThreadSafe() const { return false; }
};

// The prolat library linked into the program (over PROJ and the NADCON grids).
std::shared_ptr<ProLatLibrary> LinkedProLat();

// Makes the linked library look for grids in `folder` after PROJ's own search
// path: the grids shipped with the program. Throws KorvexaError on failure.
void UseShippedGrids(const std::filesystem::path& folder);

// One line per NADCON grid: its name, region and the file that serves it, or
// "not installed".
std::string GridReport();

// "35.1200960 N 106.7583333 W": 7 decimals, hemisphere letters, locale-free.
std::string PositionText(double longitude, double latitude);

// Core's DatumLibrary over a prolat library: the one path of a datum shift.
class ProLatDatumLibrary : public DatumLibrary {
 public:
  explicit ProLatDatumLibrary(std::shared_ptr<ProLatLibrary> library = LinkedProLat());

  // ProLatDefineLatLong with "NAD27", then with "NAD83", then
  // ProLatPrepareTransform from the one to the other, so that missing grids
  // stop a Create before anything runs. Throws KorvexaError when a datum is
  // unknown or no grid is usable (the message says what to install).
  //
  // The returned transformation moves one point per ProLatTransform call
  // (z = 0, count 1) and returns its longitude with the sign and on the turn
  // of the one it was given, whichever sign the library returned and however
  // it wrapped a longitude past 180 W (compared modulo 360). It throws
  // KorvexaError ("at <position> ...", see above) for a failed status, or a
  // result that is not finite, not a latitude, or more than 0.01 degree from
  // the NAD27 position (NADCON shifts stay below 0.004 degree); the point is
  // then unchanged.
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override;

 private:
  std::shared_ptr<ProLatLibrary> library_;
};

}  // namespace korvexa
