// Decimal rounding and number text that never depend on the user's locale.
#pragma once

#include <string>
#include <string_view>

namespace korvexa {

// Rounds `value` to `decimals` places, halves away from zero, on its decimal
// text: the value is first written with at most 15 significant digits, that
// text is rounded, and the nearest double to the result is returned. So
// 35.50000005 (stored as 35.500000049999997) rounds to 35.5000001 at 7 places.
// Never returns -0. Infinities and NaN are returned unchanged.
double RoundDecimal(double value, int decimals);

// The shortest plain decimal text of `value` with at most 15 significant
// digits: no exponent, no leading blank, no trailing zeros, no decimal point
// for whole values, a full stop as separator and never "-0".
// Examples: 35.120096 -> "35.120096", 36.5 -> "36.5", -0.0 -> "0",
// 1e20 -> "100000000000000000000". Non-finite values give "inf", "-inf", "nan".
std::string NumberText(double value);

// Appends NumberText(value) to `out` (no temporary string on hot paths).
void AppendNumberText(std::string& out, double value);

// Appends `value` (0 to 99) as two digits, with a leading zero: 7 -> "07".
void AppendTwoDigits(std::string& out, int value);

// The double nearest to `digits` (decimal digits, at most one full stop, no
// sign) times 10^exponent10: 0 below the smallest double, an infinity above
// the largest. "12.5", 2 -> 1250.
double DecimalValue(std::string_view digits, long exponent10);

}  // namespace korvexa
