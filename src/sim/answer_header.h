// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ident_text.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace quorven::sim {

// Who a meter is at the moment: what it puts into the header of its answers
// and what a selection is compared with.
struct MeterIdentity {
    std::uint8_t address = 0;
    IdBytes id{}; // least significant pair first
    std::uint16_t manufacturer = 0;
    std::uint8_t version = 0;
    std::uint8_t medium = 0;
};

// The header fields a RSP_UD long frame carries: the identification number in
// a variable-data (CI 72h, 76h) or fixed-structure (CI 73h, 77h) answer, and
// manufacturer, version and medium in a variable-data answer, in the byte
// order the frame uses.
struct AnswerHeader {
    std::optional<IdBytes> id;
    std::optional<std::uint16_t> manufacturer;
    std::optional<std::uint8_t> version;
    std::optional<std::uint8_t> medium;
};
AnswerHeader ReadAnswerHeader(const QByteArray& frame);

// The frame with the meter's address and header fields put in and the
// checksum computed again. Fields the frame's layout lacks stay as they are.
QByteArray StampAnswer(QByteArray frame, const MeterIdentity& identity);

} // namespace quorven::sim
