// The map projection of the drawing and the map: NAD27 longitude and latitude
// to NAD27 UTM (EPSG:26701 to EPSG:26722, zones 1 to 22), through PROJ.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace korvexa {

inline constexpr int kFirstNad27UtmZone = 1;  // EPSG:26701, 180 W to 174 W
inline constexpr int kLastNad27UtmZone = 22;  // EPSG:26722, 54 W to 48 W

// The UTM zone of a longitude in degrees east of Greenwich, or nothing when
// it lies outside the NAD27 zones 1 to 22 (180 W to 48 W).
std::optional<int> Nad27UtmZone(double eastLongitude);

// Easting and northing in metres.
struct PlanePoint {
  double x = 0;
  double y = 0;
};

class UtmProjection {
 public:
  // The projection to the NAD27 UTM zone `zone` (1 to 22). Throws
  // KorvexaError when PROJ cannot set it up.
  explicit UtmProjection(int zone);
  ~UtmProjection();
  UtmProjection(const UtmProjection&) = delete;
  UtmProjection& operator=(const UtmProjection&) = delete;

  // "EPSG:26713" for zone 13.
  const std::string& System() const;

  // The point at NAD27 `eastLongitude`, `latitude` (degrees); nothing when
  // PROJ cannot project it.
  std::optional<PlanePoint> Project(double eastLongitude, double latitude) const;

 private:
  struct Proj;
  std::unique_ptr<Proj> proj_;
  std::string system_;
};

}  // namespace korvexa
