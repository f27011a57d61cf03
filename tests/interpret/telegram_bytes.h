// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Telegrams for the tests, written as hex text the way the trace shows them.

#include "interpret/interpreter.h"

#include <QByteArray>

#include <span>
#include <string>

namespace quorven::testing {

// A long frame with the given C field and the user data from the A field on,
// with L and the checksum filled in.
inline QByteArray LongFrame(std::uint8_t c, const char* fromAddress) {
    const QByteArray frame = char(c) + QByteArray::fromHex(fromAddress);
    char sum = 0;
    for (char b : frame) {
        sum = static_cast<char>(sum + b);
    }
    const char l = static_cast<char>(frame.size());
    return QByteArray("\x68") + l + l + '\x68' + frame + sum + '\x16';
}

// A variable-data telegram (CI 72h) of address 5 holding the given records.
inline QByteArray VariableTelegram(const std::string& records) {
    return LongFrame(0x08, ("05 72 78563412 B409 01 07 00 00 0000 " + records).c_str());
}

inline void Store(Interpreter& in, const QByteArray& telegram) {
    in.StoreTelegram(std::span(reinterpret_cast<const std::uint8_t*>(telegram.constData()),
                               static_cast<std::size_t>(telegram.size())));
}

} // namespace quorven::testing
