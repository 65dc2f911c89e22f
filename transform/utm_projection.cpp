#include "transform/utm_projection.h"

#include <proj.h>

#include <cmath>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/proj_handles.h"

namespace korvexa {
namespace {

using prolat::ContextHandle;
using prolat::PjHandle;

constexpr int kLastEpsgZone = 22;                               // EPSG:26722, 54 W to 48 W
constexpr int kFirstAleutianZone = 59, kLastAleutianZone = 60;  // 168 E to 180

bool IsNad27Zone(int zone) {
  return (zone >= 1 && zone <= kLastEpsgZone) || (zone >= kFirstAleutianZone && zone <= kLastAleutianZone);
}

std::string SystemName(int zone) {
  if (zone > kLastEpsgZone) return "NAD27 / UTM zone " + std::to_string(zone) + "N";
  return "EPSG:267" + std::string(zone < 10 ? "0" : "") + std::to_string(zone);
}

// Longitude and latitude in degrees to easting and northing in metres.
PjHandle LonLatToUtm(PJ_CONTEXT* context, int zone, const std::string& system) {
  if (zone <= kLastEpsgZone) {
    const PjHandle raw(proj_create_crs_to_crs(context, "EPSG:4267", system.c_str(), nullptr));
    return PjHandle(raw ? proj_normalize_for_visualization(context, raw.get()) : nullptr);
  }
  if (!IsNad27Zone(zone)) return nullptr;
  // EPSG has no NAD27 UTM system west of 180: the same projection on NAD27's
  // Clarke 1866 ellipsoid.
  const std::string pipeline =
      "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=utm +zone=" + std::to_string(zone) +
      " +ellps=clrk66";
  return PjHandle(proj_create(context, pipeline.c_str()));
}

}  // namespace

struct UtmProjection::Proj {
  ContextHandle context;
  PjHandle lonLat;  // destroyed before its context
};

std::optional<int> Nad27UtmZone(double eastLongitude) {
  if (!std::isfinite(eastLongitude)) return std::nullopt;
  const double east = WrapEast(eastLongitude);
  const int zone = static_cast<int>(std::floor((east + 180) / 6)) + 1;
  if (!IsNad27Zone(zone)) return std::nullopt;
  return zone;
}

UtmProjection::UtmProjection(int zone) : proj_(std::make_unique<Proj>()), system_(SystemName(zone)) {
  proj_->context.reset(proj_context_create());
  PJ_CONTEXT* context = proj_->context.get();
  proj_log_level(context, PJ_LOG_NONE);
  proj_->lonLat = LonLatToUtm(context, zone, system_);
  if (!proj_->lonLat) {
    throw KorvexaError("cannot set up the projection from NAD27 to " + system_ + ": " +
                       proj_context_errno_string(context, proj_context_errno(context)));
  }
}

UtmProjection::~UtmProjection() = default;

const std::string& UtmProjection::System() const {
  return system_;
}

std::optional<PlanePoint> UtmProjection::Project(double eastLongitude, double latitude) const {
  const PJ_COORD utm = proj_trans(proj_->lonLat.get(), PJ_FWD, proj_coord(eastLongitude, latitude, 0, 0));
  if (!std::isfinite(utm.xy.x) || !std::isfinite(utm.xy.y)) return std::nullopt;  // PROJ's HUGE_VAL
  return PlanePoint{utm.xy.x, utm.xy.y};
}

const UtmProjection& UtmProjections::Zone(int zone) {
  std::unique_ptr<UtmProjection>& projection = zones_[zone];
  if (!projection) projection = std::make_unique<UtmProjection>(zone);
  return *projection;
}

}  // namespace korvexa
