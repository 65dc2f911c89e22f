#include "core/number_text.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

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

// The fast paths: the same decimal rules, decided exactly on the binary value.
//
// A normal double is mantissa x 2^exponent2 with a mantissa below 2^53, so
// |value| x 10^scale (scale <= 22) is an integer of at most 127 bits shifted
// right: its whole part and its fraction are exact, and rounding it needs no
// text. Values the fast paths do not cover (very large or very small
// magnitudes, exact ties of the 15-digit text, the few values whose 15-digit
// rounding could carry into the rounding place) go the reference way.

__extension__ typedef unsigned __int128 Uint128;

constexpr int kLargestScale = 22;

constexpr std::array<Uint128, kLargestScale + 1> MakePowersOfTen() {
  std::array<Uint128, kLargestScale + 1> powers{};
  Uint128 power = 1;
  for (auto& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}
constexpr std::array<Uint128, kLargestScale + 1> kPowersOfTen = MakePowersOfTen();

constexpr std::uint64_t kFifteenDigits = 1000000000000000;  // 10^15
constexpr std::uint64_t kFourteenDigits = 100000000000000;  // 10^14

// |value| = mantissa x 2^exponent2.
struct BinaryParts {
  std::uint64_t mantissa = 0;
  int exponent2 = 0;
};

// False for 0, subnormals, infinities and NaN.
bool Decompose(double magnitude, BinaryParts& parts) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  if (biased == 0 || biased == 0x7FF) return false;
  parts.mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
  parts.exponent2 = biased - 1075;
  return true;
}

// |value| x 10^scale = whole + fraction / 2^fractionBits, exactly.
struct ScaledParts {
  std::uint64_t whole = 0;
  Uint128 fraction = 0;
  int fractionBits = 0;  // 1 to 127
  Uint128 Half() const { return Uint128{1} << (fractionBits - 1); }
};

// False when the value has no fraction bits (it is 2^52 or more), too many
// of them, or a whole part beyond 64 bits.
bool Scale(const BinaryParts& parts, int scale, ScaledParts& scaled) {
  if (parts.exponent2 >= 0 || parts.exponent2 < -127) return false;
  const Uint128 product = Uint128{parts.mantissa} * kPowersOfTen[static_cast<std::size_t>(scale)];
  scaled.fractionBits = -parts.exponent2;
  const Uint128 whole = product >> scaled.fractionBits;
  if (whole >> 64 != 0) return false;
  scaled.whole = static_cast<std::uint64_t>(whole);
  scaled.fraction = product & ((Uint128{1} << scaled.fractionBits) - 1);
  return true;
}

// The digits of a whole part below 10^14 (0 for 0).
int DigitCount(std::uint64_t n) {
  static constexpr std::uint64_t kPowers[] = {
      1,         10,         100,         1000,         10000,         100000,         1000000,        10000000,
      100000000, 1000000000, 10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000};
  int count = 0;
  while (count < 15 && n >= kPowers[count]) ++count;
  return count;
}

// True when the fraction lies below one half by no more than 10^(D - 15),
// D the digits of the whole part: the 15-digit text of such a value may have
// been rounded up to the half, which then rounds away from zero. Twice the
// width that matters, and the fraction's first 64 bits only, so this may
// send a value the reference way needlessly but never misses one.
bool JustBelowHalf(const ScaledParts& scaled) {
  // 10^(D - 15) x 2^64, rounded up, for D = 0 to 14.
  static constexpr std::uint64_t kWindows[] = {
      18447,           184468,           1844675,           18446745,           184467441,
      1844674408,      18446744074,      184467440738,      1844674407371,      18446744073710,
      184467440737096, 1844674407370956, 18446744073709552, 184467440737095517, 1844674407370955162};
  const std::uint64_t fraction64 = scaled.fractionBits >= 64
                                       ? static_cast<std::uint64_t>(scaled.fraction >> (scaled.fractionBits - 64))
                                       : static_cast<std::uint64_t>(scaled.fraction << (64 - scaled.fractionBits));
  const std::uint64_t gap = (std::uint64_t{1} << 63) - fraction64;  // fraction64 is below 2^63 here
  return gap <= kWindows[DigitCount(scaled.whole)] + 1;
}

