#include "transform/county_zones.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <memory>
#include <mutex>

#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "transform/proj_handles.h"

namespace korvexa {
namespace {

constexpr std::string_view kUsaPrefix = "United States (USA) - ";
constexpr std::string_view kDegree = "\xC2\xB0";  // the degree sign in UTF-8, as PROJ gives it
constexpr double kAleutianNorth = 54.5;           // EPSG: zones 8 and 9 lie "north of 54°30'N"
constexpr double kAleutianEast = -164;            // zone 8 begins at 164°W

std::filesystem::path& CountyFile() {
  static std::filesystem::path file;
  return file;
}

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" .:,");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" .:,") - first + 1);
}

// The angle that `text` starts with, "47°30'N" or "141°W", in degrees,
// negative west and south; nothing when it does not start with one.
std::optional<double> Angle(std::string_view text) {
  double degrees = 0, minutes = 0;
  const char* end = text.data() + text.size();
  auto [at, ec] = std::from_chars(text.data(), end, degrees);
  if (ec != std::errc()) return std::nullopt;
  std::string_view rest(at, static_cast<std::size_t>(end - at));
  if (!rest.starts_with(kDegree)) return std::nullopt;
  rest.remove_prefix(kDegree.size());
  if (!rest.empty() && std::isdigit(static_cast<unsigned char>(rest.front()))) {
    const auto [next, minuteError] = std::from_chars(rest.data(), end, minutes);
    if (minuteError != std::errc()) return std::nullopt;
    rest = std::string_view(next, static_cast<std::size_t>(end - next));
    if (rest.starts_with("'")) rest.remove_prefix(1);
  }
  if (rest.empty()) return std::nullopt;
  const double angle = degrees + minutes / 60;
  return rest.front() == 'W' || rest.front() == 'S' ? -angle : angle;
}

// The angle after the first `words` in `text` ("north of approximately ").
std::optional<double> AngleAfter(std::string_view text, std::string_view words) {
  const std::size_t at = text.find(words);
  if (at == std::string_view::npos) return std::nullopt;
  text.remove_prefix(at + words.size());
  if (text.starts_with("approximately ")) text.remove_prefix(14);
  return Angle(text);
}

// The zone a CRS belongs to, whatever its unit: its name without "(ftUS)".
std::string ZoneName(const GridCrs& crs) {
  return crs.name.substr(0, crs.name.find(" ("));
}

double Middle(double west, double east) {
  if (east < west) east += 360;
  return WrapEast((west + east) / 2);
}

// The projected CRSs of PROJ's database on `datum` whose areas of use lie
// in the United States, by zone name (without the unit) and in the order of
// the database: every State Plane zone, whether or not its area holds a
// township (the neighbour across a zone line is named too). Read once.
struct Areas {
  std::vector<std::pair<std::string, ZoneArea>> zones;

  Areas(Datum datum, const std::vector<std::string>& states) {
    const ContextHandle context(proj_context_create());
    if (!context) throw KorvexaError("PROJ cannot create a context to read the State Plane zones' counties");
    proj_context_set_enable_network(context.get(), 0);
    proj_log_level(context.get(), PJ_LOG_NONE);
    PROJ_CRS_LIST_PARAMETERS* parameters = proj_get_crs_list_parameters_create();
    const PJ_TYPE types[] = {PJ_TYPE_PROJECTED_CRS};
    parameters->types = types;
    parameters->typesCount = 1;
    int count = 0;
    PROJ_CRS_INFO** list = proj_get_crs_info_list_from_database(context.get(), "EPSG", parameters, &count);
    proj_get_crs_list_parameters_destroy(parameters);
    if (list == nullptr) throw KorvexaError("PROJ's database cannot list the State Plane zones");
    for (int i = 0; i < count; ++i) {
      const PROJ_CRS_INFO& info = *list[i];
      if (info.deprecated || info.area_name == nullptr || !IsOnDatumByName(info.name, datum) ||
          !std::string_view(info.area_name).starts_with(kUsaPrefix)) {
        continue;
      }
      GridCrs crs;
      crs.name = info.name;
      const std::string name = ZoneName(crs);
      const bool known = std::any_of(zones.begin(), zones.end(), [&](const auto& zone) { return zone.first == name; });
      if (!known) zones.emplace_back(name, ZoneArea(info.area_name, states));
    }
    proj_crs_info_list_destroy(list);
  }

