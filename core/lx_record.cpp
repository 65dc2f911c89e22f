#include "core/lx_record.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/number_text.h"

namespace korvexa {
namespace {

constexpr int kCoordinateDecimals = 7;

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
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
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

constexpr int kExactDigits = 15;  // a mantissa of this many digits is exact in a double

// The number LxVal reads, as decimal parts. The digits (integer and
// fraction, leading zeros dropped) are kept as an integer while there are at
// most 15 of them, the common case, and as text beyond.
struct LenientNumber {
  bool negative = false;
  int significantDigits = 0;
  std::uint64_t mantissa = 0;  // the digits, while there are at most 15
  std::string longDigits;      // all the digits, once there are more
  int fractionDigits = 0;      // how many digits (dropped zeros included) follow the point
  long exponent = 0;
  bool any = false;  // at least one digit before the exponent

  void AddDigit(char digit) {
    if (significantDigits == 0 && digit == '0') return;
    ++significantDigits;
    if (significantDigits <= kExactDigits) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit - '0');
      return;
    }
    if (longDigits.empty()) longDigits = std::to_string(mantissa);
    longDigits += digit;
  }
};

void TakeDigits(LenientCursor& cursor, LenientNumber& number, bool fraction) {
  while (IsDigit(cursor.Peek())) {
    number.AddDigit(cursor.Peek());
    if (fraction) ++number.fractionDigits;
    number.any = true;
    cursor.Next();
  }
}

// The exponent, if a complete one follows: mark, optional sign, digits.
void TakeExponent(LenientCursor cursor, LenientNumber& number) {
  if (!IsExponentMark(cursor.Peek())) return;
  cursor.Next();
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Next();
  }
  constexpr long kBeyondAnyDouble = 100000;  // keeps the sum below from overflowing
  long exponent = 0;
  bool any = false;
  for (; IsDigit(cursor.Peek()); cursor.Next()) {
    exponent = std::min(exponent * 10 + (cursor.Peek() - '0'), kBeyondAnyDouble);
    any = true;
  }
  if (any) number.exponent = negative ? -exponent : exponent;
}

double ToDouble(const LenientNumber& number) {
  const long exponent = number.exponent - number.fractionDigits;
  const double value = number.significantDigits <= kExactDigits
                           ? ScaledDecimal(number.mantissa, static_cast<int>(exponent))
                           : DecimalToDouble(number.longDigits, exponent);
  return number.negative ? -value : value;
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

// LxVal of the common field: blanks, an optional sign, at most 15 digits
// with an optional full stop, blanks to the end. Returns false for anything
// else, which the general reading then decides.
bool ReadPlainNumber(std::string_view text, double& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && *p == ' ') ++p;
  bool negative = false;
  if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  std::uint64_t mantissa = 0;
  auto digits = [&] {
    const char* const first = p;
    for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    return static_cast<int>(p - first);
  };
  const int wholeDigits = digits();
  int fractionDigits = 0;
  if (p != end && *p == '.') {
    ++p;
    fractionDigits = digits();
  }
  while (p != end && *p == ' ') ++p;
  // Leading zeros count here, so a long zero-padded field goes the general way.
  if (p != end || wholeDigits + fractionDigits > kExactDigits) return false;
  if (wholeDigits + fractionDigits == 0) {
    value = 0.0;
    return true;
  }
  const double magnitude = ScaledDecimal(mantissa, -fractionDigits);
  value = negative ? -magnitude : magnitude;
  return true;
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
  if (double value = 0; ReadPlainNumber(text, value)) return value;
  LenientCursor cursor(text);
  LenientNumber number;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    number.negative = cursor.Peek() == '-';
    cursor.Next();
  }
  TakeDigits(cursor, number, false);
  if (cursor.Peek() == '.') {
    cursor.Next();
    TakeDigits(cursor, number, true);
  }
  if (!number.any) return 0.0;
  TakeExponent(cursor, number);
  return ToDouble(number);
}

LxCoordinates ReadLxCoordinates(LxRecord record) {
  LxCoordinates coordinates;
  coordinates.latitude = RoundDecimal(Degrees(record, 9, 10), kCoordinateDecimals);
  coordinates.eastLongitude = RoundDecimal(EastLongitude(Degrees(record, 21, 23)), kCoordinateDecimals);
  RequireFinite(coordinates.latitude, record, "latitude");
  RequireFinite(coordinates.eastLongitude, record, "longitude");
  return coordinates;
}

LxPoint DecodeLxPoint(LxRecord record, const CoordinateTransform* transform) {
  return ToLxPoint(record, ReadLxCoordinates(record), transform);
}

LxPoint ToLxPoint(LxRecord record, LxCoordinates coordinates, const CoordinateTransform* transform) {
  double latitude = coordinates.latitude;
  double longitude = coordinates.eastLongitude;
  if (transform != nullptr) {
    try {
      transform->TransformPoint(longitude, latitude);
    } catch (const KorvexaError& error) {
      throw KorvexaError("point " + TrimmedPointId(record) + " " + error.what());
    }
  }
  LxPoint point;
  if (transform == nullptr) {
    // Rounding again would change nothing: RoundDecimal is idempotent and
    // symmetric about 0.
    point.Latitude = latitude;
    point.Longitude = std::fabs(longitude);
    return point;
  }
  point.Latitude = RoundDecimal(latitude, kCoordinateDecimals);
  // The magnitude is the west longitude, whichever sign the library returned.
  point.Longitude = RoundDecimal(std::fabs(longitude), kCoordinateDecimals);
  return point;
}

double DecodeElevation(LxRecord record, int firstColumn) {
  const double feet = LxVal(LxColumns(record, firstColumn, kElevationLastColumn));
  const double metres = RoundDecimal(feet * 12 / 39.37, 0);
  RequireFinite(metres, record, "elevation");
  return metres;
}

}  // namespace korvexa