// RoundDecimal without text, or false when the reference must decide.
//
// Rounding the 15-digit text at `decimals` places gives the rounding of the
// exact value whenever the whole part has at most 14 digits: the half-way
// points of the rounding place then have 15 digits or fewer, so the 15-digit
// text lies on the same side of them as the exact value, except for values
// just below a half-way point (JustBelowHalf).
bool RoundDecimalFast(double value, int decimals, double& rounded) {
  if (decimals < 0 || decimals > kLargestScale) return false;
  BinaryParts parts;
  ScaledParts scaled;
  if (!Decompose(std::fabs(value), parts) || !Scale(parts, decimals, scaled)) return false;
  if (scaled.whole >= kFourteenDigits) return false;
  const bool up = scaled.fraction >= scaled.Half();
  if (!up && JustBelowHalf(scaled)) return false;
  const std::uint64_t whole = scaled.whole + (up ? 1 : 0);
  if (whole == 0) {
    rounded = 0.0;
    return true;
  }
  const double magnitude = ScaledDecimal(whole, -decimals);
  rounded = value < 0 ? -magnitude : magnitude;
  return true;
}

// ToDecimalDigits without text for values from 10^-8 up to 10^15, or false.
// The 15-digit text is the exact value rounded at 15 significant digits;
// an exact tie there goes the reference way.
bool ToDecimalDigitsFast(double value, DecimalDigits& d) {
  BinaryParts parts;
  if (!Decompose(std::fabs(value), parts)) return false;
  // 2^e <= |value| < 2^(e+1): floor((e + 1) log10(2)) + 1 digits before the
  // point, or one fewer when |value| is below 10^(that - 1); the loop below
  // corrects an estimate that the inexact powers below 1 got wrong.
  static constexpr double kPowers[] = {1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,
                                       1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14};
  constexpr int kPowersOffset = 9;
  const int e = parts.exponent2 + 52;
  int digits = ((e + 1) * 78913 >> 18) + 1;
  if (digits - 1 + kPowersOffset < 0 || digits - 1 + kPowersOffset >= static_cast<int>(std::size(kPowers))) {
    return false;
  }
  if (std::fabs(value) < kPowers[digits - 1 + kPowersOffset]) --digits;
  int scale = 15 - digits;
  ScaledParts scaled;
  for (int tries = 0;; ++tries) {
    if (tries == 3 || scale < 0 || scale > kLargestScale || !Scale(parts, scale, scaled)) return false;
    if (scaled.whole >= kFifteenDigits) {
      --scale;
    } else if (scaled.whole < kFourteenDigits) {
      ++scale;
    } else {
      break;
    }
  }
  const Uint128 half = scaled.Half();
  if (scaled.fraction == half) return false;
  std::uint64_t whole = scaled.whole + (scaled.fraction > half ? 1 : 0);
  d.negative = value < 0;
  d.pointPosition = 15 - scale;
  if (whole == kFifteenDigits) {
    whole = kFourteenDigits;
    ++d.pointPosition;
  }
  // Two halves of 7 and 8 digits, written two digits at a time.
  static constexpr auto kPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
      pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
      pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
  }();
  auto write = [&d](std::uint32_t part, int last, int pairs) {
    for (int i = 0; i < pairs; ++i, last -= 2, part /= 100) {
      std::memcpy(d.digits + last - 1, kPairs.data() + 2 * (part % 100), 2);
    }
    if (last == 0) d.digits[0] = static_cast<char>('0' + part);
  };
  write(static_cast<std::uint32_t>(whole / 100000000), 6, 3);
  write(static_cast<std::uint32_t>(whole % 100000000), 14, 4);
  d.count = kSignificantDigits;
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  return true;
}
}  // namespace

double RoundDecimal(double value, int decimals) {
  double rounded = 0;
  if (RoundDecimalFast(value, decimals, rounded)) return rounded;
  return RoundDecimalReference(value, decimals);
}

double RoundDecimalReference(double value, int decimals) {
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
  DecimalDigits d;
  if (ToDecimalDigitsFast(value, d)) {
    AppendDigits(out, d);
    return;
  }
  AppendNumberTextReference(out, value);
}

void AppendNumberTextReference(std::string& out, double value) {
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
