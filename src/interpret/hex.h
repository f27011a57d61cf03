// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quorven {

// The two upper-case hexadecimal digits of a byte.
std::string HexByte(std::uint8_t byte);

// Appends the two upper-case hexadecimal digits of a byte.
void AppendHexByte(std::string& text, std::uint8_t byte);

// Appends the byte as two upper-case hexadecimal digits followed by one blank
// (the hex text of the trace, the link layer and the import).
void AppendHexText(std::string& text, std::uint8_t byte);

// The value of a hexadecimal digit (either case), -1 for any other character.
constexpr int HexDigitValue(char32_t c) {
    if (c >= '0' && c <= '9') {
        return static_cast<int>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<int>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<int>(c - 'a' + 10);
    }
    return -1;
}

// The M-Bus checksum: the sum of the bytes, modulo 256.
constexpr std::uint8_t ByteSum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (const std::uint8_t b : bytes) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    return sum;
}

} // namespace quorven
