// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/frames.h"

#include "interpret/hex.h"

#include <algorithm>

namespace quorven {

namespace {
constexpr std::uint8_t kFcbBit = 0x20;
}

std::uint8_t ReqUd2Control(bool fcb) {
    return fcb ? 0x5B | kFcbBit : 0x5B;
}

std::uint8_t SndUdControl(bool fcb) {
    return fcb ? 0x53 | kFcbBit : 0x53;
}

std::uint8_t FrameChecksum(const QByteArray& frame, int from, int to) {
    const int end = std::min<int>(to, static_cast<int>(frame.size()));
    if (from >= end) {
        return 0;
    }
    return ByteSum(std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()) + from,
                             static_cast<std::size_t>(end - from)));
}

QByteArray BuildShortFrame(std::uint8_t control, std::uint8_t address) {
    QByteArray frame;
    frame.reserve(5);
    frame.append(static_cast<char>(kShortStart));
    frame.append(static_cast<char>(control));
    frame.append(static_cast<char>(address));
    frame.append(static_cast<char>(FrameChecksum(frame, 1, 3)));
    frame.append(static_cast<char>(kStopByte));
    return frame;
}

std::optional<QByteArray> BuildLongFrame(std::uint8_t control, std::uint8_t address,
                                         std::uint8_t ci, const QByteArray& data) {
    if (data.size() > kMaxUserData) {
        return std::nullopt;
    }
    const auto l = static_cast<char>(data.size() + 3);
    QByteArray frame;
    frame.reserve(data.size() + 9);
    frame.append(static_cast<char>(kLongStart));
    frame.append(l);
    frame.append(l);
    frame.append(static_cast<char>(kLongStart));
    frame.append(static_cast<char>(control));
    frame.append(static_cast<char>(address));
    frame.append(static_cast<char>(ci));
    frame.append(data);
    frame.append(static_cast<char>(FrameChecksum(frame, 4, static_cast<int>(frame.size()))));
    frame.append(static_cast<char>(kStopByte));
    return frame;
}

QByteArray BuildReqUd2(std::uint8_t address, bool fcb) {
    return BuildShortFrame(ReqUd2Control(fcb), address);
}

QByteArray BuildSndNke(std::uint8_t address) {
    return BuildShortFrame(kSndNkeControl, address);
}

std::optional<QByteArray> BuildSndUd(std::uint8_t address, bool fcb, std::uint8_t ci,
                                     const QByteArray& data) {
    return BuildLongFrame(SndUdControl(fcb), address, ci, data);
}

QByteArray BuildApplicationReset(std::uint8_t address, bool fcb) {
    return *BuildLongFrame(SndUdControl(fcb), address, kCiApplicationReset, {});
}

QByteArray BuildSelectById(const IdBytes& id, bool fcb) {
    QByteArray data;
    for (std::uint8_t b : id) {
        data.append(static_cast<char>(b));
    }
    data.append(4, static_cast<char>(0xFF));
    return *BuildLongFrame(SndUdControl(fcb), kSelectedSlaveAddress, kCiSelect, data);
}

QByteArray SetPrimaryAddressData(std::uint8_t newAddress) {
    return QByteArray("\x01\x7A", 2) + static_cast<char>(newAddress);
}

QByteArray SetIdentNumberData(const IdBytes& newId, std::uint8_t medium) {
    QByteArray data("\x07\x79", 2);
    for (std::uint8_t b : newId) {
        data.append(static_cast<char>(b));
    }
    data.append(3, static_cast<char>(0xFF));
    data.append(static_cast<char>(medium));
    return data;
}

LongFrameFault CheckLongFrame(const QByteArray& frame) {
    const auto byte = [&frame](int i) { return static_cast<std::uint8_t>(frame[i]); };
    if (frame.size() < 9) {
        return LongFrameFault::TooShort;
    }
    if (byte(1) != byte(2)) {
        return LongFrameFault::LengthsDiffer;
    }
    if (byte(3) != kLongStart) {
        return LongFrameFault::SecondStart;
    }
    const int total = byte(1) + 6;
    if (frame.size() != total) {
        return LongFrameFault::TooShort;
    }
    if (byte(total - 1) != kStopByte) {
        return LongFrameFault::StopByte;
    }
    if (FrameChecksum(frame, 4, total - 2) != byte(total - 2)) {
        return LongFrameFault::Checksum;
    }
    return LongFrameFault::None;
}

} // namespace quorven
