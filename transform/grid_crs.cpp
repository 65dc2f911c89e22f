#include "transform/grid_crs.h"

#include <proj.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string_view>
#include <utility>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/number_text.h"
#include "transform/county_zones.h"
#include "transform/grid_zones.h"
#include "transform/proj_handles.h"

namespace korvexa {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

// How far east of `west` the longitude `east` lies, 0 to 360 degrees.
double EastwardSpan(double west, double east) {
  double span = std::fmod(east - west, 360.0);
  if (span < 0) span += 360;
  return span;
}

std::string Degrees(double value, char positive, char negative) {
  return NumberText(RoundDecimal(std::fabs(value), 4)) + ' ' + (value < 0 ? negative : positive);
}

// The unit of the first axis of `crs`, into `zone`.
void ReadUnit(PJ_CONTEXT* context, const PJ* crs, ZoneDefinition& zone) {
  const PjHandle cs(proj_crs_get_coordinate_system(context, crs));
  const char *unitName = nullptr, *unitAuthority = nullptr, *unitCode = nullptr, *category = nullptr;
  double factor = 0;
  if (!cs || !proj_cs_get_axis_info(context, cs.get(), 0, nullptr, nullptr, nullptr, &factor, &unitName, &unitAuthority,
                                    &unitCode)) {
    return;
  }
  zone.crs.unitName = ProjText(unitName);
  zone.crs.metresPerUnit = factor;
  zone.unitCode = ProjText(unitCode);
  zone.lengthUnit = unitAuthority != nullptr && unitCode != nullptr &&
                    proj_uom_get_info_from_database(context, unitAuthority, unitCode, nullptr, nullptr, &category) &&
                    ProjText(category) == "linear" && factor > 0;
}

// What the database says of the projected CRS `crs`, EPSG:`number`;
// nothing when it cannot be read.
std::optional<ZoneDefinition> DescribeZone(PJ_CONTEXT* context, const PJ* crs, const std::string& number) {
  ZoneDefinition zone;
  zone.crs.code = "EPSG:" + number;
  zone.crs.name = ProjText(proj_get_name(crs));
  const char* areaName = nullptr;
  GeoBox& area = zone.crs.area;
  if (!proj_get_area_of_use(context, crs, &area.west, &area.south, &area.east, &area.north, &areaName)) {
    return std::nullopt;
  }
  zone.crs.areaName = ProjText(areaName);
  const PjHandle conversion(proj_crs_get_coordoperation(context, crs));
  const PjHandle geographic(proj_crs_get_geodetic_crs(context, crs));
  if (!conversion || !geographic) return std::nullopt;
  zone.conversionName = ProjText(proj_get_name(conversion.get()));
  zone.crs.utm = ZoneKindOf(zone.conversionName) == ZoneKind::Utm;
  if (ProjText(proj_get_id_auth_name(geographic.get(), 0)) == "EPSG") {
    zone.geographicCode = ProjText(proj_get_id_code(geographic.get(), 0));
  }
  ReadUnit(context, crs, zone);
  return zone;
}

// West to east, 0 to 360 degrees; a box from -180 to 180 is the whole turn.
double Width(const GeoBox& box) {
  return box.west == -180 && box.east == 180 ? 360 : EastwardSpan(box.west, box.east);
}

}  // namespace

bool GeoBox::Contains(const GeoBox& inner) const {
  if (inner.south < south || inner.north > north) return false;
  const double width = Width(*this);
  return width >= 360 || EastwardSpan(west, inner.west) + Width(inner) <= width;
}

double GeoBox::Area() const {
  const double width = Width(*this);
  return width * kRadiansPerDegree * (std::sin(north * kRadiansPerDegree) - std::sin(south * kRadiansPerDegree));
}

double GeoBox::MiddleLongitude() const {
  return WrapEast(west + Width(*this) / 2);
}

std::string GeoBox::Text() const {
  return Degrees(south, 'N', 'S') + " to " + Degrees(north, 'N', 'S') + ", " + Degrees(west, 'E', 'W') + " to " +
         Degrees(east, 'E', 'W');
}

std::string GridCrs::Label() const {
  return name + ", " + code;
}

std::string EpsgCode(const std::string& text) {
  std::string_view digits = text;
  if (digits.size() > 5 && std::equal(digits.begin(), digits.begin() + 5, "EPSG:", [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
      })) {
    digits.remove_prefix(5);
  }
  // EPSG:0002258 is EPSG:2258, and is echoed so.
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw KorvexaError("\"" + text + "\" is not an EPSG code (for example EPSG:2258, or 2258)");
  }
  return "EPSG:" + std::string(digits);
}

