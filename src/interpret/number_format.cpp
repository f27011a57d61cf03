// SPDX-License-Identifier: GPL-3.0-or-later
#include "interpret/number_format.h"

#include <array>
#include <charconv>
#include <cstdlib>

namespace quorven {

namespace {

// Room for the longest fixed-point double: 309 integer digits, sign, point
// and the decimals asked for.
constexpr std::size_t kRealRoom = 400;
constexpr int kMaxDecimals = 40;

bool IsDecimalDigitText(const std::string& digits) {
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const char c = digits[i];
        if ((c >= 'A' && c <= 'E') || (c == 'F' && i != 0)) {
            return false;
        }
    }
    return true;
}

// Puts the point before the last `decimals` digits of the text from `start`
// on, first inserting zeros so that one digit stands before the point.
void InsertPoint(std::string& text, std::size_t start, std::size_t decimals) {
    const std::size_t digits = text.size() - start;
    if (digits <= decimals) {
        text.insert(start, decimals + 1 - digits, '0');
    }
    text.insert(text.size() - decimals, 1, '.');
}

} // namespace

void FormatDigits(std::string& digits, std::string& unitText, int exponent, bool negative) {
    if (digits.empty()) {
        return;
    }
    if (!IsDecimalDigitText(digits)) {
        unitText.clear();
        return;
    }
    if (digits[0] == 'F') {
        digits[0] = '-';
    }
    const std::size_t start = digits[0] == '-' ? 1 : 0;
    if (exponent > 0) {
        digits.append(static_cast<std::size_t>(exponent), '0');
    } else if (exponent < 0) {
        InsertPoint(digits, start, static_cast<std::size_t>(-exponent));
    }
    if (negative && start == 0) {
        digits.insert(digits.begin(), '-');
    }
}

void AppendScaledInteger(std::string& out, std::int64_t value, int exponent) {
    const bool minus = value < 0;
    // Negate in unsigned arithmetic so that the smallest value has a magnitude.
    const std::uint64_t magnitude = minus ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                          : static_cast<std::uint64_t>(value);
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude);
    if (minus) {
        out += '-';
    }
    const std::size_t start = out.size();
    out.append(buffer.data(), result.ptr);
    if (exponent > 0 && magnitude != 0) {
        out.append(static_cast<std::size_t>(exponent), '0');
    } else if (exponent < 0) {
        InsertPoint(out, start, static_cast<std::size_t>(-exponent));
    }
}

std::string ScaledInteger(std::int64_t value, int exponent) {
    std::string text;
    AppendScaledInteger(text, value, exponent);
    return text;
}

void AppendReal(std::string& out, double value, int decimals) {
    std::array<char, kRealRoom> buffer{};
    const int precision = decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, precision);
    out.append(buffer.data(), result.ptr);
}

std::string RealText(double value, int decimals) {
    std::string text;
    AppendReal(text, value, decimals);
    return text;
}

std::string FixedCounterText(std::int64_t value, unsigned divisor) {
    constexpr std::size_t kWidth = 12;
    const double quotient =
        static_cast<double>(value) / static_cast<double>(divisor == 0 ? 1 : divisor);
    std::string text;
    AppendReal(text, quotient, 2);
    if (text.size() < kWidth) {
        text.insert(0, kWidth - text.size(), ' ');
    }
    return text;
}

} // namespace quorven
