#include "transform/projection.h"

#include <proj.h>
#include <proj_experimental.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/proj_handles.h"

namespace korvexa {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr int kLastNad27EpsgZone = 22;                          // EPSG:26722, 54 W to 48 W
constexpr int kLastNad83EpsgZone = 23;                          // EPSG:26923, 48 W to 42 W
constexpr int kFirstAleutianZone = 59, kLastAleutianZone = 60;  // 168 E to 180

bool IsNad27Zone(int zone) {
  return (zone >= 1 && zone <= kLastNad27EpsgZone) || (zone >= kFirstAleutianZone && zone <= kLastAleutianZone);
}

ContextHandle NewContext() {
  ContextHandle context(proj_context_create());
  if (!context) throw KorvexaError("PROJ cannot create a context for a projection");
  proj_context_set_enable_network(context.get(), 0);  // a projection needs no grid
  proj_log_level(context.get(), PJ_LOG_NONE);
  return context;
}

PjHandle FromDatabase(PJ_CONTEXT* context, const std::string& code) {
  const std::size_t colon = code.find(':');
  if (colon == std::string::npos) return nullptr;
  const std::string authority = code.substr(0, colon), number = code.substr(colon + 1);
  return PjHandle(proj_create_from_database(context, authority.c_str(), number.c_str(), PJ_CATEGORY_CRS, 0, nullptr));
}

// True when the projected `crs` stands on the geographic CRS of `datum`.
bool IsOn(PJ_CONTEXT* context, const PJ* crs, Datum datum) {
  const PjHandle geographic(proj_crs_get_geodetic_crs(context, crs));
  return IsEpsg(geographic.get(), GeographicCode(datum));
}

// UTM zone `zone` north on the geographic CRS of `datum`, for the zones EPSG
// has no code for.
PjHandle UtmOnDatum(PJ_CONTEXT* context, int zone, Datum datum, const std::string& name) {
  const PjHandle geographic = FromDatabase(context, std::string("EPSG:") + GeographicCode(datum));
  const PjHandle conversion(proj_create_conversion_utm(context, zone, 1));
  const PjHandle axes(proj_create_cartesian_2D_cs(context, PJ_CART2D_EASTING_NORTHING, "metre", 1.0));
  if (!geographic || !conversion || !axes) return nullptr;
  return PjHandle(proj_create_projected_crs(context, name.c_str(), geographic.get(), conversion.get(), axes.get()));
}

}  // namespace

struct Projection::Proj {
  ContextHandle context;
  PjHandle crs;
  PjHandle lonLat;  // longitude, latitude in degrees to easting, northing; destroyed before its context
};

const char* GeographicCode(Datum datum) {
  return datum == Datum::Nad83 ? "4269" : "4267";
}

std::string DatumName(Datum datum) {
  return datum == Datum::Nad83 ? "NAD83 (EPSG:4269)" : "NAD27 (EPSG:4267)";
}

int UtmZone(double eastLongitude) {
  return static_cast<int>(std::floor((WrapEast(eastLongitude) + 180) / 6)) + 1;
}

std::optional<int> Nad27UtmZone(double eastLongitude) {
  if (!std::isfinite(eastLongitude)) return std::nullopt;
  const int zone = UtmZone(eastLongitude);
  if (!IsNad27Zone(zone)) return std::nullopt;
  return zone;
}

Projection::Projection(std::unique_ptr<Proj> proj, std::string name, Datum datum)
    : proj_(std::move(proj)), name_(std::move(name)), datum_(datum) {
  PJ_CONTEXT* context = proj_->context.get();
  const PjHandle geographic = FromDatabase(context, std::string("EPSG:") + GeographicCode(datum));
  const PjHandle raw(proj_create_crs_to_crs_from_pj(context, geographic.get(), proj_->crs.get(), nullptr, nullptr));
  if (raw) proj_->lonLat.reset(proj_normalize_for_visualization(context, raw.get()));
  if (!proj_->lonLat) {
    throw KorvexaError("cannot set up the projection from " + DatumName(datum) + " to " + name_ + ": " +
                       ContextError(context));
  }
}

