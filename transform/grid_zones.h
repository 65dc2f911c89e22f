// Which of EPSG's projected CRSs are State Plane or UTM zones, and the order
// in which a township's zones are offered. Plain rules over the names and
// units PROJ's database gives (transform/grid_crs.cpp reads them).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "transform/grid_crs.h"

namespace korvexa {

enum class ZoneKind { StatePlane, Utm, Other };

// What the database says of one projected CRS.
struct ZoneDefinition {
  GridCrs crs;
  std::string conversionName;  // EPSG's name of its map projection: "SPCS83 Montana zone (meters)"
  std::string geographicCode;  // EPSG code of its geographic CRS: "4269"
  std::string unitCode;        // EPSG code of its unit: "9001" metre, "9002" foot, "9003" US survey foot
  bool lengthUnit = false;     // its axes measure a length
};

// A State Plane zone: EPSG names the NAD83 ones' projections "SPCS83 ...",
// and the NAD27 ones' "... CS27 ...", "... Coordinate System ... zone" or
// "... State Plane ... zone". A UTM zone: "UTM zone 13N", or the BLM's
// "BLM zone 13N (US survey feet)", UTM in US survey feet.
ZoneKind ZoneKindOf(std::string_view conversionName);

// True when the CRS name starts with the datum's own name, "NAD83 / " or
// "NAD27 / " (not "NAD83(HARN) / "): a quick look before the CRS is read.
bool IsOnDatumByName(std::string_view crsName, Datum datum);

// The zones in the order GridSystems::Candidates gave them before counties
// (the smallest area of use first, of each zone the unit of the state's law
// first), after the rank `tier` gives each (smaller first), when given.
std::vector<GridCrs> RankZones(std::vector<ZoneDefinition> zones,
                               const std::function<int(const ZoneDefinition&)>& tier = {});

}  // namespace korvexa
