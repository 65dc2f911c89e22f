#include "core/lx_record.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/number_text.h"

namespace korvexa {
namespace {

constexpr int kCoordinateDecimals = 7;
constexpr double kLargestShiftDegrees = 0.01;  // NADCON shifts stay below 0.004 degree

bool IsIgnoredByLxVal(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsExponentMark(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// The digits at `p` (up to `end`); moves `p` past them.
std::string_view TakeDigits(const char*& p, const char* end) {
  const char* const first = p;
  while (p != end && IsDigit(*p)) ++p;
  return {first, static_cast<std::size_t>(p - first)};
}

// The exponent at `p`, if a complete one stands there (mark, optional sign,
// digits); else 0. Clamped far beyond any double, so that it cannot overflow.
long TakeExponent(const char* p, const char* end) {
  if (p == end || !IsExponentMark(*p)) return 0;
  ++p;
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  constexpr long kBeyondAnyDouble = 100000;
  long exponent = 0;
  for (const char digit : TakeDigits(p, end)) exponent = std::min(exponent * 10 + (digit - '0'), kBeyondAnyDouble);
  return negative ? -exponent : exponent;
}

double Degrees(LxRecord record, int degreesFirst, int degreesLast) {
  const double d = LxVal(LxColumns(record, degreesFirst, degreesLast));
  const double m = LxVal(LxColumns(record, degreesLast + 1, degreesLast + 2));
  const double s = LxVal(LxColumns(record, degreesLast + 3, degreesLast + 9));
  return d + m / 60 + s / 3600;
}

void RequireFinite(double value, LxRecord record, const char* what) {
  if (!std::isfinite(value)) {
    throw KorvexaError("point " + TrimmedPointId(record) + ": the " + what + " field is out of range");
  }
}

// `moved` (or its negative: the sign a library returns is not relied on) on
// the turn of `longitude`, when it lies within a NADCON shift of it.
std::optional<double> OnTheSameTurn(double longitude, double moved) {
  for (const double candidate : {moved, -moved}) {
    const double near = NearestTurn(candidate, longitude);
    if (std::fabs(near - longitude) <= kLargestShiftDegrees) return near;
  }
  return std::nullopt;
}

}  // namespace

std::string_view LxColumns(LxRecord record, int first, int last) {
  const auto start = static_cast<std::size_t>(first - 1);
  if (start >= record.size() || last < first) return {};
  return record.substr(start, static_cast<std::size_t>(last - first + 1));
}

std::string_view PointIdOf(LxRecord record) {
  return LxColumns(record, 2, 7);
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string TrimmedPointId(LxRecord record) {
  return std::string(TrimBlanks(PointIdOf(record)));
}

std::string_view ReliabilityOf(LxRecord record) {
  return LxColumns(record, 42, 50);
}

double LxVal(std::string_view text) {
  // Blanks, tabs and line feeds count as if they were not there. A field has
  // them in front, if anywhere, and is then read where it stands.
  while (!text.empty() && IsIgnoredByLxVal(text.front())) text.remove_prefix(1);
  std::string kept;
  if (std::any_of(text.begin(), text.end(), IsIgnoredByLxVal)) {
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), [](char c) { return !IsIgnoredByLxVal(c); });
    text = kept;
  }
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  const char* const first = p;
  bool any = !TakeDigits(p, end).empty();
  if (p != end && *p == '.') {
    ++p;
    any = !TakeDigits(p, end).empty() || any;
  }
  if (!any) return 0.0;
  const double magnitude =
      DecimalValue(std::string_view(first, static_cast<std::size_t>(p - first)), TakeExponent(p, end));
  return negative ? -magnitude : magnitude;
}

LxPoint DecodeLxPoint(LxRecord record, const CoordinateTransform* transform) {
  LxPoint point;
  point.Latitude = RoundDecimal(Degrees(record, 9, 10), kCoordinateDecimals);
  // The west longitude's magnitude: RoundDecimal is symmetric about 0.
  point.Longitude = std::fabs(RoundDecimal(Degrees(record, 21, 23), kCoordinateDecimals));
  RequireFinite(point.Latitude, record, "latitude");
  RequireFinite(point.Longitude, record, "longitude");
  return transform == nullptr ? point : MovedLxPoint(record, point, *transform);
}

LxPoint MovedLxPoint(LxRecord record, const LxPoint& nad27, const CoordinateTransform& transform) {
  try {
    double longitude = EastLongitude(nad27.Longitude);
    double latitude = nad27.Latitude;
    transform.TransformPoint(longitude, latitude);
    return ShiftedLxPoint(nad27, longitude, latitude);
  } catch (const KorvexaError& error) {
    throw KorvexaError("point " + TrimmedPointId(record) + " " + error.what());
  }
}

LxPoint ShiftedLxPoint(const LxPoint& nad27, double longitude, double latitude) {
  const double given = EastLongitude(nad27.Longitude);
  const std::optional<double> sameTurn = std::isfinite(longitude) ? OnTheSameTurn(given, longitude) : std::nullopt;
  const char* problem = nullptr;
  if (!std::isfinite(longitude) || !std::isfinite(latitude) || std::fabs(latitude) > 90) {
    problem = "the transformation library returned no valid coordinates";
  } else if (std::fabs(latitude - nad27.Latitude) > kLargestShiftDegrees || !sameTurn) {
    problem = "the transformation library moved it by more than 0.01 degree, which no NADCON shift does";
  }
  if (problem != nullptr) {
    throw KorvexaError("at " + PositionText(given, nad27.Latitude) +
                       " cannot be moved from NAD27 to NAD83: " + problem);
  }
  LxPoint point;
  point.Latitude = RoundDecimal(latitude, kCoordinateDecimals);
  point.Longitude = RoundDecimal(std::fabs(*sameTurn), kCoordinateDecimals);
  return point;
}

double DecodeElevation(LxRecord record, int firstColumn) {
  const double feet = LxVal(LxColumns(record, firstColumn, kElevationLastColumn));
  const double metres = RoundDecimal(feet * 12 / 39.37, 0);
  RequireFinite(metres, record, "elevation");
  return metres;
}

}  // namespace korvexa
