// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/wire.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace quorven::sim {

// A request of the STX register protocol as a meter heard it: eight registers
// from firstRegister of the meter at address.
struct StxRequest {
    std::uint8_t address = 0;
    std::uint16_t firstRegister = 0;
    Tick end = 0; // when its last character was complete
};

// Puts the characters a meter of the register protocol hears into requests.
// A character with a line error (an M-Bus frame at even parity is all parity
// errors here) or a pause of more than kMaxPauseMs drops what was collected;
// eight characters that are not a request for eight registers with a right
// CRC move the window on by one.
class StxRequestAssembler {
public:
    static constexpr qint64 kMaxPauseMs = 100;

    std::optional<StxRequest> push(const ReceivedCharacter& character);

private:
    QByteArray buffer_;
    Tick lastEnd_ = 0;
};

// The answer of a meter to a request: address, function, byte count, the 16
// data bytes and the CRC.
QByteArray StxAnswerFrame(std::uint8_t address, const QByteArray& data);

} // namespace quorven::sim
