#include "transform/datum_shift.h"

#include <proj.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/proj_handles.h"

namespace korvexa {
namespace {

struct NadconDefinition {
  const char* epsgCode;
  const char* region;
  const char* nadconFile;
};

// In the order PROJ ranks them; their areas do not overlap.
constexpr NadconDefinition kNadconOperations[] = {
    {"1241", "the conterminous United States", "conus"},
    {"1243", "Alaska", "alaska"},
};

// A longitude and latitude box in degrees; west > east crosses 180 degrees.
struct AreaOfUse {
  double west = 0, south = 0, east = 0, north = 0;

  bool Contains(double longitude, double latitude) const {
    if (!(latitude >= south && latitude <= north)) return false;
    if (west <= east) return longitude >= west && longitude <= east;
    return longitude >= west || longitude <= east;  // the area crosses 180 degrees
  }
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

// Guards against a database in which the code means something else: the
// operation must go from NAD27 to NAD83 through one grid, and never be a
// ballpark shift.
void RequireGridShift(PJ_CONTEXT* context, PJ* operation, const char* code) {
  const PjHandle source(proj_get_source_crs(context, operation));
  const PjHandle target(proj_get_target_crs(context, operation));
  if (!IsEpsg(source.get(), "4267") || !IsEpsg(target.get(), "4269") ||
      proj_coordoperation_get_grid_used_count(context, operation) != 1 ||
      proj_coordoperation_has_ballpark_transformation(context, operation) != 0) {
    throw KorvexaError(std::string("operation EPSG:") + code +
                       " in PROJ's database is not the NADCON grid shift from NAD27 to NAD83");
  }
}

NadconOperation LoadOperation(PJ_CONTEXT* context, const NadconDefinition& definition) {
  const char* code = definition.epsgCode;
  // usePROJAlternativeGridNames = 1: the grids under PROJ's current names
  // (us_noaa_*.tif), which PROJ also finds under their old NADCON names.
  const PjHandle operation(
      proj_create_from_database(context, "EPSG", code, PJ_CATEGORY_COORDINATE_OPERATION, 1, nullptr));
  if (!operation) {
    throw KorvexaError(std::string("PROJ cannot read operation EPSG:") + code + " from its database (" +
                       ContextError(context) + ")");
  }
  RequireGridShift(context, operation.get(), code);

  NadconOperation result;
  result.region = definition.region;
  result.nadconFile = definition.nadconFile;
  AreaOfUse& area = result.area;
  if (!proj_get_area_of_use(context, operation.get(), &area.west, &area.south, &area.east, &area.north, nullptr) ||
      area.west == -1000) {
    throw KorvexaError(std::string("PROJ's database gives no area of use for operation EPSG:") + code);
  }
  result.usable = proj_coordoperation_is_instantiable(context, operation.get()) == 1;
  const char* gridName = nullptr;
  const char* gridFile = nullptr;
  proj_coordoperation_get_grid_used(context, operation.get(), 0, &gridName, &gridFile, nullptr, nullptr, nullptr,
                                    nullptr, nullptr);
  result.gridName = gridName != nullptr ? gridName : definition.nadconFile;
  result.gridFile = ProjText(gridFile);
  if (result.usable) {
    // Longitude before latitude, in degrees.
    result.shift.reset(proj_normalize_for_visualization(context, operation.get()));
    if (!result.shift) throw KorvexaError(std::string("PROJ cannot set up operation EPSG:") + code);
  }
  return result;
}

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  return text;
}

// What to install for the operations `missing`; `gridFolder` is where the
// user should put them.
std::string MissingGridsText(const std::vector<const NadconOperation*>& missing, const std::string& gridFolder) {
  std::vector<std::string> named, commands, grids, nadconFiles;
  for (const NadconOperation* operation : missing) {
    named.push_back(operation->gridName + " (" + operation->region + ")");
    commands.push_back("\"projsync --file " + operation->gridName + "\"");
    grids.push_back(operation->gridName);
    nadconFiles.push_back(operation->nadconFile);
  }
  const bool one = missing.size() == 1;
  return std::string(one ? "the NADCON grid " : "the NADCON grids ") + Listed(named) +
         (one ? " is not installed: install it with " : " are not installed: install them with ") + Listed(commands) +
         ", or copy " + Listed(grids) + (one ? " or the NADCON file " : " or the NADCON files ") + Listed(nadconFiles) +
         " into " + gridFolder;
}

// The two operations, looked up in one context.
class NadconShift {
 public:
  NadconShift(PJ_CONTEXT* context, std::string gridFolder) : context_(context), gridFolder_(std::move(gridFolder)) {
    for (const NadconDefinition& definition : kNadconOperations) {
      operations_.push_back(LoadOperation(context, definition));
    }
  }

