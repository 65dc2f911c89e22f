#include "core/usable_point.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/korvexa_error.h"
#include "core/number_text.h"

namespace korvexa {
namespace {

bool HasDigit(std::string_view field) {
  return field.find_first_of("0123456789") != std::string_view::npos;
}

// The median of one coordinate of `points`.
double Median(std::span<const LxPoint> points, double LxPoint::*coordinate) {
  std::vector<double> values;
  values.reserve(points.size());
  for (const LxPoint& point : points) values.push_back(point.*coordinate);
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

TownshipMiddle MiddleOf(std::span<const LxPoint> points) {
  return {Median(points, &LxPoint::Latitude), Median(points, &LxPoint::Longitude)};
}

std::optional<std::string> WhyFarFromMiddle(const LxPoint& point, const TownshipMiddle& middle) {
  if (std::fabs(point.Latitude - middle.latitude) <= kMaxDegreesFromMiddle &&
      std::fabs(point.Longitude - middle.westLongitude) <= kMaxDegreesFromMiddle) {
    return std::nullopt;
  }
  return "at " + NumberText(point.Latitude) + " N " + NumberText(point.Longitude) + " W lies more than " +
         NumberText(kMaxDegreesFromMiddle) + " degrees from the middle of the township (" +
         NumberText(middle.latitude) + " N " + NumberText(middle.westLongitude) + " W)";
}

std::optional<std::string> WhyCoordinatesUnusable(LxRecord record) {
  LxPoint point;
  return DecodeUsablePoint(record, point);
}

std::optional<std::string> DecodeUsablePoint(LxRecord record, LxPoint& point) {
  try {
    point = DecodeLxPoint(record);
  } catch (const KorvexaError&) {
    return kCoordinateOutOfRange;
  }
  const bool latitude = HasDigit(LxColumns(record, 9, 19));
  const bool longitude = HasDigit(LxColumns(record, 21, 32));
  if (!latitude && !longitude) return "no coordinates";
  if (!latitude) return "no latitude";
  if (!longitude) return "no longitude";
  if (point.Latitude == 0 && point.Longitude == 0) return "no coordinates";
  if (std::fabs(point.Latitude) > 90) return "latitude " + NumberText(point.Latitude) + " beyond 90 degrees";
  if (point.Longitude >= 360) return "longitude " + NumberText(point.Longitude) + " W beyond 360 degrees";
  return std::nullopt;
}

JudgedTownship JudgeTownship(std::size_t count, const std::function<LxRecord(std::size_t)>& recordAt) {
  JudgedTownship judged;
  judged.points.resize(count);
  judged.usable.resize(count);
  std::vector<LxPoint> usable;
  usable.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (std::optional<std::string> why = DecodeUsablePoint(recordAt(i), judged.points[i])) {
      judged.leftOut.emplace_back(i, std::move(*why));
      continue;
    }
    judged.usable[i] = true;
    usable.push_back(judged.points[i]);
  }
  if (usable.empty()) return judged;
  judged.middle = MiddleOf(usable);
  const std::size_t unusable = judged.leftOut.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (!judged.usable[i]) continue;
    if (std::optional<std::string> why = WhyFarFromMiddle(judged.points[i], *judged.middle)) {
      judged.usable[i] = false;
      judged.leftOut.emplace_back(i, std::move(*why));
    }
  }
  std::inplace_merge(judged.leftOut.begin(), judged.leftOut.begin() + static_cast<std::ptrdiff_t>(unusable),
                     judged.leftOut.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return judged;
}

const std::string& JudgedTownship::WhyLeftOut(std::size_t index) const {
  const auto found = std::lower_bound(leftOut.begin(), leftOut.end(), index,
                                      [](const auto& entry, std::size_t wanted) { return entry.first < wanted; });
  return found->second;
}

std::optional<std::string> WhyElevationUnusable(double metres) {
  if (metres < kLowestElevationMetres || metres > kHighestElevationMetres) {
    return "elevation " + NumberText(metres) + " m beyond any place on Earth";
  }
  return std::nullopt;
}

std::string RecordName(LxRecord record) {
  if (record.empty()) return "an empty line";
  const std::string id = TrimmedPointId(record);
  return id.empty() ? "a point without PointID" : id;
}

}  // namespace korvexa