  std::vector<std::string> Holding(const County& county, double eastLongitude, double latitude) const {
    std::vector<std::string> names;
    for (const auto& [name, area] : zones) {
      if (area.Holds(county, eastLongitude, latitude)) names.push_back(name);
    }
    return names;
  }

  bool ListCountiesOf(const std::string& state) const {
    return std::any_of(zones.begin(), zones.end(),
                       [&](const auto& zone) { return zone.second.ListsCountiesOf(state); });
  }
};

// The zones of `county`, which no area names: those most of its neighbours
// in its state lie in.
std::vector<std::string> ZonesOfNeighbours(const Areas& areas, const County& county, const CountyMap& counties,
                                           double eastLongitude, double latitude) {
  std::map<std::string, int> votes;
  for (const County* neighbour : counties.Neighbours(county)) {
    if (neighbour->state != county.state) continue;
    for (const std::string& zone : areas.Holding(*neighbour, eastLongitude, latitude)) ++votes[zone];
  }
  int most = 0;
  for (const auto& [zone, count] : votes) most = std::max(most, count);
  std::vector<std::string> zones;
  for (const auto& [name, area] : areas.zones) {
    if (most > 0 && votes[name] == most) zones.push_back(name);
  }
  return zones;
}

struct TownshipCounties {
  const County* middle = nullptr;  // the county at the township's middle
  std::vector<CountyZone> zones;   // see CountyZonesOf
};

// The areas of `datum`'s zones, read once per datum and county map.
const Areas& AreasOf(Datum datum, const CountyMap& counties) {
  static std::mutex mutex;
  static std::map<std::pair<Datum, const CountyMap*>, std::unique_ptr<Areas>> areas;
  const std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<Areas>& entry = areas[{datum, &counties}];
  if (!entry) entry = std::make_unique<Areas>(datum, counties.States());
  return *entry;
}

// The county zones of `township` (see CountyZonesOf).
TownshipCounties ZonesOf(Datum datum, const GeoBox& township, const CountyMap& counties) {
  const double longitude = Middle(township.west, township.east);
  const double latitude = (township.south + township.north) / 2;
  TownshipCounties found;
  const County* middle = found.middle = counties.CountyAt(longitude, latitude);
  if (middle == nullptr) return found;
  const Areas& areas = AreasOf(datum, counties);
  std::vector<std::string> first = areas.Holding(*middle, longitude, latitude);
  if (first.empty() && !areas.ListCountiesOf(middle->state)) return found;
  if (first.empty()) first = ZonesOfNeighbours(areas, *middle, counties, longitude, latitude);
  std::vector<CountyZone>& result = found.zones;
  for (const std::string& zone : first) result.push_back({zone, *middle, true});
  const std::pair<double, double> corners[] = {{township.west, township.south},
                                               {township.west, township.north},
                                               {township.east, township.south},
                                               {township.east, township.north}};
  for (const County* county : counties.CountiesMeeting(township)) {
    for (const auto& [cornerLongitude, cornerLatitude] : corners) {
      for (const std::string& zone : areas.Holding(*county, cornerLongitude, cornerLatitude)) {
        const bool known =
            std::any_of(result.begin(), result.end(), [&](const CountyZone& entry) { return entry.zone == zone; });
        if (!known) result.push_back({zone, *county, false});
      }
    }
  }
  return found;
}

}  // namespace

void UseCountyBoundaries(const std::filesystem::path& file) {
  CountyFile() = file;
}

const CountyMap& CountyBoundaries() {
  static std::mutex mutex;
  static std::map<std::filesystem::path, std::unique_ptr<CountyMap>> maps;  // by file, read once each
  const std::lock_guard<std::mutex> lock(mutex);
  const std::filesystem::path file = CountyFile();
  if (file.empty()) throw KorvexaError("no county boundaries were named to find the State Plane zone");
  std::unique_ptr<CountyMap>& map = maps[file];
  if (!map) map = std::make_unique<CountyMap>(file);
  return *map;
}

