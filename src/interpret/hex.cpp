// SPDX-License-Identifier: GPL-3.0-or-later
#include "interpret/hex.h"

namespace quorven {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string HexByte(std::uint8_t byte) {
    return std::string{kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

void AppendHexByte(std::string& text, std::uint8_t byte) {
    const char digits[2] = {kDigits[byte >> 4], kDigits[byte & 0x0F]};
    text.append(digits, 2);
}

void AppendHexText(std::string& text, std::uint8_t byte) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
    text += ' ';
}

} // namespace quorven
