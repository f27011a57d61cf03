// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace quorven {

// One row of the baud-rate choice: the rate the port runs at and the rate the
// time-outs are computed with.
struct BaudRow {
    std::int32_t rate;
    std::int32_t timingValue;
};

// The rate set by a baud index 0..8; nothing for any other index.
std::optional<BaudRow> BaudRowForIndex(int index);

// The rate the time-outs are computed with for a port rate. 14400 and every
// rate outside the table count as 2400.
std::int32_t BaudTimingValue(std::int32_t rate);

// The wait for the first answer byte: room for the echo of the telegram plus
// 30 characters of 11 bits, and 1000 ms of slack. Computed in 64 bits, so no
// extra time-out wraps.
std::int64_t AnswerTimeoutMs(std::int64_t telegramLength, std::int32_t timingValue,
                             std::uint16_t additionalMs);

// The longest gap between two bytes of a frame: 10 character times and 1000 ms.
std::int64_t InterByteTimeoutMs(std::int32_t timingValue, std::uint16_t additionalMs);

} // namespace quorven
