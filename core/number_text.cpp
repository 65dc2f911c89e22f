#include "core/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace korvexa {
namespace {

constexpr int kSignificantDigits = 15;
constexpr int kShortestDigits = 17;  // the most a double's shortest text needs

// A finite, non-zero value as decimal digits and a power of ten:
// value = 0.d1 d2 d3 ... * 10^pointPosition, digits without trailing zeros.
struct DecimalDigits {
  bool negative = false;
  char digits[kShortestDigits + 1];  // room for a carry digit
  int count = 0;
  int pointPosition = 0;  // digits before the decimal point (may be <= 0)
};

// The exponent of to_chars' scientific form, from its 'e' to `end`.
int ExponentAfter(const char* e, const char* end) {
  const bool negative = e[1] == '-';
  int exponent = 0;
  for (const char* p = e + 2; p != end; ++p) exponent = exponent * 10 + (*p - '0');
  return negative ? -exponent : exponent;
}

// Splits to_chars' scientific text "-d.ddde-12" into digits and exponent.
DecimalDigits FromScientific(const char* text, const char* end) {
  DecimalDigits result;
  const char* p = text;
  if (*p == '-') {
    result.negative = true;
    ++p;
  }
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') result.digits[result.count++] = *p;
  }
  result.pointPosition = ExponentAfter(p, end) + 1;
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
  if (!roundUp) {
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    return;
  }
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

// The value rounded to 15 significant digits.
//
// The shortest text that reads back as `value` (at most 17 digits) is quick
// to get, and rounding it to 15 digits gives the rounding of the exact value
// except at a tie: no decimal of 16 digits or fewer can lie between the two,
// since the shortest text would then be that decimal. Only when the shortest
// text ends in a 5 at the 16th digit is the exact value consulted.
DecimalDigits ToDecimalDigits(double value) {
  std::array<char, 40> buffer;
  auto shortest = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific);
  DecimalDigits d = FromScientific(buffer.data(), shortest.ptr);
  if (d.count <= kSignificantDigits) return d;
  const bool tie = d.count == kSignificantDigits + 1 && d.digits[kSignificantDigits] == '5';
  if (!tie) {
    RoundDigits(d, kSignificantDigits - d.pointPosition);
    return d;
  }
  auto exact = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific,
                             kSignificantDigits - 1);
  return FromScientific(buffer.data(), exact.ptr);
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
    return;
  }
  if (d.count <= d.pointPosition) {
    out.append(d.digits, static_cast<std::size_t>(d.count));
    out.append(static_cast<std::size_t>(d.pointPosition - d.count), '0');
    return;
  }
  out.append(d.digits, static_cast<std::size_t>(d.pointPosition));
  out += '.';
  out.append(d.digits + d.pointPosition, static_cast<std::size_t>(d.count - d.pointPosition));
}

}  // namespace

double RoundDecimal(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  if (value == 0) return 0.0;
  DecimalDigits d = ToDecimalDigits(value);
  RoundDigits(d, decimals);
  if (d.count == 0) return 0.0;
  std::uint64_t mantissa = 0;
  for (int i = 0; i < d.count; ++i) mantissa = mantissa * 10 + static_cast<std::uint64_t>(d.digits[i] - '0');
  const double magnitude = ScaledDecimal(mantissa, d.pointPosition - d.count);
  return d.negative ? -magnitude : magnitude;
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

double ScaledDecimal(std::uint64_t mantissa, int exponent10) {
  // Both factors are exact doubles up to 10^22, and one multiplication or
  // division of exact doubles is correctly rounded.
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr int kLargestExactPower = 22;
  const auto m = static_cast<double>(mantissa);
  if (exponent10 >= 0 && exponent10 <= kLargestExactPower) return m * kPowers[exponent10];
  if (exponent10 < 0 && exponent10 >= -kLargestExactPower) return m / kPowers[-exponent10];
  return DecimalToDouble(std::to_string(mantissa), exponent10);
}

double DecimalToDouble(std::string_view digits, long exponent10) {
  std::string text(digits);
  text += 'e';
  text += std::to_string(exponent10);
  double value = 0;
  auto [rest, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)rest;
  if (ec == std::errc::result_out_of_range) {
    value = static_cast<long>(digits.size()) + exponent10 < 0 ? 0.0 : HUGE_VAL;
  }
  return value;
}

void AppendNumberText(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
    return;
  }
  if (value == 0) {
    out += '0';
    return;
  }
  AppendDigits(out, ToDecimalDigits(value));
}

std::string NumberText(double value) {
  std::string text;
  AppendNumberText(text, value);
  return text;
}

}  // namespace korvexa
