#include "transform/datum_adapter.h"

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/prolat.h"

namespace korvexa {
namespace {

// The library's own detail, or its fixed text for `status`.
std::string Reason(int32_t status) {
  const char* detail = ProLatLastError();
  return *detail != '\0' ? detail : ProLatStrErr(status);
}

class ProLatCoordinateTransform : public CoordinateTransform {
 public:
  ProLatCoordinateTransform(int32_t nad27, int32_t nad83) : nad27_(nad27), nad83_(nad83) {}

  void TransformPoint(double& longitude, double& latitude) const override {
    Move(nad27_, nad83_, "from NAD27 to NAD83", longitude, latitude);
  }
  void InverseTransformPoint(double& longitude, double& latitude) const override {
    Move(nad83_, nad27_, "from NAD83 to NAD27", longitude, latitude);
  }

 private:
  // Moves the point, its longitude kept on the turn it was given (a
  // longitude past 180 W may come back wrapped).
  static void Move(int32_t from, int32_t to, const char* direction, double& longitude, double& latitude) {
    double z = 0;
    const double given = longitude;
    const int32_t status = ProLatTransform(from, to, &longitude, &latitude, &z, 1);
    if (status == PROLAT_OK) {
      longitude = NearestTurn(longitude, given);
      return;
    }
    const std::string where = "at " + PositionText(longitude, latitude);
    if (status == PROLAT_ERR_OUTSIDE_GRIDS) {
      throw KorvexaError(where + " lies outside the NAD27 to NAD83 grids (" + Reason(status) + ")");
    }
    throw KorvexaError(where + " cannot be moved " + direction + ": " + Reason(status));
  }

  int32_t nad27_;
  int32_t nad83_;
};

}  // namespace

void UseShippedGrids(const std::filesystem::path& folder) {
  if (ProLatSetFallbackPath(folder.c_str()) != PROLAT_OK) {
    throw KorvexaError("cannot use the grids in \"" + folder.string() + "\": " + ProLatLastError());
  }
}

std::string GridReport() {
  return ProLatGridReport();
}

std::unique_ptr<CoordinateTransform> ProLatDatumLibrary::DefineDatumPair() {
  const int32_t nad27 = ProLatDefineLatLong("NAD27");
  const int32_t nad83 = ProLatDefineLatLong("NAD83");
  if (const int32_t status = ProLatPrepareTransform(nad27, nad83); status != PROLAT_OK) {
    throw KorvexaError("cannot move points from NAD27 to NAD83: " + Reason(status));
  }
  return std::make_unique<ProLatCoordinateTransform>(nad27, nad83);
}

}  // namespace korvexa
