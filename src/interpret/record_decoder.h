// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The decoder of one data record of a variable-data telegram and its parts.

#include "interpret/record_work.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorven {

// Decodes the record at position p (1-based) and advances p past it. Sets
// work.end when no record starts there (end of data, trailing fillers,
// manufacturer data, a field of unknown length).
void DecodeRecord(const RecordContext& context, std::size_t& p, RecordWork& work);

// Decodes the data field starting at d of the record whose DIF is at dif and
// returns the position after it.
std::size_t DecodeDataField(const RecordContext& context, std::size_t dif, std::size_t d,
                            RecordWork& work);

// The values the special layout keeps at fixed positions beyond byte 84.
void DecodeFixedPosition(const RecordContext& context, std::size_t p, RecordWork& work);

// A telegram byte taken as a character: bytes 80h-FFh are the Latin-1
// characters of the same code, written as UTF-8. Control bytes (a meter's
// NUL padding, say) become blanks, so a decoded text never carries a byte
// that would make a saved table unreadable.
inline void AppendByteCharacter(std::string& text, std::uint8_t byte) {
    if (byte < 0x20 || byte == 0x7F) {
        text += ' ';
    } else if (byte < 0x80) {
        text += static_cast<char>(byte);
    } else {
        text += static_cast<char>(0xC0 | (byte >> 6));
        text += static_cast<char>(0x80 | (byte & 0x3F));
    }
}

} // namespace quorven
