// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace quorven::sim {

// Time on the wire, in ticks of 1/1 152 000 s: every bit time and half bit
// time of the usual baud rates (300 to 115 200) and every millisecond is a
// whole number of ticks, so the simulated line never drifts.
using Tick = qint64;
inline constexpr Tick kTicksPerSecond = 1'152'000;
inline constexpr Tick kTicksPerMs = kTicksPerSecond / 1000;

// Bits of one character: start bit, data bits, parity bit if any, stop bits.
int BitsPerCharacter(const LineSettings& format);
// The time n bits take at the given rate, rounded up to whole ticks.
Tick BitsDuration(qint64 bits, qint32 baud);
// The first millisecond at or after a tick.
qint64 TickToMsCeil(Tick tick);

// Characters sent back to back by one transmitter, from a start time on.
// The line idles at mark (1); a character is a space start bit, the data
// bits least significant first, the parity bit and the mark stop bits.
class Transmission {
public:
    Transmission(Tick start, const LineSettings& format, QByteArray bytes, int owner);

    Tick start() const { return start_; }
    Tick end() const { return end_; }
    int owner() const { return owner_; }

    // The level this transmitter drives at tick t: true for mark.
    bool levelAt(Tick t) const;
    // The first tick after t at which it goes from mark to space.
    std::optional<Tick> nextFallAfter(Tick t) const;
    // For a tick at which it drives space: the first later tick at mark.
    Tick markAfter(Tick t) const;
    // Drops the characters that would start at or after t.
    void cutAt(Tick t);

private:
    bool bit(qint64 index) const;
    Tick boundary(qint64 index) const;
    qint64 bitIndexAt(Tick t) const;

    Tick start_;
    Tick end_;
    LineSettings format_;
    QByteArray bytes_;
    int owner_;
    int bitsPerChar_;
};

// One wire of the bus. Several transmitters may drive it at once; space
// wins (a wired AND), which is how answers of several meters garble.
class WireLine {
public:
    void add(Transmission transmission);
    bool levelAt(Tick t) const;
    // The first tick at or after t at which the line is at mark.
    Tick markFrom(Tick t) const;
    // The first falling edge at or after t that follows mark: when the line is
    // at space just before t, the edge after its next return to mark.
    std::optional<Tick> nextFallingEdge(Tick t) const;
    // Forgets transmissions that ended by t; cuts an owner's unsent characters.
    void forgetBefore(Tick t);
    void cutOwner(int owner, Tick t);
    // When the last of an owner's transmissions ends, if it has any.
    std::optional<Tick> lastEnd(int owner) const;
    bool empty() const { return transmissions_.empty(); }

private:
    std::vector<Transmission> transmissions_;
};

// A received character: the byte, the line errors (LineErrorFlag bits) and
// the tick at which the character is complete.
struct ReceivedCharacter {
    std::uint8_t byte = 0;
    std::uint8_t errors = 0;
    Tick end = 0;
};

// A UART receiver: waits for a falling edge after mark, samples each bit in
// its middle, checks the parity and the stop bit, and reports a break when
// the whole character was space.
class UartReceiver {
public:
    UartReceiver(const LineSettings& format, Tick from);

    void setFormat(const LineSettings& format) { format_ = format; }
    const LineSettings& format() const { return format_; }

    // The next character as far as the line is known now; it may still change
    // while it is not complete.
    std::optional<ReceivedCharacter> peek(const WireLine& line) const;
    // Takes every character complete by `until`.
    std::vector<ReceivedCharacter> receiveUntil(const WireLine& line, Tick until);
    // Where the receiver looks for the next start bit.
    Tick position() const { return position_; }

private:
    struct Decoded {
        ReceivedCharacter character;
        Tick resume = 0;
    };
    std::optional<Decoded> decode(const WireLine& line, Tick from) const;

    LineSettings format_;
    Tick position_;
};

} // namespace quorven::sim
