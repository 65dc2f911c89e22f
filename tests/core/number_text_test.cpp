#include "core/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvexa {
namespace {

struct RoundingCase {
  const char* name;
  double value;
  int decimals;
  double expected;
};

class RoundDecimalTest : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(RoundDecimalTest, RoundsHalvesAwayFromZeroOnTheDecimalText) {
  const RoundingCase& c = GetParam();
  const double rounded = RoundDecimal(c.value, c.decimals);
  EXPECT_EQ(rounded, c.expected);
  EXPECT_FALSE(std::signbit(rounded) && rounded == 0) << "rounded to -0";
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundDecimalTest,
                         ::testing::Values(
                             // 35.50000005 is stored just below the tie; its 15-digit text is the tie.
                             RoundingCase{"TieBelowInBinary", 35.50000005, 7, 35.5000001},
                             RoundingCase{"NegativeTieAwayFromZero", -106.75833335, 7, -106.7583334},
                             RoundingCase{"WorkedLatitude", 35.0 + 7.0 / 60 + 12.3456 / 3600, 7, 35.120096},
                             RoundingCase{"WorkedLongitude", -(106.0 + 45.0 / 60 + 30.0 / 3600), 7, -106.7583333},
                             RoundingCase{"HalfMetreUp", 0.5, 0, 1.0}, RoundingCase{"HalfMetreDown", -0.5, 0, -1.0},
                             RoundingCase{"TwoAndAHalf", 2.5, 0, 3.0},  // not banker's rounding
                             RoundingCase{"MinusOneFootIsZero", -0.3048006096012192, 0, 0.0},
                             RoundingCase{"TinyNegativeIsZero", -0.00000001, 7, 0.0},
                             RoundingCase{"NinesCarry", 9.99999996, 7, 10.0},
                             RoundingCase{"BelowHalfOfFirstPlace", 0.04, 0, 0.0},
                             RoundingCase{"WellBelowTheDigits", 0.000001, 0, 0.0},
                             RoundingCase{"WholeStaysWhole", 305.0, 0, 305.0},
                             RoundingCase{"Elevation1000Feet", 1000 * 12 / 39.37, 0, 305.0},
                             RoundingCase{"ElevationMinus282Feet", -282 * 12 / 39.37, 0, -86.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RoundDecimalTest, LeavesNonFiniteValuesAlone) {
  EXPECT_TRUE(std::isinf(RoundDecimal(HUGE_VAL, 7)));
  EXPECT_TRUE(std::isnan(RoundDecimal(std::nan(""), 0)));
}

struct TextCase {
  const char* name;
  double value;
  const char* expected;
};

class NumberTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextTest, WritesTheShortestPlainDecimal) {
  EXPECT_EQ(NumberText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberTextTest,
                         ::testing::Values(TextCase{"Coordinate", 35.120096, "35.120096"},
                                           TextCase{"NoTrailingZeros", 36.5, "36.5"}, TextCase{"Whole", 35.0, "35"},
                                           TextCase{"Zero", 0.0, "0"}, TextCase{"MinusZero", -0.0, "0"},
                                           TextCase{"Negative", -106.1234568, "-106.1234568"},
                                           TextCase{"SmallFraction", 0.0000001, "0.0000001"},
                                           TextCase{"NoExponentForLargeValues", 1e20, "100000000000000000000"},
                                           TextCase{"FifteenSignificantDigits", 0.1 + 0.2, "0.3"},
                                           TextCase{"SixteenthDigitDropped", 123456789.12345678, "123456789.123457"},
                                           TextCase{"Infinity", HUGE_VAL, "inf"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvexa

namespace korvexa {
namespace {

// printf's 15-significant-digit rounding of the exact binary value, written
// the NumberText way, as an independent reference.
std::string ReferenceText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string text = buffer;
  const std::size_t e = text.find('e');
  const int exponent = std::stoi(text.substr(e + 1));
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return "0";
  const std::string sign = value < 0 ? "-" : "";
  const int point = exponent + 1;
  if (point <= 0) return sign + "0." + std::string(-point, '0') + digits;
  if (static_cast<int>(digits.size()) <= point) return sign + digits + std::string(point - digits.size(), '0');
  return sign + digits.substr(0, point) + "." + digits.substr(point);
}

// printf's 15-digit text rounded at `decimals` places, half away from zero,
// read back with strtod: an independent reference for RoundDecimal.
double ReferenceRound(double value, int decimals) {
  std::string text = ReferenceText(std::fabs(value));
  const std::size_t point = text.find('.');
  const bool cut = point != std::string::npos && text.size() - point - 1 > static_cast<std::size_t>(decimals);
  const bool up = cut && text[point + 1 + decimals] >= '5';
  if (cut) text.resize(point + 1 + decimals);
  if (up) {
    int i = static_cast<int>(text.size()) - 1;
    for (; i >= 0; --i) {
      if (text[i] == '.') continue;
      if (text[i] != '9') {
        ++text[i];
        break;
      }
      text[i] = '0';
    }
    if (i < 0) text = std::string("1").append(text);
  }
  const double magnitude = std::strtod(text.c_str(), nullptr);
  return value < 0 ? -magnitude : magnitude;
}

class PrintfReferenceTest : public ::testing::Test {
 protected:
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  // The text and the roundings of `value` and of -value are printf's.
  static void ExpectAsPrintf(double value) {
    for (double v : {value, -value}) {
      ASSERT_EQ(NumberText(v), ReferenceText(v)) << std::hexfloat << v;
      for (int decimals : {7, 0, 3}) {
        const double rounded = RoundDecimal(v, decimals);
        ASSERT_EQ(rounded, ReferenceRound(v, decimals) + 0.0) << std::hexfloat << v << " at " << decimals;
        // DecodeLxPoint relies on rounding again changing nothing.
        ASSERT_EQ(RoundDecimal(rounded, decimals), rounded) << std::hexfloat << v;
      }
    }
  }

 private:
  std::uint64_t state_ = 88172645463325252ull;
};

TEST_F(PrintfReferenceTest, TextAndRoundingAgreeWithPrintfOnManyValues) {
  for (int i = 0; i < 100000; ++i) {
    // Coordinates as decoded (degrees + minutes + seconds), their 7-decimal
    // roundings, elevations in metres, arbitrary magnitudes and raw bits.
    const double seconds = static_cast<double>(Next() % 600000) / 10000;
    const double raw = 30 + static_cast<double>(Next() % 60) / 60 + seconds / 3600;
    const double arbitrary =
        static_cast<double>(Next() % 1000000007) * std::pow(10.0, static_cast<int>(Next() % 30) - 20);
    const double bits = std::bit_cast<double>(Next() >> 2 | 0x3000000000000000ull);
    // A value whose shortest text has a 5 as its 16th digit: a tie at 15.
    const double tie = std::strtod(
        std::string("1").append(std::to_string(Next() % 100000000000000ull)).append("5e-8").c_str(), nullptr);
    for (double value : {raw, RoundDecimal(raw, 7), raw * 12 / 39.37 * 1000, arbitrary, bits, tie}) {
      ASSERT_NO_FATAL_FAILURE(ExpectAsPrintf(value));
    }
  }
}

TEST_F(PrintfReferenceTest, TiesAndNearTiesRoundAsPrintfsTextDoes) {
  for (int i = 0; i < 20000; ++i) {
    // Half-way at the 7th decimal, from text (stored just above or below),
    // the doubles a few steps either side, and half-way less a 15th-digit
    // amount (the 15-digit text may round up to the half).
    const std::string digits = std::to_string(Next() % 180) + "." + std::to_string(10000000 + Next() % 10000000);
    const double half = std::strtod((digits.substr(0, digits.size() - 1) + "5").c_str(), nullptr);
    double below = half, above = half;
    for (int step = 0; step < 4; ++step) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, 1e300);
      ASSERT_NO_FATAL_FAILURE(ExpectAsPrintf(below));
      ASSERT_NO_FATAL_FAILURE(ExpectAsPrintf(above));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectAsPrintf(half));
    ASSERT_NO_FATAL_FAILURE(ExpectAsPrintf(half - static_cast<double>(Next() % 20) * 1e-14));
  }
}

}  // namespace
}  // namespace korvexa
