// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quorven {

// The fixed pauses of the operations on the bus, in milliseconds, each kept
// here once for the read-out, both searches and the slave commands.

// Between two exchanges: the slaves are ready for the next telegram.
inline constexpr std::uint16_t kExchangePauseMs = 200;
// After the port is opened or its speed changed, before the first telegram:
// the line and the level converter settle.
inline constexpr std::uint16_t kLineSettleMs = 2000;
// After SND_NKE to the selected slave (253): the slaves leave their selection.
inline constexpr std::uint16_t kDeselectPauseMs = 3000;
// After a collision or a garbled answer: the slaves finish sending.
inline constexpr std::uint16_t kCollisionPauseMs = 3000;
// After SND_NKE to all (255) before the primary search's addresses.
inline constexpr std::uint16_t kBroadcastSndNkePauseMs = 1000;
// After an answer of the primary search, before the next address.
inline constexpr std::uint16_t kSearchAnswerPauseMs = 50;
// Between the broadcasts of a command to all slaves at each speed.
inline constexpr std::uint16_t kBetweenBroadcastsMs = 500;
// The read-out: after a change of port or speed, and before the port is
// closed at its end.
inline constexpr std::uint16_t kPortChangePauseMs = 1000;
inline constexpr std::uint16_t kReadOutEndPauseMs = 500;
// With the MDK option: the level converter powers up after RTS goes off.
inline constexpr std::uint16_t kConverterSettleMs = 200;

} // namespace quorven
