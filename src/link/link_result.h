// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quorven {

// Result codes of an exchange (LastResult).
namespace LinkResult {
inline constexpr std::uint8_t Ok = 0;
inline constexpr std::uint8_t Aborted = 1;
inline constexpr std::uint8_t OkAfterStrayBytes = 240;
inline constexpr std::uint8_t StopByteWrong = 244;
inline constexpr std::uint8_t ChecksumWrong = 245;
inline constexpr std::uint8_t SecondStartWrong = 246;
inline constexpr std::uint8_t LengthsDiffer = 247;
inline constexpr std::uint8_t TimeoutAfterBytes = 248;
inline constexpr std::uint8_t OtherLineError = 249;
inline constexpr std::uint8_t BreakError = 250;
inline constexpr std::uint8_t ParityError = 251;
inline constexpr std::uint8_t FramingError = 252;
inline constexpr std::uint8_t WriteFailed = 253;
inline constexpr std::uint8_t NoAnswer = 254;
inline constexpr std::uint8_t Pending = 255;
} // namespace LinkResult

} // namespace quorven