std::string CountyKey(std::string_view name) {
  std::string key;
  for (const char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (key.starts_with("saint")) key.replace(0, 5, "st");
  // Renamed since EPSG listed them (2015, 1997), and EPSG's misspelling.
  if (key == "oglalalakota") return "shannon";
  if (key == "miamidade") return "dade";
  if (key == "mountrial") return "mountrail";
  return key;
}

ZoneArea::ZoneArea(std::string_view description, const std::vector<std::string>& states) {
  if (!description.starts_with(kUsaPrefix)) return;
  description.remove_prefix(kUsaPrefix.size());
  for (const std::string& state : states) {
    if (description.starts_with(state) && state.size() > state_.size()) state_ = state;
  }
  if (state_.empty()) return;
  description.remove_prefix(state_.size());
  std::size_t list = description.find("counties");
  std::string_view head = description.substr(0, list);
  if (list == std::string_view::npos && description.ends_with(" county.")) {  // "Los Angeles county."
    head = {};
    list = description.find_first_not_of(" -");
    description = description.substr(0, description.size() - 8);
  } else if (list != std::string_view::npos) {
    list += 8;
    if (description.substr(list).starts_with(" of")) list += 3;
  }
  if (list == std::string_view::npos) {  // Alaska's bands; where counties are listed, "approximately" only describes
    northOf_ = AngleAfter(head, "north of ");
    southOf_ = AngleAfter(head, "south of ");
    eastOf_ = AngleAfter(head, "east of ");
    westOf_ = AngleAfter(head, "west of ");
    if (const std::optional<double> from = AngleAfter(head, "between ")) {
      const std::optional<double> to = AngleAfter(head.substr(head.find("between ")), " and ");
      if (to) {
        eastOf_ = std::min(*from, *to);
        westOf_ = std::max(*from, *to);
      }
    }
    aleutians_ = head.find("Aleutian Islands") != std::string_view::npos;
    return;
  }
  std::string_view rest = description.substr(list);
  while (!rest.empty()) {
    const std::size_t end = rest.find(';');
    const std::string_view item = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (item.empty()) continue;
    const std::size_t condition = std::min(item.find(" north of "), item.find(" south of "));
    counties_.push_back(
        {CountyKey(item.substr(0, condition)), AngleAfter(item, "north of "), AngleAfter(item, "south of ")});
  }
}

bool ZoneArea::Holds(const County& county, double eastLongitude, double latitude) const {
  if (state_.empty() || county.state != state_) return false;
  if ((northOf_ && latitude < *northOf_) || (southOf_ && latitude > *southOf_)) return false;
  if (!counties_.empty()) {
    const std::string key = CountyKey(county.name);
    return std::any_of(counties_.begin(), counties_.end(), [&](const Listed& listed) {
      return listed.key == key && !(listed.northOf && latitude < *listed.northOf) &&
             !(listed.southOf && latitude > *listed.southOf);
    });
  }
  const double longitude = WrapEast(eastLongitude);
  const bool pastTheTurn = longitude > 0;  // the Aleutians west of 180 degrees
  if (aleutians_) return latitude < kAleutianNorth && (longitude < kAleutianEast || pastTheTurn);
  if (!eastOf_ && !westOf_) return false;
  if (eastOf_ && (pastTheTurn || longitude < *eastOf_)) return false;
  return !westOf_ || pastTheTurn || longitude <= *westOf_;
}

bool ZoneArea::ListsCountiesOf(std::string_view state) const {
  return state_ == state && !counties_.empty();
}

std::vector<CountyZone> CountyZonesOf(Datum datum, const GeoBox& township, const CountyMap& counties) {
  return ZonesOf(datum, township, counties).zones;
}

std::vector<GridCrs> RankZonesByCounty(std::vector<ZoneDefinition> zones, Datum datum, const GeoBox& township,
                                       const CountyMap& counties) {
  const TownshipCounties found = ZonesOf(datum, township, counties);
  if (found.middle == nullptr) return RankZones(std::move(zones));
  const std::string& state = found.middle->state;
  return RankZones(std::move(zones), [&](const ZoneDefinition& zone) {
    const std::string name = ZoneName(zone.crs);
    for (const CountyZone& entry : found.zones) {
      if (entry.zone == name) return entry.middle ? 0 : 1;
    }
    if (zone.crs.utm) return 3;
    // Another state's zone only after UTM: never the guess for a county it does not hold.
    return ZoneArea(zone.crs.areaName, counties.States()).State() == state ? 2 : 4;
  });
}

}  // namespace korvexa
