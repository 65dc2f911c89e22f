#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace korvexa {
namespace {

constexpr int kSignificantDigits = 15;

// A finite, non-zero value as decimal digits and a power of ten:
// value = 0.d1 d2 d3 ... * 10^pointPosition, digits without trailing zeros.
struct DecimalDigits {
  bool negative = false;
  char digits[kSignificantDigits + 3];  // a shortest text has at most 17
  int count = 0;
  int pointPosition = 0;  // digits before the decimal point (may be <= 0)
};

// Splits to_chars' scientific text "-d.ddde-12" into digits and exponent.
DecimalDigits FromScientific(const char* text, const char* end) {
  DecimalDigits result;
  const char* p = text;
  if (*p == '-') {
    result.negative = true;
    ++p;
  }
  for (; *p != 'e'; ++p) {
    if (*p != '.') result.digits[result.count++] = *p;
  }
  const bool negativeExponent = p[1] == '-';
  int exponent = 0;
  for (p += 2; p != end; ++p) exponent = exponent * 10 + (*p - '0');
  result.pointPosition = (negativeExponent ? -exponent : exponent) + 1;
  while (result.count > 0 && result.digits[result.count - 1] == '0') --result.count;
  return result;
}

// Rounds the digit string at `decimals` places after the point, halves away
// from zero (the sign is kept apart, so rounding the magnitude up is "away").
void RoundDigits(DecimalDigits& d, int decimals) {
  const int keep = d.pointPosition + decimals;  // digits that stay
  if (keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    return;
  }
  const bool roundUp = d.digits[keep] >= '5';
  d.count = keep;
  if (roundUp) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') --i;
    if (i < 0) {
      // All nines (or nothing kept): the value becomes 1 followed by zeros.
      d.digits[0] = '1';
      d.count = 1;
      ++d.pointPosition;
      return;
    }
    ++d.digits[i];
    d.count = i + 1;
  }
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
}

// The exact value rounded to 15 significant digits, from the shortest text
// that reads back as `value` (at most 17 digits). Rounding that text at 15
// digits rounds the exact value the same way, as no 16-digit decimal can lie
// between the two (it would read back as `value` too, and be shorter or
// nearer), unless the text itself ends in a 5 at the 16th digit: only then
// does to_chars round the exact value, which is slower.
DecimalDigits FifteenDigits(double value) {
  char buffer[40];
  const auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  DecimalDigits d = FromScientific(buffer, shortest.ptr);
  if (d.count <= kSignificantDigits) return d;
  if (d.count > kSignificantDigits + 1 || d.digits[kSignificantDigits] != '5') {
    RoundDigits(d, kSignificantDigits - d.pointPosition);
    return d;
  }
  const auto rounded =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, kSignificantDigits - 1);
  return FromScientific(buffer, rounded.ptr);
}

void AppendDigits(std::string& out, const DecimalDigits& d) {
  if (d.count == 0) {
    out += '0';
    return;
  }
  if (d.negative) out += '-';
  if (d.pointPosition <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.pointPosition), '0');
    out.append(d.digits, static_cast<std::size_t>(d.count));
  } else if (d.count <= d.pointPosition) {
    out.append(d.digits, static_cast<std::size_t>(d.count));
    out.append(static_cast<std::size_t>(d.pointPosition - d.count), '0');
  } else {
    out.append(d.digits, static_cast<std::size_t>(d.pointPosition));
    out += '.';
    out.append(d.digits + d.pointPosition, static_cast<std::size_t>(d.count - d.pointPosition));
  }
}

// The power of ten of the first significant digit of `digits`, plus one:
// "123" -> 3, "0.05" -> -1. Only for digits that are not all zero.
long DecimalOrder(std::string_view digits) {
  const std::size_t point = std::min(digits.find('.'), digits.size());
  const std::size_t first = digits.find_first_not_of("0.");
  return first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point - 1);
}

constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Below this many units of the last place kept, the scaled magnitude and its
// text agree to far better than the margin below, so whole units need no text.
constexpr double kScaledLimit = 1e9;
// How near a half the scaled value may come before its text must decide:
// the product and the 15-digit rounding each move it by less than 1e-5 here.
constexpr double kNearHalf = 1e-3;

