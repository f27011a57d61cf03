// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/hex_bytes.h"

#include "sim/json_reader.h"

#include "interpret/hex.h"

namespace quorven::sim {

namespace {

int HexDigit(char c) {
    return HexDigitValue(static_cast<unsigned char>(c));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::optional<QByteArray> ParseHexBytes(std::string_view text, qsizetype maxBytes,
                                        std::string* problem) {
    QByteArray bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        const std::string_view word = text.substr(start, i - start);
        const std::string place = " (character " + std::to_string(start + 1) + ")";
        for (char c : word) {
            if (HexDigit(c) < 0) {
                *problem = QuotedForMessage(word) + place + " is not hexadecimal";
                return std::nullopt;
            }
        }
        if (word.size() % 2 != 0) {
            *problem = QuotedForMessage(word) + place + " is not a whole number of bytes";
            return std::nullopt;
        }
        if (bytes.size() + static_cast<qsizetype>(word.size() / 2) > maxBytes) {
            *problem = "more than " + std::to_string(maxBytes) + " bytes";
            return std::nullopt;
        }
        for (std::size_t k = 0; k < word.size(); k += 2) {
            bytes.append(static_cast<char>(HexDigit(word[k]) * 16 + HexDigit(word[k + 1])));
        }
    }
    return bytes;
}

} // namespace quorven::sim
