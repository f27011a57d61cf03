#pragma once

// What the link-layer tests share: a virtual clock, a scripted line and the
// link object on them, and answer frames.

#include "common/scripted_line.h"
#include "link/frames.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"

#include <QByteArray>

#include <memory>

namespace quorven::testing {

// An RSP_UD long frame from a slave: the fixed header (ID 12345678,
// manufacturer, version 1, medium) and one record.
inline QByteArray AnswerFrame(std::uint8_t address = 5, std::uint8_t medium = 0x07) {
    const QByteArray data = QByteArray::fromHex("78563412 2D2C 01") + static_cast<char>(medium) +
                            QByteArray::fromHex("1A 00 0000 0413 E8030000");
    return *BuildLongFrame(0x08, address, 0x72, data);
}

inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

struct LinkFixture {
    VirtualClock clock;
    ScriptedLine line{clock};
    std::unique_ptr<TMB_Sio> sio = std::make_unique<TMB_Sio>(clock, line);

    // Opens the port now, so that no exchange waits for it to settle.
    void openPort() {
        sio->OpenPort();
        line.events.clear();
    }
    // Every write is answered after delayMs.
    void answerEveryWrite(const QByteArray& answer, qint64 delayMs = 50) {
        line.onWrite = [this, answer, delayMs](const QByteArray&) {
            line.sendAfter(delayMs, answer);
        };
    }
};

} // namespace quorven::testing
