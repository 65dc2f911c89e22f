// The NADCON shift between NAD27 and NAD83 as PROJ objects: the EPSG
// operations 1241 (conterminous states) and 1243 (Alaska), each with its
// area of use and whether its grid is installed. Part of the prolat library;
// it knows nothing of handles, locking or threads.
#pragma once

#include <proj.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "transform/proj_handles.h"

namespace korvexa::prolat {

// A failure of PROJ itself (no database, an operation that is not what
// EPSG says it is); the message is for the user.
class ProjFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A longitude and latitude box in degrees; west > east crosses 180 degrees.
struct AreaOfUse {
  double west = 0, south = 0, east = 0, north = 0;
  bool Contains(double longitude, double latitude) const;
};

struct NadconOperation {
  const char* region = "";      // "the conterminous United States", "Alaska"
  const char* nadconFile = "";  // the grid's old NADCON (CTable2) file name: "conus", "alaska"
  std::string gridName;         // PROJ's name of the grid: "us_noaa_conus.tif"
  std::string gridFile;         // the file that serves it, when usable (empty over the network)
  AreaOfUse area;
  bool usable = false;  // the grid is installed (or, with the network on, reachable)
  PjHandle shift;       // longitude, latitude in degrees; set when usable
};

// The outcome of moving one point.
struct ShiftOutcome {
  int status = 0;      // a ProLatStatus
  std::string detail;  // what went wrong, for the user; empty on success
};

class NadconShift {
 public:
  // Looks the two operations up in PROJ's database and checks their grids.
  // `gridFolder` is where the user should put missing grids (named in
  // messages). Throws ProjFailure.
  NadconShift(PJ_CONTEXT* context, std::string gridFolder);

  bool AnyUsable() const;
  bool AllUsable() const;

  // Moves one point in place from NAD27 to NAD83 (PJ_FWD) or back (PJ_INV)
  // with the first operation whose area holds it. Longitude and latitude
  // are in degrees, west negative. On failure the point is unchanged.
  ShiftOutcome Move(PJ_DIRECTION direction, double& longitude, double& latitude) const;

  // What to install for every operation whose grid is missing.
  std::string MissingGridsText() const;

  // One line per operation: its grid, region and the file that serves it.
  std::string GridReport() const;

 private:
  std::string MissingGridsText(const std::vector<const NadconOperation*>& missing) const;

  PJ_CONTEXT* context_;
  std::string gridFolder_;
  std::vector<NadconOperation> operations_;
};

}  // namespace korvexa::prolat
