// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_timing.h"

#include <algorithm>
#include <array>

namespace quorven {

namespace {

constexpr std::int32_t kFallbackTimingValue = 2400;

// Indexed by the baud index.
constexpr std::array<BaudRow, 9> kBaudRows{{
    {300, 300},
    {600, 600},
    {1200, 1200},
    {2400, 2400},
    {4800, 4800},
    {9600, 9600},
    {14400, 2400},
    {19200, 19200},
    {38400, 38400},
}};

// 11 bits a character, times 1000 for milliseconds.
constexpr std::int64_t kBitsPerCharacterMs = 11 * 1000;
constexpr std::int64_t kEchoSlackCharacters = 30;
constexpr std::int64_t kInterByteCharacters = 10;
constexpr std::int64_t kSlackMs = 1000;

} // namespace

std::optional<BaudRow> BaudRowForIndex(int index) {
    if (index < 0 || index >= static_cast<int>(kBaudRows.size())) {
        return std::nullopt;
    }
    return kBaudRows[static_cast<std::size_t>(index)];
}

std::int32_t BaudTimingValue(std::int32_t rate) {
    const auto row = std::find_if(kBaudRows.begin(), kBaudRows.end(),
                                  [rate](const BaudRow& r) { return r.rate == rate; });
    return row == kBaudRows.end() ? kFallbackTimingValue : row->timingValue;
}

std::int64_t AnswerTimeoutMs(std::int64_t telegramLength, std::int32_t timingValue,
                             std::uint16_t additionalMs) {
    return (telegramLength + kEchoSlackCharacters) * kBitsPerCharacterMs / timingValue + kSlackMs +
           additionalMs;
}

std::int64_t InterByteTimeoutMs(std::int32_t timingValue, std::uint16_t additionalMs) {
    return kInterByteCharacters * kBitsPerCharacterMs / timingValue + kSlackMs + additionalMs;
}

} // namespace quorven
