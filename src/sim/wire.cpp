// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/wire.h"

#include <algorithm>
#include <bit>

namespace quorven::sim {

namespace {

qint32 UsableBaud(qint32 baud) {
    return std::clamp<qint32>(baud, 1, 4'000'000);
}

int UsableDataBits(int bits) {
    return std::clamp(bits, 5, 8);
}

int UsableStopBits(int bits) {
    return std::clamp(bits, 1, 2);
}

} // namespace

int BitsPerCharacter(const LineSettings& format) {
    return 1 + UsableDataBits(format.dataBits) + (format.parity == Parity::None ? 0 : 1) +
           UsableStopBits(format.stopBits);
}

Tick BitsDuration(qint64 bits, qint32 baud) {
    const qint64 b = UsableBaud(baud);
    return (bits * kTicksPerSecond + b - 1) / b;
}

qint64 TickToMsCeil(Tick tick) {
    return tick >= 0 ? (tick + kTicksPerMs - 1) / kTicksPerMs : -((-tick) / kTicksPerMs);
}

Transmission::Transmission(Tick start, const LineSettings& format, QByteArray bytes, int owner)
    : start_(start), end_(start), format_(format), bytes_(std::move(bytes)), owner_(owner),
      bitsPerChar_(BitsPerCharacter(format)) {
    format_.baudRate = UsableBaud(format_.baudRate);
    format_.dataBits = UsableDataBits(format_.dataBits);
    end_ = boundary(static_cast<qint64>(bytes_.size()) * bitsPerChar_);
}

Tick Transmission::boundary(qint64 index) const {
    return start_ + BitsDuration(index, format_.baudRate);
}

qint64 Transmission::bitIndexAt(Tick t) const {
    return (t - start_) * format_.baudRate / kTicksPerSecond;
}

bool Transmission::bit(qint64 index) const {
    const qint64 character = index / bitsPerChar_;
    const int position = static_cast<int>(index % bitsPerChar_);
    if (position == 0) {
        return false;
    }
    const auto mask = static_cast<unsigned>((1u << format_.dataBits) - 1u);
    const unsigned value = static_cast<std::uint8_t>(bytes_[character]) & mask;
    if (position <= format_.dataBits) {
        return ((value >> (position - 1)) & 1u) != 0;
    }
    if (format_.parity != Parity::None && position == format_.dataBits + 1) {
        const bool odd = (std::popcount(value) & 1) != 0;
        return format_.parity == Parity::Even ? odd : !odd;
    }
    return true;
}

bool Transmission::levelAt(Tick t) const {
    if (t < start_ || t >= end_) {
        return true;
    }
    return bit(bitIndexAt(t));
}

std::optional<Tick> Transmission::nextFallAfter(Tick t) const {
    if (start_ == end_ || t >= end_) {
        return std::nullopt;
    }
    if (t < start_) {
        return start_;
    }
    const qint64 total = static_cast<qint64>(bytes_.size()) * bitsPerChar_;
    for (qint64 j = bitIndexAt(t) + 1; j < total; ++j) {
        if (!bit(j) && bit(j - 1)) {
            return boundary(j);
        }
    }
    return std::nullopt;
}

Tick Transmission::markAfter(Tick t) const {
    if (t < start_ || t >= end_) {
        return t;
    }
    const qint64 total = static_cast<qint64>(bytes_.size()) * bitsPerChar_;
    qint64 j = bitIndexAt(t);
    while (j < total && !bit(j)) {
        ++j;
    }
    return boundary(j);
}

void Transmission::cutAt(Tick t) {
    qsizetype keep = 0;
    while (keep < bytes_.size() && boundary(keep * bitsPerChar_) < t) {
        ++keep;
    }
    bytes_.truncate(keep);
    end_ = boundary(static_cast<qint64>(keep) * bitsPerChar_);
}

void WireLine::add(Transmission transmission) {
    if (transmission.end() > transmission.start()) {
        transmissions_.push_back(std::move(transmission));
    }
}

bool WireLine::levelAt(Tick t) const {
    return std::all_of(transmissions_.begin(), transmissions_.end(),
                       [t](const Transmission& tx) { return tx.levelAt(t); });
}

Tick WireLine::markFrom(Tick t) const {
    for (;;) {
        bool moved = false;
        for (const Transmission& tx : transmissions_) {
            if (!tx.levelAt(t)) {
                t = tx.markAfter(t);
                moved = true;
            }
        }
        if (!moved) {
            return t;
        }
    }
}

std::optional<Tick> WireLine::nextFallingEdge(Tick t) const {
    // An edge at t itself counts when the line was at mark just before it.
    const Tick mark = markFrom(t - 1);
    std::optional<Tick> earliest;
    for (const Transmission& tx : transmissions_) {
        const auto fall = tx.nextFallAfter(mark);
        if (fall && (!earliest || *fall < *earliest)) {
            earliest = fall;
        }
    }
    return earliest;
}

void WireLine::forgetBefore(Tick t) {
    std::erase_if(transmissions_, [t](const Transmission& tx) { return tx.end() <= t; });
}

void WireLine::cutOwner(int owner, Tick t) {
    for (Transmission& tx : transmissions_) {
        if (tx.owner() == owner) {
            tx.cutAt(t);
        }
    }
    std::erase_if(transmissions_, [](const Transmission& tx) { return tx.end() <= tx.start(); });
}

std::optional<Tick> WireLine::lastEnd(int owner) const {
    std::optional<Tick> last;
    for (const Transmission& tx : transmissions_) {
        if (tx.owner() == owner && (!last || tx.end() > *last)) {
            last = tx.end();
        }
    }
    return last;
}

UartReceiver::UartReceiver(const LineSettings& format, Tick from)
    : format_(format), position_(from) {}

std::optional<UartReceiver::Decoded> UartReceiver::decode(const WireLine& line, Tick from) const {
    const qint32 baud = UsableBaud(format_.baudRate);
    const int dataBits = UsableDataBits(format_.dataBits);
    const int bits = BitsPerCharacter(format_);
    Tick position = from;
    for (;;) {
        const auto edge = line.nextFallingEdge(position);
        if (!edge) {
            return std::nullopt;
        }
        // The middle of bit i after the falling edge of the start bit.
        const auto sample = [&](int i) { return *edge + BitsDuration(2 * i + 1, 2 * baud); };
        if (line.levelAt(sample(0))) {
            position = sample(0); // a glitch, not a start bit
            continue;
        }
        unsigned value = 0;
        for (int i = 1; i <= dataBits; ++i) {
            if (line.levelAt(sample(i))) {
                value |= 1u << (i - 1);
            }
        }
        int index = dataBits + 1;
        std::uint8_t errors = 0;
        bool parityBit = false;
        if (format_.parity != Parity::None) {
            parityBit = line.levelAt(sample(index));
            const bool odd = (std::popcount(value) & 1) != 0;
            const bool expected = format_.parity == Parity::Even ? odd : !odd;
            if (parityBit != expected) {
                errors |= LineErrorFlag::Parity;
            }
            ++index;
        }
        const bool stop = line.levelAt(sample(index));
        if (value == 0 && !parityBit && !stop) {
            errors = LineErrorFlag::Break;
        } else if (!stop) {
            errors |= LineErrorFlag::Framing;
        }
        Decoded decoded;
        decoded.character.byte = static_cast<std::uint8_t>(value);
        decoded.character.errors = errors;
        decoded.character.end = *edge + BitsDuration(bits, baud);
        decoded.resume = sample(index);
        return decoded;
    }
}

std::optional<ReceivedCharacter> UartReceiver::peek(const WireLine& line) const {
    if (auto decoded = decode(line, position_)) {
        return decoded->character;
    }
    return std::nullopt;
}

std::vector<ReceivedCharacter> UartReceiver::receiveUntil(const WireLine& line, Tick until) {
    std::vector<ReceivedCharacter> received;
    for (;;) {
        const auto decoded = decode(line, position_);
        if (!decoded) {
            position_ = std::max(position_, until);
            return received;
        }
        if (decoded->character.end > until) {
            return received;
        }
        received.push_back(decoded->character);
        position_ = decoded->resume;
    }
}

} // namespace quorven::sim
