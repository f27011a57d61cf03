// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/wire.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace quorven::sim {

// A frame from the master, as a meter's receiver puts it together.
struct MasterFrame {
    bool isLong = false;
    std::uint8_t control = 0;
    std::uint8_t address = 0;
    std::uint8_t ci = 0; // long frames only
    QByteArray data;     // user data of a long frame
    QByteArray bytes;    // the whole frame as heard
    Tick end = 0;        // when its last character was complete
};

// Puts the characters a meter hears into short and long frames. A character
// with a line error, a wrong length, checksum or stop byte, or a pause of
// more than kMaxPauseMs between two characters of a frame drops the frame being received, as a
// meter's link layer does.
class MasterFrameAssembler {
public:
    static constexpr qint64 kMaxPauseMs = 100;

    std::optional<MasterFrame> push(const ReceivedCharacter& character);

private:
    std::optional<MasterFrame> complete();

    QByteArray buffer_;
    Tick lastEnd_ = 0;
};

} // namespace quorven::sim
