#include "transform/nadcon_shift.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "transform/prolat.h"

namespace korvexa::prolat {
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

std::string ContextError(PJ_CONTEXT* context) {
  const char* text = proj_context_errno_string(context, proj_context_errno(context));
  return text != nullptr ? text : "unknown error";
}

bool IsEpsg(PJ* object, const char* code) {
  const char* authority = object != nullptr ? proj_get_id_auth_name(object, 0) : nullptr;
  const char* id = object != nullptr ? proj_get_id_code(object, 0) : nullptr;
  return authority != nullptr && id != nullptr && std::strcmp(authority, "EPSG") == 0 && std::strcmp(id, code) == 0;
}

// Guards against a database in which the code means something else: the
// operation must go from NAD27 to NAD83 through one grid, and never be a
// ballpark shift.
void RequireGridShift(PJ_CONTEXT* context, PJ* operation, const char* code) {
  const PjHandle source(proj_get_source_crs(context, operation));
  const PjHandle target(proj_get_target_crs(context, operation));
  if (!IsEpsg(source.get(), "4267") || !IsEpsg(target.get(), "4269") ||
      proj_coordoperation_get_grid_used_count(context, operation) != 1 ||
      proj_coordoperation_has_ballpark_transformation(context, operation) != 0) {
    throw ProjFailure(std::string("operation EPSG:") + code +
                      " in PROJ's database is not the NADCON grid shift from NAD27 to NAD83");
  }
}

AreaOfUse AreaOf(PJ_CONTEXT* context, PJ* operation, const char* code) {
  AreaOfUse area;
  if (!proj_get_area_of_use(context, operation, &area.west, &area.south, &area.east, &area.north, nullptr) ||
      area.west == -1000) {
    throw ProjFailure(std::string("PROJ's database gives no area of use for operation EPSG:") + code);
  }
  return area;
}

NadconOperation LoadOperation(PJ_CONTEXT* context, const NadconDefinition& definition) {
  const char* code = definition.epsgCode;
  // usePROJAlternativeGridNames = 1: the grids under PROJ's current names
  // (us_noaa_*.tif), which PROJ also finds under their old NADCON names.
  const PjHandle operation(
      proj_create_from_database(context, "EPSG", code, PJ_CATEGORY_COORDINATE_OPERATION, 1, nullptr));
  if (!operation) {
    throw ProjFailure(std::string("PROJ cannot read operation EPSG:") + code + " from its database (" +
                      ContextError(context) + ")");
  }
  RequireGridShift(context, operation.get(), code);

  NadconOperation result;
  result.region = definition.region;
  result.nadconFile = definition.nadconFile;
  result.area = AreaOf(context, operation.get(), code);
  result.usable = proj_coordoperation_is_instantiable(context, operation.get()) == 1;
  const char* gridName = nullptr;
  const char* gridFile = nullptr;
  proj_coordoperation_get_grid_used(context, operation.get(), 0, &gridName, &gridFile, nullptr, nullptr, nullptr,
                                    nullptr, nullptr);
  result.gridName = gridName != nullptr ? gridName : definition.nadconFile;
  result.gridFile = gridFile != nullptr ? gridFile : "";
  if (result.usable) {
    // Longitude before latitude, in degrees.
    result.shift.reset(proj_normalize_for_visualization(context, operation.get()));
    if (!result.shift) throw ProjFailure(std::string("PROJ cannot set up operation EPSG:") + code);
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

}  // namespace

bool AreaOfUse::Contains(double longitude, double latitude) const {
  if (!(latitude >= south && latitude <= north)) return false;
  if (west <= east) return longitude >= west && longitude <= east;
  return longitude >= west || longitude <= east;  // the area crosses 180 degrees
}

NadconShift::NadconShift(PJ_CONTEXT* context, std::string gridFolder)
    : context_(context), gridFolder_(std::move(gridFolder)) {
  for (const NadconDefinition& definition : kNadconOperations) {
    operations_.push_back(LoadOperation(context, definition));
  }
}

bool NadconShift::AnyUsable() const {
  for (const NadconOperation& operation : operations_) {
    if (operation.usable) return true;
  }
  return false;
}

bool NadconShift::AllUsable() const {
  for (const NadconOperation& operation : operations_) {
    if (!operation.usable) return false;
  }
  return true;
}

ShiftOutcome NadconShift::Move(PJ_DIRECTION direction, double& longitude, double& latitude) const {
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
      return {};
    }
    const int error = proj_errno(shift);
    if (error != PROJ_ERR_COORD_TRANSFM_OUTSIDE_GRID) {
      const char* text = proj_context_errno_string(context_, error);
      return {PROLAT_ERR_PROJ, "PROJ could not apply the grid " + operation.gridName + " (" +
                                   (text != nullptr && *text != '\0' ? text : "no result") + ")"};
    }
  }
  if (missing != nullptr) return {PROLAT_ERR_GRID_MISSING, MissingGridsText({missing})};
  return {PROLAT_ERR_OUTSIDE_GRIDS, "NADCON covers only the conterminous United States and Alaska"};
}

std::string NadconShift::GridReport() const {
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

std::string NadconShift::MissingGridsText() const {
  std::vector<const NadconOperation*> missing;
  for (const NadconOperation& operation : operations_) {
    if (!operation.usable) missing.push_back(&operation);
  }
  return MissingGridsText(missing);
}

std::string NadconShift::MissingGridsText(const std::vector<const NadconOperation*>& missing) const {
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
         " into " + gridFolder_;
}

}  // namespace korvexa::prolat
