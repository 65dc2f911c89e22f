// The map projection of the drawing and the map: NAD27 longitude and latitude
// to NAD27 UTM, through PROJ: zones 1 to 22 (EPSG:26701 to EPSG:26722, 180 W
// to 48 W) and, for the Aleutians west of 180, zones 59 and 60 (168 E to
// 180), on the same Clarke 1866 ellipsoid.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/geo_position.h"

namespace korvexa {

// The UTM zone of a longitude in degrees east of Greenwich (any turn: -187 is
// 173 E), or nothing when it lies outside the NAD27 zones 1 to 22 and 59 to
// 60 (168 E to 48 W).
std::optional<int> Nad27UtmZone(double eastLongitude);

class UtmProjection {
 public:
  // The projection to the NAD27 UTM zone `zone` (1 to 22, 59, 60). Throws
  // KorvexaError when PROJ cannot set it up.
  explicit UtmProjection(int zone);
  ~UtmProjection();
  UtmProjection(const UtmProjection&) = delete;
  UtmProjection& operator=(const UtmProjection&) = delete;

  // "EPSG:26713" for zone 13, "NAD27 / UTM zone 60N" for zone 60.
  const std::string& System() const;

  // The point at NAD27 `eastLongitude` (any turn), `latitude` (degrees);
  // nothing when PROJ cannot project it.
  std::optional<PlanePoint> Project(double eastLongitude, double latitude) const;

 private:
  struct Proj;
  std::unique_ptr<Proj> proj_;
  std::string system_;
};

// The projections of the zones asked for so far, each set up once, so that
// a run over many townships sets PROJ up once per zone.
class UtmProjections {
 public:
  // The projection to `zone`. Throws as UtmProjection's constructor.
  const UtmProjection& Zone(int zone);

 private:
  std::map<int, std::unique_ptr<UtmProjection>> zones_;
};

}  // namespace korvexa
