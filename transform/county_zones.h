// The State Plane zone of a township: the zone whose area names the county
// that holds the township's middle.
//
// State Plane zones are defined by counties, and EPSG's extent of each zone
// lists them: "United States (USA) - New Mexico - counties of Bernalillo;
// Dona Ana; ...". The county comes from the Census Bureau's boundaries
// (county_map.h). Alaska's zones go by longitude bands ("between 144°W and
// 141°W"), the panhandle ("east of 141°W") and the Aleutian Islands, which
// EPSG's extents say in the same words.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transform/county_map.h"
#include "transform/grid_crs.h"
#include "transform/grid_zones.h"

namespace korvexa {

// The county file GridSystems::Candidates reads, once, on its first use:
// the one shipped with the program (the programs set it at start, beside the
// grids; tests set the build's copy).
void UseCountyBoundaries(const std::filesystem::path& file);

// The county map of the file UseCountyBoundaries named, read on the first
// call. Throws KorvexaError when none was named or it cannot be read.
const CountyMap& CountyBoundaries();

// What the extent of one State Plane zone says of the places it holds.
class ZoneArea {
 public:
  // Reads `description`, an extent's description as PROJ gives it, knowing
  // the states' names `states` (CountyMap::States). An area that names no
  // state of `states` holds nothing.
  ZoneArea(std::string_view description, const std::vector<std::string>& states);

  // True when the area holds the place at `eastLongitude`, `latitude`
  // (degrees) in `county`: it names the county in the county's state (a
  // condition such as "Grant north of approximately 47°30'N" holds too), or,
  // in Alaska, the place lies in its band.
  bool Holds(const County& county, double eastLongitude, double latitude) const;

  // The state the area lies in; empty when it names none.
  const std::string& State() const { return state_; }

  // True when the area lists counties of `state`.
  bool ListsCountiesOf(std::string_view state) const;

 private:
  struct Listed {
    std::string key;                         // the county's name as CountyKey gives it
    std::optional<double> northOf, southOf;  // latitude conditions, degrees
  };
  std::string state_;
  std::vector<Listed> counties_;
  std::optional<double> westOf_, eastOf_, northOf_, southOf_;  // Alaska's bands: east longitudes, latitudes
  bool aleutians_ = false;
};

// A county's name as areas and the Census Bureau both spell it: lower case
// letters and digits only, "saint" as "st", the Census Bureau's newer names
// as EPSG's older ones ("Miami-Dade" as "dade", "Oglala Lakota" as
// "shannon") and EPSG's misspelt "Mountrial" as "mountrail".
std::string CountyKey(std::string_view name);

// A State Plane zone that a county of a township lies in.
struct CountyZone {
  std::string zone;     // the CRS's name without its unit: "NAD83 / New Mexico Central"
  County county;        // the first county of the township found in it
  bool middle = false;  // the county holds the township's middle (else the box reaches into it)
};

// The State Plane zones on `datum` of the counties of `township`, from the
// extents of every zone in PROJ's database (read once per datum; the area of
// use of a zone named need not hold the township): first the zones of the
// county holding its middle, then those of the other counties its box
// reaches into (the township straddles a zone line when there are any).
// Empty when no county holds the middle or no zone lists the county's
// state's counties. Throws KorvexaError when PROJ's database fails.
std::vector<CountyZone> CountyZonesOf(Datum datum, const GeoBox& township, const CountyMap& counties);

// The zones of `zones` (as GridSystems::Candidates found them on `datum`
// for `township`) ranked by the counties: first the zones whose areas hold the
// county of the township's middle (a county no area names takes the zone
// most of its neighbours have), then those of the other counties the
// township's box reaches into, then the other zones of the middle's state,
// then UTM, then other states' zones; within each, RankZones's order.
// Without a county at the middle, RankZones's order alone.
std::vector<GridCrs> RankZonesByCounty(std::vector<ZoneDefinition> zones, Datum datum, const GeoBox& township,
                                       const CountyMap& counties);

}  // namespace korvexa
