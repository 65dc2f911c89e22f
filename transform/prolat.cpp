// The prolat C entries: a fixed table of datum handles, and one PROJ context
// with the NADCON shift for the process, made on first use and again when
// the grid folders change.
#include "transform/prolat.h"

#include <strings.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "transform/nadcon_shift.h"
#include "transform/proj_handles.h"

namespace korvexa::prolat {
namespace {

struct SystemDefinition {
  const char* datum;
  int32_t handle;
};

constexpr int32_t kNad27 = 1;
constexpr int32_t kNad83 = 2;
constexpr SystemDefinition kSystems[] = {{"NAD27", kNad27}, {"NAD83", kNad83}};

bool IsSystem(int32_t handle) {
  return handle == kNad27 || handle == kNad83;
}

// PROJ's own switch; anything else keeps the network off.
bool UserWantsNetwork() {
  const char* value = std::getenv("PROJ_NETWORK");
  return value != nullptr &&
         (::strcasecmp(value, "ON") == 0 || ::strcasecmp(value, "YES") == 0 || ::strcasecmp(value, "TRUE") == 0);
}

std::vector<std::string> SplitPaths(const char* paths) {
  std::vector<std::string> folders;
  std::string folder;
  for (const char* c = paths; *c != '\0'; ++c) {
    if (*c != ':') {
      folder += *c;
    } else if (!folder.empty()) {
      folders.push_back(std::move(folder));
      folder.clear();
    }
  }
  if (!folder.empty()) folders.push_back(std::move(folder));
  return folders;
}

// The PROJ context and the NADCON shift of the process.
class Library {
 public:
  static Library& Instance() {
    static Library library;
    return library;
  }

  // The shift, set up on first use. With `retryMissing`, a shift that lacked
  // a grid is set up again in a fresh context (PROJ remembers a missing grid
  // for the life of a context), so a grid installed meanwhile is found.
  // Throws ProjFailure.
  const NadconShift& Shift(bool retryMissing) {
    if (shift_ && retryMissing && !shift_->AllUsable()) Reset();
    if (!shift_) shift_.emplace(Context(), GridFolder());
    return *shift_;
  }

  void SetFallback(std::vector<std::string> folders) {
    Reset();
    fallback_ = std::move(folders);
  }

  // PROJ's last logged message since the previous call, for error details.
  std::string TakeLog() { return std::exchange(log_, std::string()); }

  std::string lastError;

 private:
  Library() = default;

  void Reset() {
    shift_.reset();
    context_.reset();
  }

