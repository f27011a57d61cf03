// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ident_text.h"

#include "interpret/hex.h"

#include <QString>

namespace quorven {

namespace {

std::optional<std::uint8_t> HexDigit(QChar c) {
    const int v = HexDigitValue(c.unicode());
    return v < 0 ? std::nullopt : std::optional<std::uint8_t>(static_cast<std::uint8_t>(v));
}

} // namespace

std::optional<IdBytes> IdTextToBytes(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.size() > 8) {
        return std::nullopt;
    }
    const QString padded = trimmed.toString().rightJustified(8, u'0');
    IdBytes bytes{};
    for (int pair = 0; pair < 4; ++pair) {
        const auto high = HexDigit(padded[2 * pair]);
        const auto low = HexDigit(padded[2 * pair + 1]);
        if (!high || !low) {
            return std::nullopt;
        }
        // Characters 1-2 are the most significant pair and go last.
        bytes[3 - pair] = static_cast<std::uint8_t>((*high << 4) | *low);
    }
    return bytes;
}

} // namespace quorven