  bool AllUsable() const {
    return std::all_of(operations_.begin(), operations_.end(), [](const auto& operation) { return operation.usable; });
  }

  // What to install for every operation whose grid is missing; empty when
  // at least one grid is usable.
  std::optional<std::string> NoneUsable() const {
    std::vector<const NadconOperation*> missing;
    for (const NadconOperation& operation : operations_) {
      if (operation.usable) return std::nullopt;
      missing.push_back(&operation);
    }
    return MissingGridsText(missing, gridFolder_);
  }

  // Moves one point in place with the first operation whose area holds it;
  // on failure the point is unchanged.
  void Move(PJ_DIRECTION direction, double& longitude, double& latitude) const {
    const char* moving = direction == PJ_FWD ? "from NAD27 to NAD83" : "from NAD83 to NAD27";
    const NadconOperation* missing = nullptr;
    for (const NadconOperation& operation : operations_) {
      if (!operation.area.Contains(longitude, latitude)) continue;
      if (!operation.usable) {
        if (missing == nullptr) missing = &operation;
        continue;
      }
      PJ* shift = operation.shift.get();
      proj_errno_reset(shift);
      const PJ_COORD moved = proj_trans(shift, direction, proj_coord(longitude, latitude, 0, 0));
      if (std::isfinite(moved.xy.x) && std::isfinite(moved.xy.y)) {
        longitude = moved.xy.x;
        latitude = moved.xy.y;
        return;
      }
      const int error = proj_errno(shift);
      if (error != PROJ_ERR_COORD_TRANSFM_OUTSIDE_GRID) {
        const char* text = proj_context_errno_string(context_, error);
        throw KorvexaError(At(longitude, latitude) + " cannot be moved " + moving + ": PROJ could not apply the grid " +
                           operation.gridName + " (" + (text != nullptr && *text != '\0' ? text : "no result") + ")");
      }
    }
    if (missing != nullptr) {
      throw KorvexaError(At(longitude, latitude) + " cannot be moved " + moving + ": " +
                         MissingGridsText({missing}, gridFolder_));
    }
    throw KorvexaError(At(longitude, latitude) +
                       " lies outside the NAD27 to NAD83 grids (NADCON covers only the conterminous United States "
                       "and Alaska)");
  }

  std::string GridReport() const {
    std::string report;
    for (const NadconOperation& operation : operations_) {
      report += operation.gridName + " (" + operation.region + "): ";
      report += operation.usable && !operation.gridFile.empty() ? operation.gridFile
                : operation.usable                              ? "found by PROJ"
                                                                : "not installed";
      report += '\n';
    }
    return report;
  }

 private:
  static std::string At(double longitude, double latitude) { return "at " + PositionText(longitude, latitude); }

  PJ_CONTEXT* context_;
  std::string gridFolder_;
  std::vector<NadconOperation> operations_;
};

// PROJ's own switch; anything else keeps the network off.
bool UserWantsNetwork() {
  const char* value = std::getenv("PROJ_NETWORK");
  return value != nullptr &&
         (::strcasecmp(value, "ON") == 0 || ::strcasecmp(value, "YES") == 0 || ::strcasecmp(value, "TRUE") == 0);
}

// The PROJ context and the NADCON shift of the process.
class Grids {
 public:
  static Grids& Instance() {
    static Grids grids;
    return grids;
  }

