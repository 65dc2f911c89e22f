// Decimal rounding and number text that never depend on the user's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvexa {

// Rounds `value` to `decimals` places, halves away from zero, on its decimal
// text: the value is first written with at most 15 significant digits, that
// text is rounded, and the nearest double to the result is returned. So
// 35.50000005 (stored as 35.500000049999997) rounds to 35.5000001 at 7 places.
// Never returns -0. Infinities and NaN are returned unchanged.
//
// Computed exactly on the binary value for the common magnitudes (no text is
// written); RoundDecimalReference is the rule itself, through text, and gives
// the same result for every input.
double RoundDecimal(double value, int decimals);
double RoundDecimalReference(double value, int decimals);

// The shortest plain decimal text of `value` with at most 15 significant
// digits: no exponent, no leading blank, no trailing zeros, no decimal point
// for whole values, a full stop as separator and never "-0".
// Examples: 35.120096 -> "35.120096", 36.5 -> "36.5", -0.0 -> "0",
// 1e20 -> "100000000000000000000". Non-finite values give "inf", "-inf", "nan".
std::string NumberText(double value);

// Appends NumberText(value) to `out` (no temporary string on hot paths).
// Like RoundDecimal, computed on the binary value for the common magnitudes;
// AppendNumberTextReference writes the same text through std::to_chars.
void AppendNumberText(std::string& out, double value);
void AppendNumberTextReference(std::string& out, double value);

// Appends `value` (0 to 99) as two digits, with a leading zero: 7 -> "07".
void AppendTwoDigits(std::string& out, int value);

// The double nearest to mantissa x 10^exponent10, for a mantissa below 2^53.
double ScaledDecimal(std::uint64_t mantissa, int exponent10);

// The double nearest to the whole number `digits` (decimal digits, no sign)
// times 10^exponent10: 0 below the smallest double, an infinity above the
// largest.
double DecimalToDouble(std::string_view digits, long exponent10);

}  // namespace korvexa
