#pragma once

#include "link/frames.h"
#include "sim/bus_description.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorven::sim::test {

inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

inline IdBytes Id(const char* text) {
    return *IdTextToBytes(QString::fromLatin1(text));
}

inline QByteArray Ack() {
    return QByteArray(1, static_cast<char>(kAckByte));
}

// A variable-data answer (CI 72h) of address 5, ID 12345678, manufacturer
// PAD, version 1, medium 7 (water), with one volume record; moreFollow ends
// the records with DIF 1Fh.
inline QByteArray WaterAnswer(std::uint32_t volume, bool moreFollow = false) {
    QByteArray data = QByteArray::fromHex("78563412 2440 01 07 55 00 0000");
    data.append(QByteArray::fromHex("0413"));
    for (int k = 0; k < 4; ++k) {
        data.append(static_cast<char>((volume >> (8 * k)) & 0xFF));
    }
    if (moreFollow) {
        data.append(static_cast<char>(0x1F));
    }
    return *BuildLongFrame(0x08, 5, 0x72, data);
}

inline MeterDescription Meter(std::uint8_t address, const char* id,
                              std::vector<QByteArray> telegrams = {WaterAnswer(1000)},
                              qint32 baud = 2400, double replyDelayMs = 20) {
    MeterDescription meter;
    meter.address = address;
    meter.id = Id(id);
    meter.telegrams = std::move(telegrams);
    meter.baud = baud;
    meter.replyDelayMs = replyDelayMs;
    return meter;
}

inline BusDescription Bus(std::vector<MeterDescription> meters, bool echo = false) {
    BusDescription bus;
    bus.echo = echo;
    bus.meters = std::move(meters);
    return bus;
}

} // namespace quorven::sim::test
