#include "transform/grid_zones.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

namespace korvexa {
namespace {

constexpr std::string_view kMetre = "9001", kFoot = "9002", kUsSurveyFoot = "9003";

// The states whose law defines State Plane coordinates in international
// feet; the others use US survey feet (or metres).
constexpr std::string_view kInternationalFootStates[] = {"Arizona",      "Michigan", "Montana",
                                                         "North Dakota", "Oregon",   "South Carolina"};

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The zone a definition belongs to, whatever its unit: the projection's name
// without its unit ("SPCS83 Montana zone"); the BLM's zones are UTM's.
std::string ZoneKey(const ZoneDefinition& zone) {
  std::string key = zone.conversionName;
  if (key.ends_with(')')) {
    const std::size_t open = key.rfind(" (");
    if (open != std::string::npos) key.erase(open);
  }
  if (key.starts_with("BLM zone")) key.replace(0, 3, "UTM");
  return key;
}

bool UsesInternationalFeet(const std::string& key) {
  return std::any_of(std::begin(kInternationalFootStates), std::end(kInternationalFootStates),
                     [&](std::string_view state) { return Contains(key, state); });
}

// 0 for the unit to offer first within a zone, larger for the later ones.
int UnitRank(const ZoneDefinition& zone, const std::string& key) {
  if (zone.crs.utm) return zone.unitCode == kMetre ? 0 : 1;
  const std::string_view lawful = UsesInternationalFeet(key) ? kFoot : kUsSurveyFoot;
  if (zone.unitCode == lawful) return 0;
  return zone.unitCode == kMetre ? 1 : 2;
}

}  // namespace

ZoneKind ZoneKindOf(std::string_view name) {
  if (name.starts_with("UTM zone ") || name.starts_with("BLM zone ")) return ZoneKind::Utm;
  if (name.starts_with("SPCS83 ") || Contains(name, "CS27") ||
      ((Contains(name, "Coordinate System") || Contains(name, "State Plane")) && Contains(name, "zone"))) {
    return ZoneKind::StatePlane;
  }
  return ZoneKind::Other;
}

bool IsOnDatumByName(std::string_view crsName, Datum datum) {
  return crsName.starts_with(datum == Datum::Nad83 ? "NAD83 / " : "NAD27 / ");
}

std::vector<GridCrs> RankZones(std::vector<ZoneDefinition> zones,
                               const std::function<int(const ZoneDefinition&)>& tier) {
  struct Ranked {
    int tier;
    double zoneArea;  // the smallest area among the zone's definitions
    std::string key;
    int unitRank;
    ZoneDefinition* zone;
  };
  std::map<std::string, double> zoneArea;
  for (const ZoneDefinition& zone : zones) {
    const std::string key = ZoneKey(zone);
    const auto [place, added] = zoneArea.try_emplace(key, zone.crs.area.Area());
    if (!added) place->second = std::min(place->second, zone.crs.area.Area());
  }
  std::vector<Ranked> ranked;
  for (ZoneDefinition& zone : zones) {
    const std::string key = ZoneKey(zone);
    ranked.push_back({tier ? tier(zone) : 0, zoneArea[key], key, UnitRank(zone, key), &zone});
  }
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    return std::tie(a.tier, a.zoneArea, a.key, a.unitRank, a.zone->crs.code) <
           std::tie(b.tier, b.zoneArea, b.key, b.unitRank, b.zone->crs.code);
  });
  std::vector<GridCrs> result;
  for (const Ranked& entry : ranked) result.push_back(std::move(entry.zone->crs));
  return result;
}

}  // namespace korvexa