  PJ_CONTEXT* Context() {
    if (context_) return context_.get();
    context_.reset(proj_context_create());
    if (!context_) throw ProjFailure("PROJ cannot create a context");
    if (!UserWantsNetwork()) proj_context_set_enable_network(context_.get(), 0);
    if (std::getenv("PROJ_DEBUG") == nullptr) proj_log_func(context_.get(), this, &Library::Log);
    if (!fallback_.empty()) {
      // PROJ's own search path first, then the fallback folders.
      std::vector<std::string> folders = SplitPaths(proj_info().searchpath);
      folders.insert(folders.end(), fallback_.begin(), fallback_.end());
      std::vector<const char*> paths;
      for (const std::string& path : folders) paths.push_back(path.c_str());
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
    if (message != nullptr) static_cast<Library*>(self)->log_ = message;
  }

  // Destroyed in reverse order: the shift's objects before their context.
  ContextHandle context_;
  std::optional<NadconShift> shift_;
  std::vector<std::string> fallback_;
  std::string log_;
};

// Checks both handles; `direction` is PJ_IDENT when src == dst.
int32_t Direction(int32_t src, int32_t dst, PJ_DIRECTION& direction) {
  if (!IsSystem(src) || !IsSystem(dst)) {
    Library::Instance().lastError = "the system handles " + std::to_string(src) + " and " + std::to_string(dst) +
                                    " are not both handles returned by ProLatDefineLatLong";
    return PROLAT_ERR_BAD_SYSTEM;
  }
  direction = src == dst ? PJ_IDENT : src == kNad27 ? PJ_FWD : PJ_INV;
  return PROLAT_OK;
}

// Runs `body` with the library and turns exceptions into statuses.
template <typename Body>
int32_t Guarded(Body body) {
  Library& library = Library::Instance();
  library.TakeLog();
  try {
    return body(library);
  } catch (const ProjFailure& failure) {
    const std::string log = library.TakeLog();
    library.lastError = failure.what() + (log.empty() ? std::string() : " (PROJ: " + log + ")");
  } catch (const std::exception& failure) {
    library.lastError = failure.what();
  }
  return PROLAT_ERR_PROJ;
}

}  // namespace
}  // namespace korvexa::prolat

using korvexa::prolat::Library;
using korvexa::prolat::NadconShift;

extern "C" int32_t ProLatDefineLatLong(const char* datum) {
  std::string& lastError = Library::Instance().lastError;
  lastError.clear();
  for (const auto& system : korvexa::prolat::kSystems) {
    if (datum != nullptr && ::strcasecmp(datum, system.datum) == 0) return system.handle;
  }
  lastError = datum == nullptr ? std::string("no datum name given")
                               : "unknown datum \"" + std::string(datum) + "\" (known: NAD27, NAD83)";
  return PROLAT_NO_SYSTEM;
}

extern "C" int32_t ProLatPrepareTransform(int32_t src, int32_t dst) {
  Library::Instance().lastError.clear();
  PJ_DIRECTION direction = PJ_IDENT;
  if (const int32_t status = korvexa::prolat::Direction(src, dst, direction); status != PROLAT_OK) return status;
  if (direction == PJ_IDENT) return PROLAT_OK;
  return korvexa::prolat::Guarded([](Library& library) -> int32_t {
    const NadconShift& shift = library.Shift(true);
    if (shift.AnyUsable()) return PROLAT_OK;
    library.lastError = shift.MissingGridsText();
    return PROLAT_ERR_GRID_MISSING;
  });
}

extern "C" int32_t ProLatTransform(int32_t src, int32_t dst, double* x, double* y, double* z, int32_t count) {
  (void)z;  // heights pass through unchanged
  Library::Instance().lastError.clear();
  if (count < 0 || (count > 0 && (x == nullptr || y == nullptr))) {
    Library::Instance().lastError = "ProLatTransform needs the addresses of x and y and a count of 0 or more";
    return PROLAT_ERR_BAD_ARGUMENT;
  }
  PJ_DIRECTION direction = PJ_IDENT;
  if (const int32_t status = korvexa::prolat::Direction(src, dst, direction); status != PROLAT_OK) return status;
  if (direction == PJ_IDENT || count == 0) return PROLAT_OK;
  return korvexa::prolat::Guarded([&](Library& library) -> int32_t {
    const NadconShift& shift = library.Shift(false);
    for (int32_t i = 0; i < count; ++i) {
      korvexa::prolat::ShiftOutcome outcome = shift.Move(direction, x[i], y[i]);
      if (outcome.status != PROLAT_OK) {
        library.lastError = std::move(outcome.detail);
        return outcome.status;
      }
    }
    return PROLAT_OK;
  });
}

extern "C" const char* ProLatStrErr(int32_t status) {
  switch (status) {
    case PROLAT_OK:
      return "no error";
    case PROLAT_ERR_BAD_SYSTEM:
      return "not a coordinate system defined by ProLatDefineLatLong";
    case PROLAT_ERR_GRID_MISSING:
      return "the NADCON grid for the point is not installed";
    case PROLAT_ERR_OUTSIDE_GRIDS:
      return "the point lies outside the NAD27 to NAD83 grids";
    case PROLAT_ERR_PROJ:
      return "PROJ failed";
    case PROLAT_ERR_BAD_ARGUMENT:
      return "invalid argument";
    default:
      return "unknown status";
  }
}

extern "C" const char* ProLatLastError(void) {
  return Library::Instance().lastError.c_str();
}

extern "C" int32_t ProLatSetFallbackPath(const char* paths) {
  Library& library = Library::Instance();
  library.lastError.clear();
  library.SetFallback(paths != nullptr ? korvexa::prolat::SplitPaths(paths) : std::vector<std::string>());
  return PROLAT_OK;
}

extern "C" const char* ProLatGridReport(void) {
  static std::string report;
  const int32_t status = korvexa::prolat::Guarded([](Library& library) -> int32_t {
    report = library.Shift(true).GridReport();
    library.lastError.clear();
    return PROLAT_OK;
  });
  if (status != PROLAT_OK) report = Library::Instance().lastError;
  return report.c_str();
}
