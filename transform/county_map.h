// The US counties as the Census Bureau draws them (data/counties/counties.txt,
// its README gives the source and the format): which county holds a place,
// and which counties a township's box reaches into.
//
// The boundaries are the Census Bureau's 1:10,000,000 cartographic ones,
// simplified and quantized to a few hundred metres: a place closer than
// about a kilometre to a county line may be given the neighbour. Callers
// treat the counties a box reaches into as the doubt around that.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "transform/grid_crs.h"

namespace korvexa {

struct County {
  std::string fips;   // five digits: "35055"
  std::string name;   // in ASCII, as EPSG spells county names: "Taos", "Dona Ana"
  std::string state;  // "New Mexico"
};

class CountyMap {
 public:
  // Reads the county file at `file`. Throws KorvexaError naming the file
  // when it cannot be read or is not a county file.
  explicit CountyMap(const std::filesystem::path& file);

  // The county holding the place at `eastLongitude` (degrees, west negative,
  // any turn) and `latitude` (degrees); else the county nearest to it within
  // `reachKm` kilometres (the simplified coast and shore lines leave some
  // land outside every county); nullptr when there is none.
  const County* CountyAt(double eastLongitude, double latitude, double reachKm = 5) const;

  // The counties whose area meets `box` (a box across 180 degrees too), in
  // the order of the file.
  std::vector<const County*> CountiesMeeting(const GeoBox& box) const;

  // The other counties that meet the box around `county`, one of this map's.
  std::vector<const County*> Neighbours(const County& county) const;

  // The states' names, as the Census Bureau spells them.
  const std::vector<std::string>& States() const { return states_; }

 private:
  struct Point {
    double x, y;  // east longitude in [-180, 180), latitude; degrees
  };
  struct Shape {
    County county;
    std::vector<std::vector<Point>> rings;  // outer rings and holes alike: inside is an odd count of crossings
    GeoBox bounds;                          // west <= east
  };

  static bool Inside(const Shape& shape, Point point);
  static bool Meets(const Shape& shape, const GeoBox& box, double shift);
  static double DistanceKm(const Shape& shape, Point point);

  std::vector<Shape> shapes_;
  std::vector<std::string> states_;
};

}  // namespace korvexa
