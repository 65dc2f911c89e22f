// The grid coordinate systems of a data collector's point file: the State
// Plane and UTM zones that EPSG defines, read from PROJ's database.
//
// Data collectors take northings and eastings in a job's grid, in the unit
// the state's law uses. EPSG defines most zones more than once (metres, US
// survey feet, international feet); each definition carries its own unit, so
// the unit is never guessed. The corners' positions are NAD27 as the file
// gives them or NAD83 from the NADCON shift, and only CRSs on that datum
// itself are used: a CRS on NAD83(HARN) or NAD83(2011) would need further
// grids that Korvexa does not have, and PROJ would then fall back to a shift
// of zero without saying so.
//
// PROJ stays behind this header: GridSystems keeps one PROJ context for a
// whole run and sets each CRS up once, however many townships use it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geo_position.h"
#include "transform/projection.h"

namespace korvexa {

// A longitude and latitude box in degrees, longitudes east of Greenwich in
// [-180, 180]; a box with west > east crosses 180 degrees.
struct GeoBox {
  double west = 0, south = 0, east = 0, north = 0;

  // True when `inner` lies wholly inside this box (edges included).
  bool Contains(const GeoBox& inner) const;
  // The box's area on a unit sphere, to compare boxes by size.
  double Area() const;
  // Halfway from west eastward to east, in [-180, 180): 180 for a box from
  // 179 E to 179 W.
  double MiddleLongitude() const;
  // "35.0100 N to 35.0900 N, 106.5500 W to 106.4500 W", for messages.
  std::string Text() const;
};

// One projected CRS a point file can be written in.
struct GridCrs {
  std::string code;      // "EPSG:2258"
  std::string name;      // "NAD83 / New Mexico Central (ftUS)"
  std::string unitName;  // of both axes: "US survey foot", "foot", "metre"
  double metresPerUnit = 1;
  GeoBox area;           // EPSG's area of use
  std::string areaName;  // "USA - New Mexico - SPCS83 - C"
  bool utm = false;      // a UTM zone (EPSG's or the BLM's), else a State Plane zone

  // "NAD83 / New Mexico Central (ftUS), EPSG:2258": how the program names it.
  std::string Label() const;
};

// A CRS chosen for a point file: what the database says of it, its .prj
// text and the projection into it.
struct ChosenGrid {
  GridCrs crs;
  std::string wkt;  // WKT 1 in the ESRI dialect, the content of a .prj file
  Projection projection;
};

class GridSystems {
 public:
  // Opens PROJ's database. Throws KorvexaError when PROJ cannot start.
  GridSystems();
  ~GridSystems();
  GridSystems(const GridSystems&) = delete;
  GridSystems& operator=(const GridSystems&) = delete;

  // The State Plane zones on `datum` whose area of use holds `township`, in
  // every unit EPSG defines them in, and the UTM zones that hold it. Best
  // guess first: the zone of the county that holds the township's middle,
  // then those of the other counties it reaches into, then the state's
  // other zones, UTM and other states' zones (RankZonesByCounty,
  // county_zones.h; the county boundaries of UseCountyBoundaries); of each zone the unit of the
  // state's law first (international feet in Arizona, Michigan, Montana,
  // North Dakota, Oregon and South Carolina, US survey feet elsewhere,
  // metres where EPSG has no such definition; metres for UTM). Empty when no
  // zone holds the township. Throws KorvexaError when PROJ's database fails
  // or the county boundaries cannot be read.
  std::vector<GridCrs> Candidates(Datum datum, const GeoBox& township);

  // The projection into `code` ("EPSG:2258" or "2258") for positions on
  // `datum` within `township`, set up once per code and datum. Throws
  // KorvexaError naming the code and the reason when the code is no EPSG
  // code PROJ knows, the CRS is not projected or not on `datum` itself (as
  // Projection), its axes are not in a length unit, or its area of use does
  // not hold `township`.
  const ChosenGrid& Choose(const std::string& code, Datum datum, const GeoBox& township);

 private:
  struct Context;
  std::unique_ptr<Context> context_;
  std::map<std::string, std::unique_ptr<ChosenGrid>> chosen_;
};

// "EPSG:2258" for "EPSG:2258", "epsg:2258" and "2258". Throws KorvexaError
// for anything else.
std::string EpsgCode(const std::string& text);

}  // namespace korvexa
