// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts every decoded number ends up as. "." is the decimal separator
// whatever the locale; nothing here depends on the system's settings.

#include <cstdint>
#include <string>

namespace quorven {

// Decimals of every floating-point value (IEEE single and double fields).
inline constexpr int RealDecimals = 3;

// Formats the digit text of a BCD value in place. A text holding A-E, or an
// F anywhere but first, is not decimal: it stays as it is and the unit text
// is emptied. Otherwise a leading F becomes "-", a positive exponent appends
// zeros, and a negative one puts the point before the last |exponent| digits,
// with zeros inserted after any "-" so that one digit stands before the
// point. A negative sign puts one "-" in front unless the digits already
// carry one. An empty text stays empty.
void FormatDigits(std::string& digits, std::string& unitText, int exponent, bool negative);

// value × 10^exponent with max(0, −exponent) decimals, computed on the
// digits, so it is exact for every 64-bit value and exponent.
void AppendScaledInteger(std::string& out, std::int64_t value, int exponent);
std::string ScaledInteger(std::int64_t value, int exponent);

// A floating-point value in fixed-point notation with the given decimals.
void AppendReal(std::string& out, double value, int decimals);
std::string RealText(double value, int decimals);

// A fixed-structure counter: value ÷ divisor with two decimals, right-aligned
// in a field of twelve characters.
std::string FixedCounterText(std::int64_t value, unsigned divisor);

} // namespace quorven