struct GridSystems::Context {
  ContextHandle context;

  PJ_CONTEXT* get() const { return context.get(); }

  // The CRS EPSG:`number`, or null when the database has none.
  PjHandle Crs(const std::string& number) const {
    return PjHandle(proj_create_from_database(get(), "EPSG", number.c_str(), PJ_CATEGORY_CRS, 0, nullptr));
  }

  std::string LastError() const { return ContextError(get()); }
};

GridSystems::GridSystems() : context_(std::make_unique<Context>()) {
  context_->context.reset(proj_context_create());
  if (!context_->context) throw KorvexaError("PROJ cannot create a context for the grid coordinate systems");
  // Same-datum projections need no grid: never the network.
  proj_context_set_enable_network(context_->get(), 0);
  proj_log_level(context_->get(), PJ_LOG_NONE);
}

GridSystems::~GridSystems() {
  chosen_.clear();
}

std::vector<GridCrs> GridSystems::Candidates(Datum datum, const GeoBox& township) {
  PROJ_CRS_LIST_PARAMETERS* parameters = proj_get_crs_list_parameters_create();
  const PJ_TYPE types[] = {PJ_TYPE_PROJECTED_CRS};
  parameters->types = types;
  parameters->typesCount = 1;
  // Intersecting, not containing: a box across 180 degrees is checked here.
  parameters->bbox_valid = 1;
  parameters->crs_area_of_use_contains_bbox = 0;
  parameters->west_lon_degree = township.west;
  parameters->south_lat_degree = township.south;
  parameters->east_lon_degree = township.east;
  parameters->north_lat_degree = township.north;
  int count = 0;
  PROJ_CRS_INFO** list = proj_get_crs_info_list_from_database(context_->get(), "EPSG", parameters, &count);
  proj_get_crs_list_parameters_destroy(parameters);
  if (list == nullptr) throw KorvexaError("PROJ's database cannot list coordinate systems: " + context_->LastError());
  std::vector<ZoneDefinition> zones;
  for (int i = 0; i < count; ++i) {
    const PROJ_CRS_INFO& info = *list[i];
    if (!info.bbox_valid || !IsOnDatumByName(info.name, datum)) continue;
    const GeoBox area{info.west_lon_degree, info.south_lat_degree, info.east_lon_degree, info.north_lat_degree};
    if (!area.Contains(township)) continue;
    const PjHandle crs = context_->Crs(info.code);
    if (!crs) continue;
    std::optional<ZoneDefinition> zone = DescribeZone(context_->get(), crs.get(), info.code);
    if (zone && zone->geographicCode == GeographicCode(datum) && zone->lengthUnit &&
        ZoneKindOf(zone->conversionName) != ZoneKind::Other) {
      zones.push_back(std::move(*zone));
    }
  }
  proj_crs_info_list_destroy(list);
  return RankZonesByCounty(std::move(zones), datum, township, CountyBoundaries());
}

const ChosenGrid& GridSystems::Choose(const std::string& text, Datum datum, const GeoBox& township) {
  const std::string code = EpsgCode(text);
  std::unique_ptr<ChosenGrid>& chosen = chosen_[code + (datum == Datum::Nad83 ? "/83" : "/27")];
  if (!chosen) {
    Projection projection(code, datum);
    const PjHandle crs = context_->Crs(code.substr(5));
    const std::string name = code + " " + ProjText(proj_get_name(crs.get()));
    std::optional<ZoneDefinition> zone = DescribeZone(context_->get(), crs.get(), code.substr(5));
    if (!zone) throw KorvexaError("PROJ cannot read the axes and area of use of " + name);
    if (!zone->lengthUnit) {
      std::string why = name;
      why += " does not measure its axes in a length unit (";
      why += zone->crs.unitName;
      why += ')';
      throw KorvexaError(why);
    }
    const char* wkt = proj_as_wkt(context_->get(), crs.get(), PJ_WKT1_ESRI, nullptr);
    if (wkt == nullptr) wkt = proj_as_wkt(context_->get(), crs.get(), PJ_WKT1_GDAL, nullptr);
    if (wkt == nullptr) throw KorvexaError("PROJ cannot write " + name + " as WKT: " + context_->LastError());
    chosen.reset(new ChosenGrid{std::move(zone->crs), wkt, std::move(projection)});
  }
  const GridCrs& crs = chosen->crs;
  if (!crs.area.Contains(township)) {
    throw KorvexaError(crs.code + " " + crs.name + " does not hold the township (" + township.Text() +
                       ") in its area of use (" + crs.areaName + ": " + crs.area.Text() + ")");
  }
  return *chosen;
}

}  // namespace korvexa
