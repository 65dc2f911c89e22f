#include "transform/utm_projection.h"

#include <proj.h>

#include <cmath>

#include "core/korvexa_error.h"
#include "transform/proj_handles.h"

namespace korvexa {

using prolat::ContextHandle;
using prolat::PjHandle;

struct UtmProjection::Proj {
  ContextHandle context;
  PjHandle lonLat;  // destroyed before its context
};

std::optional<int> Nad27UtmZone(double eastLongitude) {
  const double zone = std::floor((eastLongitude + 180) / 6) + 1;
  if (!(zone >= kFirstNad27UtmZone && zone <= kLastNad27UtmZone)) return std::nullopt;
  return static_cast<int>(zone);
}

UtmProjection::UtmProjection(int zone)
    : proj_(std::make_unique<Proj>()), system_("EPSG:267" + std::string(zone < 10 ? "0" : "") + std::to_string(zone)) {
  proj_->context.reset(proj_context_create());
  proj_log_level(proj_->context.get(), PJ_LOG_NONE);
  PJ_CONTEXT* context = proj_->context.get();
  const PjHandle raw(proj_create_crs_to_crs(context, "EPSG:4267", system_.c_str(), nullptr));
  // Longitude before latitude, in degrees.
  if (raw) proj_->lonLat.reset(proj_normalize_for_visualization(context, raw.get()));
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

}  // namespace korvexa