  // The shift, set up on first use. With `retryMissing`, a shift that lacked
  // a grid is set up again in a fresh context (PROJ remembers a missing grid
  // for the life of a context), so a grid installed meanwhile is found.
  // Throws KorvexaError with PROJ's last message.
  const NadconShift& Shift(bool retryMissing) {
    if (shift_ && retryMissing && !shift_->AllUsable()) Reset();
    if (!shift_) {
      log_.clear();
      try {
        shift_.emplace(Context(), GridFolder());
      } catch (const KorvexaError& failure) {
        throw KorvexaError(failure.what() + (log_.empty() ? std::string() : " (PROJ: " + log_ + ")"));
      }
    }
    return *shift_;
  }

  void UseFallback(std::string folder) {
    Reset();
    fallback_ = std::move(folder);
  }

 private:
  Grids() = default;

  void Reset() {
    shift_.reset();
    context_.reset();
  }

  PJ_CONTEXT* Context() {
    if (context_) return context_.get();
    context_.reset(proj_context_create());
    if (!context_) throw KorvexaError("PROJ cannot create a context");
    if (!UserWantsNetwork()) proj_context_set_enable_network(context_.get(), 0);
    if (std::getenv("PROJ_DEBUG") == nullptr) proj_log_func(context_.get(), this, &Grids::Log);
    if (!fallback_.empty()) {
      // PROJ's own search path first, then the shipped grids.
      std::vector<std::string> folders;
      std::string path = proj_info().searchpath;
      for (std::size_t start = 0, end = 0; start <= path.size(); start = end + 1) {
        end = std::min(path.find(':', start), path.size());
        if (end > start) folders.push_back(path.substr(start, end - start));
      }
      folders.push_back(fallback_);
      std::vector<const char*> paths;
      for (const std::string& folder : folders) paths.push_back(folder.c_str());
      proj_context_set_search_paths(context_.get(), static_cast<int>(paths.size()), paths.data());
    }
    return context_.get();
  }

  // Where a user puts grids: PROJ's user folder (e.g. ~/.local/share/proj).
  std::string GridFolder() {
    const char* folder = proj_context_get_user_writable_directory(Context(), 0);
    return folder != nullptr ? folder : "PROJ's user folder";
  }

  static void Log(void* self, int, const char* message) {
    if (message != nullptr) static_cast<Grids*>(self)->log_ = message;
  }

  // Destroyed in reverse order: the shift's objects before their context.
  ContextHandle context_;
  std::optional<NadconShift> shift_;
  std::string fallback_;
  std::string log_;
};

// Moves the point, its longitude kept on the turn it was given (a longitude
// past 180 W may come back wrapped).
void Move(PJ_DIRECTION direction, double& longitude, double& latitude) {
  const NadconShift* shift = nullptr;
  try {
    shift = &Grids::Instance().Shift(false);
  } catch (const KorvexaError& failure) {
    throw KorvexaError("at " + PositionText(longitude, latitude) + " cannot be moved " +
                       (direction == PJ_FWD ? "from NAD27 to NAD83: " : "from NAD83 to NAD27: ") + failure.what());
  }
  const double given = longitude;
  shift->Move(direction, longitude, latitude);
  longitude = NearestTurn(longitude, given);
}

}  // namespace

void UseShippedGrids(const std::filesystem::path& folder) {
  Grids::Instance().UseFallback(folder.string());
}

std::string GridReport() {
  try {
    return Grids::Instance().Shift(true).GridReport();
  } catch (const KorvexaError& failure) {
    return failure.what();
  }
}

void DatumShift::TransformPoint(double& longitude, double& latitude) const {
  Move(PJ_FWD, longitude, latitude);
}

void DatumShift::InverseTransformPoint(double& longitude, double& latitude) const {
  Move(PJ_INV, longitude, latitude);
}

std::unique_ptr<CoordinateTransform> NadconLibrary::DefineDatumPair() {
  try {
    if (std::optional<std::string> missing = Grids::Instance().Shift(true).NoneUsable()) throw KorvexaError(*missing);
  } catch (const KorvexaError& failure) {
    throw KorvexaError(std::string("cannot move points from NAD27 to NAD83: ") + failure.what());
  }
  return std::make_unique<DatumShift>();
}

}  // namespace korvexa