// RoundDecimal without the text, for the common magnitude that is not near a
// half at `decimals` places: the whole units of |value| * 10^decimals, each
// exact below 2^53, divided back (one correctly rounded division, as
// DecimalValue does). Nothing when the text must decide.
std::optional<double> RoundedWithoutText(double value, int decimals) {
  if (decimals < 0 || decimals > 15) return std::nullopt;
  const double scaled = std::fabs(value) * kPowers[decimals];
  if (!(scaled < kScaledLimit)) return std::nullopt;
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < kNearHalf) return std::nullopt;
  const double units = fraction > 0.5 ? whole + 1 : whole;
  if (units == 0) return 0.0;
  const double magnitude = units / kPowers[decimals];
  return value < 0 ? -magnitude : magnitude;
}

// The text of a value that a 7-decimal rounding gave (the coordinates every
// output writes): its whole ten-millionths, when they give the value back
// exactly, written with the point put in. Such a value below 10^8 has at most
// 15 digits, and no shorter text reads back as it. False for any other value.
bool AppendSevenDecimals(std::string& out, double value) {
  const double magnitude = std::fabs(value);
  if (!(magnitude < 1e8)) return false;
  const auto units = static_cast<long long>(std::llround(magnitude * 1e7));
  if (static_cast<double>(units) / 1e7 != magnitude) return false;
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, units).ptr;
  const std::size_t count = static_cast<std::size_t>(end - digits);
  if (value < 0) out += '-';
  if (count <= 7) {
    out += "0.";
    out.append(7 - count, '0');
    out.append(digits, count);
  } else {
    out.append(digits, count - 7);
    out += '.';
    out.append(digits + count - 7, 7);
  }
  while (out.back() == '0') out.pop_back();
  return true;
}

}  // namespace

double RoundDecimal(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  if (value == 0) return 0.0;
  if (const std::optional<double> rounded = RoundedWithoutText(value, decimals)) return *rounded;
  DecimalDigits d = FifteenDigits(value);
  RoundDigits(d, decimals);
  if (d.count == 0) return 0.0;
  const double magnitude =
      DecimalValue(std::string_view(d.digits, static_cast<std::size_t>(d.count)), d.pointPosition - d.count);
  return d.negative ? -magnitude : magnitude;
}

void AppendNumberText(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
  } else if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
  } else if (value == 0) {
    out += '0';
  } else if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    // A whole number of 15 digits or fewer is its own text (an elevation).
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr);
  } else if (!AppendSevenDecimals(out, value)) {
    AppendDigits(out, FifteenDigits(value));
  }
}

std::string NumberText(double value) {
  std::string text;
  AppendNumberText(text, value);
  return text;
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

double DecimalValue(std::string_view digits, long exponent10) {
  // Up to 15 significant digits and a power of ten up to 22 are both exact
  // doubles, and one multiplication or division of exact doubles is
  // correctly rounded: the common field needs no text.
  std::uint64_t mantissa = 0;
  int significant = 0;
  long exponent = exponent10;
  bool fraction = false;
  for (const char c : digits) {
    if (c == '.') {
      fraction = true;
      continue;
    }
    if (fraction) --exponent;
    if (significant > 0 || c != '0') ++significant;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (significant <= kSignificantDigits && exponent >= -22 && exponent <= 22) {
    const auto m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * kPowers[exponent] : m / kPowers[-exponent];
  }
  // "<digits>e<exponent>", on the stack for the short texts of every field.
  char small[64];
  std::string large;
  const std::size_t room = digits.size() + 24;
  char* const text = room <= sizeof small ? small : (large.resize(room), large.data());
  std::memcpy(text, digits.data(), digits.size());
  char* end = text + digits.size();
  *end++ = 'e';
  end = std::to_chars(end, text + room, exponent10).ptr;
  double value = 0;
  const auto [stop, error] = std::from_chars(text, end, value);
  if (error == std::errc::result_out_of_range) return DecimalOrder(digits) + exponent10 > 0 ? HUGE_VAL : 0.0;
  return error == std::errc() ? value : 0.0;
}

}  // namespace korvexa
