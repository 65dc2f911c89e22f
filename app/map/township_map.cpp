#include "app/map/township_map.h"

#include <exception>
#include <unordered_map>
#include <utility>

#include "app/convert/township_drawing.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "core/usable_point.h"

namespace korvexa {
namespace {

void CountNotShown(TownshipMap& map, const PointList& list) {
  std::vector<bool> shown(list.size(), false);
  for (std::size_t entry : map.entryOf) {
    if (entry != kNoListEntry) shown[entry] = true;
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (shown[i]) continue;
    if (WhyCoordinatesUnusable(list[i].line)) {
      ++map.withoutCoordinates;
    } else {
      ++map.farOff;
    }
  }
}

}  // namespace

TownshipMap BuildTownshipMap(std::string_view text, const std::string& fileName, const PointList& list) {
  TownshipMap map;
  std::vector<std::string_view> keys;
  try {
    UtmProjections projections;
    map.township = ProjectTownship(text, fileName, projections, &keys).township;
  } catch (const std::exception& error) {
    map.problem = error.what();
  }
  std::unordered_map<std::string_view, std::size_t> entryOfKey;
  entryOfKey.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) entryOfKey.emplace(DuplicateKey(list[i].line), i);
  std::vector<PlanePoint> positions;
  positions.reserve(map.township.points.size());
  map.entryOf.reserve(map.township.points.size());
  for (std::size_t i = 0; i < map.township.points.size(); ++i) {
    const auto found = entryOfKey.find(keys[i]);
    map.entryOf.push_back(found == entryOfKey.end() ? kNoListEntry : found->second);
    positions.push_back({map.township.points[i].x, map.township.points[i].y});
  }
  map.grid = PointGrid(std::move(positions));
  map.lines = MapLines(map.township);
  std::vector<TownshipSegment>().swap(map.township.segments);  // the lines hold them now
  map.spacing = map.grid.TypicalSpacing();
  CountNotShown(map, list);
  return map;
}

CornerFacts DescribeCorner(const TownshipMap& map, const PointList& list, std::size_t corner,
                           const CoordinateTransform* nad83) {
  const TownshipPoint& point = map.township.points[corner];
  CornerFacts facts{point.id, "NAD27", point.north, point.east, {}, std::nullopt, {}};
  const std::optional<std::size_t> entry = ListEntryOf(map, list, corner);
  if (!entry) return facts;
  const LxRecord record = list[*entry].line;
  if (nad83 != nullptr) {
    try {
      const LxPoint moved = DecodeLxPoint(record, nad83);
      facts.datum = "NAD83";
      facts.latitude = moved.Latitude;
      facts.longitude = EastLongitude(moved.Longitude);
    } catch (const std::exception&) {
      // A corner the shift cannot move keeps its NAD27 position, named so.
    }
  }
  facts.elevationFeet = TrimBlanks(LxColumns(record, kGpxElevationColumn, kElevationLastColumn));
  facts.reliability = TrimBlanks(ReliabilityOf(record));
  try {
    facts.elevationMetres = DecodeElevation(record, kGpxElevationColumn);
  } catch (const std::exception&) {
    // An elevation no decoder accepts is shown as written only.
  }
  return facts;
}

}  // namespace korvexa
