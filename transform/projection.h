// The one keeper of a map projection: UTM, State Plane or any projected CRS
// of PROJ's database, from positions on NAD27 or NAD83 to its plane and
// back, with the meridian convergence and the scale factor PROJ gives for a
// place (proj_factors). The drawing, the map, the navigator and the data
// collector's point file all project through it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/geo_position.h"

namespace korvexa {

// "NAD27 (EPSG:4267)" or "NAD83 (EPSG:4269)", for messages.
std::string DatumName(Datum datum);

// The number of the datum's geographic CRS in EPSG's dataset: "4267", "4269".
const char* GeographicCode(Datum datum);

// The UTM zone (1 to 60) of a finite longitude in degrees east of
// Greenwich, on any turn: -187 is 173 E, in zone 59; 180 E is 180 W, in zone 1.
int UtmZone(double eastLongitude);

// UtmZone, or nothing when it lies outside the NAD27 zones 1 to 22 and 59 to
// 60 (168 E to 48 W).
std::optional<int> Nad27UtmZone(double eastLongitude);

// What PROJ says of the projection at one place.
struct ProjectionFactors {
  // The angle from true north to grid north, degrees clockwise (positive
  // east of a UTM zone's central meridian, where grid north lies east of
  // true north); a grid bearing is the true bearing less this.
  double convergence = 0;
  double scale = 1;  // the point scale factor (the same in every direction: the projections are conformal)
};

class Projection {
 public:
  // Into the projected CRS `code` ("EPSG:2258") of PROJ's database, from
  // positions on `datum`. Throws KorvexaError naming the code when PROJ does
  // not know it, it is not a projected CRS, or it is not on `datum` itself
  // (a CRS on another datum would need a shift Korvexa does not have).
  Projection(const std::string& code, Datum datum);

  // Into UTM zone `zone` (1 to 60, north) on `datum`: EPSG's CRS where it
  // has one (NAD27 zones 1 to 22, NAD83 zones 1 to 23), else the same
  // projection on the datum itself ("NAD27 / UTM zone 60N" for the western
  // Aleutians). Throws KorvexaError when PROJ cannot set it up.
  static Projection Utm(int zone, Datum datum);

  ~Projection();
  Projection(Projection&&) noexcept;
  Projection& operator=(Projection&&) noexcept;

  // "EPSG:26713", or "NAD27 / UTM zone 60N" where EPSG has no code.
  const std::string& Name() const { return name_; }
  Datum datum() const { return datum_; }

  // The plane point of `position` (any turn of the longitude); nothing when
  // PROJ cannot project it. Throws KorvexaError when `position` is on
  // another datum than the projection's.
  std::optional<PlanePoint> Forward(const GeoPosition& position) const;

  // The position of `point` on the projection's datum, its longitude in
  // [-180, 180); nothing when PROJ cannot take it back.
  std::optional<GeoPosition> Inverse(PlanePoint point) const;

  // The convergence and scale at `position`; nothing where PROJ has none.
  // Throws as Forward.
  std::optional<ProjectionFactors> FactorsAt(const GeoPosition& position) const;

 private:
  struct Proj;
  static std::unique_ptr<Proj> Open(const std::string& code, Datum datum);
  Projection(std::unique_ptr<Proj> proj, std::string name, Datum datum);
  void RequireDatum(const GeoPosition& position) const;

  std::unique_ptr<Proj> proj_;
  std::string name_;
  Datum datum_;
};

// The NAD27 UTM projections asked for so far, each set up once, so that a
// run over many townships sets PROJ up once per zone.
class UtmProjections {
 public:
  // The projection to `zone`. Throws as Projection::Utm.
  const Projection& Zone(int zone);

 private:
  std::map<int, Projection> zones_;
};

}  // namespace korvexa
