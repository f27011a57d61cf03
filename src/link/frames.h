// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ident_text.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace quorven {

// Addresses with a meaning of their own.
inline constexpr std::uint8_t kSelectedSlaveAddress = 0xFD; // 253
// Answered by every slave: the test address of the read-out and the slave commands.
inline constexpr std::uint8_t kTestAddress = 0xFE;      // 254
inline constexpr std::uint8_t kBroadcastAddress = 0xFF; // 255

// Single character, short and long frame bytes.
inline constexpr std::uint8_t kAckByte = 0xE5;
inline constexpr std::uint8_t kShortStart = 0x10;
inline constexpr std::uint8_t kLongStart = 0x68;
inline constexpr std::uint8_t kStopByte = 0x16;

// User data of a long frame: L = data length + 3 must fit in one byte.
inline constexpr int kMaxUserData = 252;

// CI fields the master sends.
inline constexpr std::uint8_t kCiApplicationReset = 0x50;
inline constexpr std::uint8_t kCiDataSend = 0x51;
inline constexpr std::uint8_t kCiSelect = 0x52;

// C fields, by the frame count bit where it applies.
std::uint8_t ReqUd2Control(bool fcb);
std::uint8_t SndUdControl(bool fcb);
inline constexpr std::uint8_t kSndNkeControl = 0x40;

// 10h C A CS 16h.
QByteArray BuildShortFrame(std::uint8_t control, std::uint8_t address);
// 68h L L 68h C A CI data CS 16h; nothing when data exceeds kMaxUserData bytes.
std::optional<QByteArray> BuildLongFrame(std::uint8_t control, std::uint8_t address,
                                         std::uint8_t ci, const QByteArray& data);

QByteArray BuildReqUd2(std::uint8_t address, bool fcb);
QByteArray BuildSndNke(std::uint8_t address);
std::optional<QByteArray> BuildSndUd(std::uint8_t address, bool fcb, std::uint8_t ci,
                                     const QByteArray& data);
// Control frame with CI 50h.
QByteArray BuildApplicationReset(std::uint8_t address, bool fcb);
// SND_UD to 253 with CI 52h: ID, then manufacturer, version and medium as wildcards.
QByteArray BuildSelectById(const IdBytes& id, bool fcb);

// User data of CI 51h: the record 01h 7Ah with the new primary address.
QByteArray SetPrimaryAddressData(std::uint8_t newAddress);
// User data of CI 51h: the record 07h 79h with the new ID, FFh FFh FFh and the medium.
QByteArray SetIdentNumberData(const IdBytes& newId, std::uint8_t medium);

// The checks of an answer long frame, in the order a received frame fails them.
enum class LongFrameFault {
    None,
    TooShort,      // fewer than the 9 bytes of a control frame, or not L + 6 bytes
    LengthsDiffer, // the two L bytes differ
    SecondStart,   // the fourth byte is not 68h
    StopByte,      // the last byte is not 16h
    Checksum,      // the sum from C to the last data byte differs from CS
};
LongFrameFault CheckLongFrame(const QByteArray& frame);

// The 8-bit sum of bytes [from, to) of the frame.
std::uint8_t FrameChecksum(const QByteArray& frame, int from, int to);

} // namespace quorven