std::unique_ptr<Projection::Proj> Projection::Open(const std::string& code, Datum datum) {
  auto proj = std::make_unique<Proj>();
  proj->context = NewContext();
  PJ_CONTEXT* context = proj->context.get();
  proj->crs = FromDatabase(context, code);
  if (!proj->crs) throw KorvexaError(code + " is not a coordinate system in PROJ's database");
  const std::string name = code + " " + ProjText(proj_get_name(proj->crs.get()));
  if (proj_get_type(proj->crs.get()) != PJ_TYPE_PROJECTED_CRS) {
    throw KorvexaError(name + " is not a projected coordinate system: it has no northings and eastings");
  }
  if (!IsOn(context, proj->crs.get(), datum)) {
    throw KorvexaError(name + " is not on " + DatumName(datum) +
                       ", the datum of the corners; Korvexa has no grids to move them to its datum");
  }
  return proj;
}

Projection::Projection(const std::string& code, Datum datum) : Projection(Open(code, datum), code, datum) {}

Projection Projection::Utm(int zone, Datum datum) {
  auto proj = std::make_unique<Proj>();
  proj->context = NewContext();
  PJ_CONTEXT* context = proj->context.get();
  const int lastEpsgZone = datum == Datum::Nad83 ? kLastNad83EpsgZone : kLastNad27EpsgZone;
  std::string name;
  if (zone >= 1 && zone <= lastEpsgZone) {
    name = std::string(datum == Datum::Nad83 ? "EPSG:269" : "EPSG:267") + (zone < 10 ? "0" : "") +
           std::to_string(zone);
    proj->crs = FromDatabase(context, name);
  } else if (zone >= 1 && zone <= 60) {
    name = std::string(datum == Datum::Nad83 ? "NAD83" : "NAD27") + " / UTM zone " + std::to_string(zone) + "N";
    proj->crs = UtmOnDatum(context, zone, datum, name);
  } else {
    throw KorvexaError("there is no UTM zone " + std::to_string(zone));
  }
  if (!proj->crs) throw KorvexaError("PROJ cannot set up " + name + ": " + ContextError(context));
  return Projection(std::move(proj), std::move(name), datum);
}

Projection::~Projection() = default;
Projection::Projection(Projection&&) noexcept = default;
Projection& Projection::operator=(Projection&&) noexcept = default;

void Projection::RequireDatum(const GeoPosition& position) const {
  if (position.datum != datum_) {
    throw KorvexaError("a position on " + DatumName(position.datum) + " cannot be projected to " + name_ +
                       ", which stands on " + DatumName(datum_));
  }
}

std::optional<PlanePoint> Projection::Forward(const GeoPosition& position) const {
  RequireDatum(position);
  const PJ_COORD plane =
      proj_trans(proj_->lonLat.get(), PJ_FWD, proj_coord(WrapEast(position.longitude), position.latitude, 0, 0));
  if (!std::isfinite(plane.xy.x) || !std::isfinite(plane.xy.y)) return std::nullopt;  // PROJ's HUGE_VAL
  return PlanePoint{plane.xy.x, plane.xy.y};
}

std::optional<GeoPosition> Projection::Inverse(PlanePoint point) const {
  const PJ_COORD lonLat = proj_trans(proj_->lonLat.get(), PJ_INV, proj_coord(point.x, point.y, 0, 0));
  if (!std::isfinite(lonLat.lp.lam) || !std::isfinite(lonLat.lp.phi)) return std::nullopt;
  return GeoPosition{datum_, WrapEast(lonLat.lp.lam), lonLat.lp.phi};
}

std::optional<ProjectionFactors> Projection::FactorsAt(const GeoPosition& position) const {
  RequireDatum(position);
  PJ* crs = proj_->crs.get();
  proj_errno_reset(crs);
  // A projected CRS takes the place in radians, longitude first.
  const PJ_FACTORS factors = proj_factors(
      crs, proj_coord(WrapEast(position.longitude) * kRadiansPerDegree, position.latitude * kRadiansPerDegree, 0, 0));
  if (proj_errno(crs) != 0 || !std::isfinite(factors.meridian_convergence) || factors.meridional_scale <= 0) {
    return std::nullopt;
  }
  return ProjectionFactors{factors.meridian_convergence / kRadiansPerDegree, factors.meridional_scale};
}

const Projection& UtmProjections::Zone(int zone) {
  auto found = zones_.find(zone);
  if (found == zones_.end()) found = zones_.emplace(zone, Projection::Utm(zone, Datum::Nad27)).first;
  return found->second;
}

}  // namespace korvexa
