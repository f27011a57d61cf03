// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/frames.h"
#include "sim/bus_description.h"

#include <QByteArray>
#include <QString>

namespace quorven::sim::test {

inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

inline QByteArray Ack() {
    return QByteArray(1, static_cast<char>(kAckByte));
}

// A meter at 2400 baud answering after 20 ms with a variable-data answer (CI
// 72h) of ID 12345678, manufacturer PAD, version 1, water, one volume record.
inline MeterDescription Meter(std::uint8_t address, const char* id) {
    MeterDescription meter;
    meter.address = address;
    meter.id = *IdTextToBytes(QString::fromLatin1(id));
    meter.telegrams = {*BuildLongFrame(0x08, 5, 0x72,
                                       QByteArray::fromHex("78563412 2440 01 07 55 00 0000 "
                                                           "0413 E8030000"))};
    meter.replyDelayMs = 20;
    return meter;
}

inline BusDescription Bus(std::vector<MeterDescription> meters, bool echo = false) {
    BusDescription bus;
    bus.echo = echo;
    bus.meters = std::move(meters);
    return bus;
}

} // namespace quorven::sim::test
