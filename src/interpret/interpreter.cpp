// SPDX-License-Identifier: GPL-3.0-or-later
#include "interpret/interpreter.h"

#include "interpret/hex.h"

#include <algorithm>
#include <limits>

namespace quorven {

namespace {

constexpr std::uint8_t kLongStart = 0x68;
constexpr std::uint8_t kStop = 0x16;
constexpr std::uint8_t kAck = 0xE5;

// RSP_UD with any combination of the ACD and DFC bits.
constexpr std::array<std::uint8_t, 4> kAnswerControlFields{0x08, 0x18, 0x28, 0x38};

} // namespace

Interpreter::Interpreter() = default;

void Interpreter::StoreTelegram(std::span<const std::uint8_t> bytes) {
    const std::size_t kept = std::min(bytes.size(), kTelegramCapacity);
    std::copy_n(bytes.begin(), kept, buffer_.begin());
    std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(kept), buffer_.end(), 0);
    length_ = static_cast<std::uint16_t>(
        std::min<std::size_t>(bytes.size(), std::numeric_limits<std::uint16_t>::max()));
    ++revision_;
}

bool Interpreter::CheckTelegram() {
    error_.clear();
    const std::size_t n = length_;
    if (n == 0) {
        error_ = "Datensatz 0-Länge";
        return false;
    }
    if (n == 1) {
        return Telegram(1) == kAck;
    }
    if (n < 5) {
        error_ = "M-Bus Datensatzlänge zu kurz";
        return false;
    }
    if (n > kTelegramCapacity) {
        error_ = "M-Bus Datensatzlänge zu lang";
        return false;
    }
    if (Telegram(1) != kLongStart) {
        error_ = "1. $68 fehlt";
        return false;
    }
    if (Telegram(2) != Telegram(3)) {
        error_ = "Längenfelder unterschiedlich";
        return false;
    }
    if (static_cast<std::size_t>(Telegram(2)) + 6 != n) {
        error_ = "Länge und Längenfeld unterschiedlich";
        return false;
    }
    if (Telegram(4) != kLongStart) {
        error_ = "2. $68 fehlt";
        return false;
    }
    if (std::find(kAnswerControlFields.begin(), kAnswerControlFields.end(), Telegram(5)) ==
        kAnswerControlFields.end()) {
        error_ = "C-Feld Fehler";
        return false;
    }
    // Bytes 5 .. n-2 (numbered from 1) lie inside the buffer: n is at most its size.
    const std::uint8_t sum = ByteSum(std::span(buffer_).subspan(4, n - 6));
    if (sum != Telegram(n - 1)) {
        error_ = "Checksummenfehler " + HexByte(sum) + " <> " + HexByte(Telegram(n - 1));
        return false;
    }
    if (Telegram(n) != kStop) {
        error_ = "Stopzeichen falsch";
        return false;
    }
    return true;
}

} // namespace quorven
