#include "core/lx_record.h"

#include <algorithm>
#include <cmath>
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

// The characters of `text` that LxVal looks at, in order.
class LenientCursor {
 public:
  explicit LenientCursor(std::string_view text) : text_(text) { Skip(); }
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  void Next() {
    ++pos_;
    Skip();
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && IsIgnoredByLxVal(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Appends the digits at the cursor to `number`; true when there was one.
bool TakeDigits(LenientCursor& cursor, std::string& number) {
  bool any = false;
  for (; IsDigit(cursor.Peek()); cursor.Next()) {
    number += cursor.Peek();
    any = true;
  }
  return any;
}

// The exponent, if a complete one follows (mark, optional sign, digits);
// else 0. Clamped far beyond any double, so that it cannot overflow.
long TakeExponent(LenientCursor cursor) {
  if (!IsExponentMark(cursor.Peek())) return 0;
  cursor.Next();
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Next();
  }
  constexpr long kBeyondAnyDouble = 100000;
  long exponent = 0;
  for (; IsDigit(cursor.Peek()); cursor.Next())
    exponent = std::min(exponent * 10 + (cursor.Peek() - '0'), kBeyondAnyDouble);
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
  LenientCursor cursor(text);
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Next();
  }
  std::string digits;
  bool any = TakeDigits(cursor, digits);
  if (cursor.Peek() == '.') {
    digits += '.';
    cursor.Next();
    any = TakeDigits(cursor, digits) || any;
  }
  if (!any) return 0.0;
  const double magnitude = DecimalValue(digits, TakeExponent(cursor));
  return negative ? -magnitude : magnitude;
}

LxPoint DecodeLxPoint(LxRecord record, const CoordinateTransform* transform) {
  LxPoint point;
  point.Latitude = RoundDecimal(Degrees(record, 9, 10), kCoordinateDecimals);
  // The west longitude's magnitude: RoundDecimal is symmetric about 0.
  point.Longitude = std::fabs(RoundDecimal(Degrees(record, 21, 23), kCoordinateDecimals));
  RequireFinite(point.Latitude, record, "latitude");
  RequireFinite(point.Longitude, record, "longitude");
  if (transform == nullptr) return point;
  try {
    double longitude = EastLongitude(point.Longitude);
    double latitude = point.Latitude;
    transform->TransformPoint(longitude, latitude);
    return ShiftedLxPoint(point, longitude, latitude);
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
