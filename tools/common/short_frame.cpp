// SPDX-License-Identifier: GPL-3.0-or-later
#include "short_frame.h"

#include "interpret/hex.h"

#include <iterator>

namespace quorven {

namespace {

constexpr std::uint8_t kLongStart = 0x68;
constexpr std::uint8_t kShortStart = 0x10;
constexpr std::uint8_t kStop = 0x16;
constexpr std::uint8_t kAck = 0xE5;
constexpr std::uint8_t kApplicationErrorCi = 0x70;

// The error byte of a CI 70h frame, by its value.
constexpr const char* kApplicationErrors[] = {
    "unspecified error",  "CI field not implemented", "buffer too long, truncated",
    "too many records",   "premature end of record",  "more than 10 DIFEs",
    "more than 10 VIFEs", "reserved error code",      "application busy",
    "too many read-outs",
};

QString ApplicationError(std::span<const std::uint8_t> b) {
    const QString frame = QStringLiteral("the meter reports an application error (CI 70h)");
    if (b.size() < 10) {
        return frame + QStringLiteral(" without an error code");
    }
    const std::uint8_t code = b[7];
    const QString hex = QString::fromStdString(HexByte(code));
    if (code < std::size(kApplicationErrors)) {
        return frame + QStringLiteral(", code ") + hex + QStringLiteral(": ") +
               QString::fromLatin1(kApplicationErrors[code]);
    }
    return frame + QStringLiteral(", code ") + hex;
}

} // namespace

QString ShortFrameReason(std::span<const std::uint8_t> b) {
    const std::size_t n = b.size();
    if (n == 0) {
        return QStringLiteral("no hexadecimal bytes: not a telegram");
    }
    if (n == 1 && b[0] == kAck) {
        return QStringLiteral("E5 alone is an acknowledgement, not a data telegram");
    }
    if (n == 5 && b[0] == kShortStart && b[4] == kStop) {
        return QStringLiteral("a short frame: a request to a meter, not a data telegram");
    }
    const bool longFrame = n >= 9 && b[0] == kLongStart && b[3] == kLongStart && b[1] == n - 6;
    if (longFrame && b[6] == kApplicationErrorCi) {
        return ApplicationError(b);
    }
    if (longFrame && n == 9) {
        return QStringLiteral("a control frame: it holds no data");
    }
    return QStringLiteral("only %1 bytes: a telegram has at least 15").arg(n);
}

} // namespace quorven
