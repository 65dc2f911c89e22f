#include "transform/datum_adapter.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/prolat.h"

namespace korvexa {
namespace {

constexpr double kLargestShiftDegrees = 0.01;  // NADCON shifts stay below 0.004 degree

class LinkedLibrary : public ProLatLibrary {
 public:
  int32_t DefineLatLong(const char* datum) override { return ProLatDefineLatLong(datum); }
  int32_t PrepareTransform(int32_t src, int32_t dst) override { return ProLatPrepareTransform(src, dst); }
  int32_t Transform(int32_t src, int32_t dst, double* x, double* y, double* z, int32_t count) override {
    return ProLatTransform(src, dst, x, y, z, count);
  }
  const char* StrErr(int32_t status) override { return ProLatStrErr(status); }
  const char* LastError() override { return ProLatLastError(); }
  bool ThreadSafe() const override { return true; }  // a PROJ context for each thread, its own last error
};

// The library's own detail, or its fixed text for `status`.
std::string Reason(ProLatLibrary& library, int32_t status) {
  const char* detail = library.LastError();
  if (detail != nullptr && *detail != '\0') return detail;
  const char* text = library.StrErr(status);
  return text != nullptr ? text : "status " + std::to_string(status);
}

void AppendDegrees(std::string& out, double magnitude) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 7);
  out.append(buffer, ec == std::errc() ? end : buffer);
}

// The returned longitude on the turn and with the sign of `longitude`, when it
// lies within a NADCON shift of it: the library may give either sign (the
// magnitude is what is written) and may wrap a longitude past 180 W into
// [-180, 180] (-187.16 comes back as 172.84).
std::optional<double> OnTheSameTurn(double longitude, double moved) {
  for (const double candidate : {moved, -moved}) {
    const double near = NearestTurn(candidate, longitude);
    if (std::fabs(near - longitude) <= kLargestShiftDegrees) return near;
  }
  return std::nullopt;
}

// Why the library's coordinates cannot be written, or empty when they can;
// `sameTurn` is OnTheSameTurn of the longitudes.
const char* ImplausibleResult(double latitude, double movedLongitude, double movedLatitude,
                              const std::optional<double>& sameTurn) {
  if (!std::isfinite(movedLongitude) || !std::isfinite(movedLatitude) || std::fabs(movedLatitude) > 90) {
    return "the transformation library returned no valid coordinates";
  }
  if (std::fabs(movedLatitude - latitude) > kLargestShiftDegrees || !sameTurn) {
    return "the transformation library moved it by more than 0.01 degree, which no NADCON shift does";
  }
  return nullptr;
}

// The two systems of one Create.
struct DatumPair {
  int32_t nad27 = 0;
  int32_t nad83 = 0;
};

class ProLatCoordinateTransform : public CoordinateTransform {
 public:
  ProLatCoordinateTransform(std::shared_ptr<ProLatLibrary> library, DatumPair pair)
      : library_(std::move(library)), pair_(pair) {}

  bool ThreadSafe() const override { return library_->ThreadSafe(); }

  // The library sets up its PROJ context for a thread on the thread's first
  // call; preparing does the same.
  void PrepareThread() const override { library_->PrepareTransform(pair_.nad27, pair_.nad83); }

  void TransformPoint(double& longitude, double& latitude) const override {
    double x = longitude;
    double y = latitude;
    double z = 0;
    const int32_t status = library_->Transform(pair_.nad27, pair_.nad83, &x, &y, &z, 1);
    if (status != PROLAT_OK) Fail(status, longitude, latitude);
    const std::optional<double> sameTurn = OnTheSameTurn(longitude, x);
    if (const char* problem = ImplausibleResult(latitude, x, y, sameTurn); problem != nullptr) {
      throw KorvexaError(Where(longitude, latitude) + " cannot be moved from NAD27 to NAD83: " + problem);
    }
    longitude = *sameTurn;
    latitude = y;
  }

  void InverseTransformPoint(double& longitude, double& latitude) const override {
    double x = longitude;
    double y = latitude;
    double z = 0;
    const int32_t status = library_->Transform(pair_.nad83, pair_.nad27, &x, &y, &z, 1);
    const std::optional<double> sameTurn = OnTheSameTurn(longitude, x);
    const char* problem = status != PROLAT_OK ? nullptr : ImplausibleResult(latitude, x, y, sameTurn);
    if (status != PROLAT_OK || problem != nullptr) {
      throw KorvexaError(Where(longitude, latitude) + " cannot be moved from NAD83 to NAD27: " +
                         (problem != nullptr ? std::string(problem) : Reason(*library_, status)));
    }
    longitude = *sameTurn;
    latitude = y;
  }

 private:
  static std::string Where(double longitude, double latitude) { return "at " + PositionText(longitude, latitude); }

  [[noreturn]] void Fail(int32_t status, double longitude, double latitude) const {
    if (status == PROLAT_ERR_OUTSIDE_GRIDS) {
      const char* detail = library_->LastError();
      throw KorvexaError(Where(longitude, latitude) + " lies outside the NAD27 to NAD83 grids" +
                         (detail != nullptr && *detail != '\0' ? " (" + std::string(detail) + ")" : ""));
    }
    throw KorvexaError(Where(longitude, latitude) +
                       " cannot be moved from NAD27 to NAD83: " + Reason(*library_, status));
  }

  std::shared_ptr<ProLatLibrary> library_;
  DatumPair pair_;
};

}  // namespace

std::shared_ptr<ProLatLibrary> LinkedProLat() {
  return std::make_shared<LinkedLibrary>();
}

void UseShippedGrids(const std::filesystem::path& folder) {
  if (ProLatSetFallbackPath(folder.c_str()) != PROLAT_OK) {
    throw KorvexaError("cannot use the grids in \"" + folder.string() + "\": " + ProLatLastError());
  }
}

std::string GridReport() {
  return ProLatGridReport();
}

std::string PositionText(double longitude, double latitude) {
  std::string text;
  AppendDegrees(text, std::fabs(latitude));
  text += latitude < 0 ? " S " : " N ";
  AppendDegrees(text, std::fabs(longitude));
  text += ' ';
  text += Hemisphere(longitude);
  return text;
}

ProLatDatumLibrary::ProLatDatumLibrary(std::shared_ptr<ProLatLibrary> library) : library_(std::move(library)) {}

std::unique_ptr<CoordinateTransform> ProLatDatumLibrary::DefineDatumPair() {
  DatumPair pair;
  pair.nad27 = library_->DefineLatLong("NAD27");
  if (pair.nad27 == PROLAT_NO_SYSTEM) {
    throw KorvexaError("the transformation library cannot define NAD27: " + Reason(*library_, PROLAT_ERR_BAD_SYSTEM));
  }
  pair.nad83 = library_->DefineLatLong("NAD83");
  if (pair.nad83 == PROLAT_NO_SYSTEM) {
    throw KorvexaError("the transformation library cannot define NAD83: " + Reason(*library_, PROLAT_ERR_BAD_SYSTEM));
  }
  if (const int32_t status = library_->PrepareTransform(pair.nad27, pair.nad83); status != PROLAT_OK) {
    throw KorvexaError("cannot move points from NAD27 to NAD83: " + Reason(*library_, status));
  }
  return std::make_unique<ProLatCoordinateTransform>(library_, pair);
}

}  // namespace korvexa
