// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/answer_header.h"

#include "interpret/interpreter.h"
#include "link/frames.h"

#include <span>

namespace quorven::sim {

namespace {

// Byte positions, 0-based from the first 68h.
constexpr int kAddressAt = 5;
constexpr int kIdAt = 7;
constexpr int kManufacturerAt = 11;
constexpr int kVersionAt = 13;
constexpr int kMediumAt = 14;
constexpr int kVariableHeaderEnd = 19; // access number, status, signature follow the medium
constexpr int kFixedHeaderEnd = 11;

struct Layout {
    bool id = false;
    bool manufacturerVersionMedium = false;
    bool highByteFirst = false;
};

Layout LayoutOf(const QByteArray& frame) {
    Interpreter interpreter;
    interpreter.StoreTelegram(std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                        static_cast<std::size_t>(frame.size())));
    Layout layout;
    const int kind = interpreter.TelegramKind();
    const int size = static_cast<int>(frame.size());
    layout.highByteFirst = interpreter.IsHighByteFirst();
    if (kind == kVariableStructure && size >= kVariableHeaderEnd + 2) {
        layout.id = true;
        layout.manufacturerVersionMedium = true;
    } else if (kind == kFixedStructure && size >= kFixedHeaderEnd + 2) {
        layout.id = true;
    }
    return layout;
}

std::uint8_t At(const QByteArray& frame, int i) {
    return static_cast<std::uint8_t>(frame[i]);
}

// Wire position of byte k (least significant first) of a field of n bytes.
int FieldByte(int at, int n, int k, bool highByteFirst) {
    return highByteFirst ? at + n - 1 - k : at + k;
}

} // namespace

AnswerHeader ReadAnswerHeader(const QByteArray& frame) {
    const Layout layout = LayoutOf(frame);
    AnswerHeader header;
    if (layout.id) {
        IdBytes id{};
        for (int k = 0; k < 4; ++k) {
            id[k] = At(frame, FieldByte(kIdAt, 4, k, layout.highByteFirst));
        }
        header.id = id;
    }
    if (layout.manufacturerVersionMedium) {
        header.manufacturer = static_cast<std::uint16_t>(
            At(frame, FieldByte(kManufacturerAt, 2, 0, layout.highByteFirst)) |
            At(frame, FieldByte(kManufacturerAt, 2, 1, layout.highByteFirst)) << 8);
        header.version = At(frame, kVersionAt);
        header.medium = At(frame, kMediumAt);
    }
    return header;
}

QByteArray StampAnswer(QByteArray frame, const MeterIdentity& identity) {
    if (frame.size() < 9) {
        return frame;
    }
    const Layout layout = LayoutOf(frame);
    frame[kAddressAt] = static_cast<char>(identity.address);
    if (layout.id) {
        for (int k = 0; k < 4; ++k) {
            frame[FieldByte(kIdAt, 4, k, layout.highByteFirst)] = static_cast<char>(identity.id[k]);
        }
    }
    if (layout.manufacturerVersionMedium) {
        frame[FieldByte(kManufacturerAt, 2, 0, layout.highByteFirst)] =
            static_cast<char>(identity.manufacturer & 0xFF);
        frame[FieldByte(kManufacturerAt, 2, 1, layout.highByteFirst)] =
            static_cast<char>(identity.manufacturer >> 8);
        frame[kVersionAt] = static_cast<char>(identity.version);
        frame[kMediumAt] = static_cast<char>(identity.medium);
    }
    const int checksumAt = static_cast<int>(frame.size()) - 2;
    frame[checksumAt] = static_cast<char>(FrameChecksum(frame, 4, checksumAt));
    return frame;
}

} // namespace quorven::sim
