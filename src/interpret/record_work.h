// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The working values of the one record being decoded, shared by the record
// decoder, the value-information tables and the data-field rules.

#include "interpret/decoded_record.h"

#include <cstddef>
#include <cstdint>

namespace quorven {

class Interpreter;

// How the data field is decoded.
enum class ValueKind : std::uint8_t { Number, Date, DateTime, Hexadecimal };

struct RecordWork {
    // Texts and numbers go here; null while the walk only looks for where
    // the records are, which needs the value kind and the positions alone.
    DecodedRecord* out = nullptr;
    std::uint8_t fieldCode = 0; // low nibble of the DIF
    int exponent = 0;           // DecimalExponent
    ValueKind kind = ValueKind::Number;
    std::size_t cursor = 0;   // offset from the VIF to the next value-information byte
    std::uint8_t current = 0; // the VIF or VIFE being handled
    bool suppress = false;    // set by a manufacturer-specific VIFE
    bool end = false;         // the record walk ends here; no record
    bool more = false;        // manufacturer data with "more records follow"

    bool texts() const { return out != nullptr; }
};

// What one decoder call needs to know about the telegram in the buffer.
struct RecordContext {
    const Interpreter& telegram;
    std::size_t checksumPosition; // L + 5
    bool highByteFirst;
    bool specialLayout;
    // During the walk a record beyond the special layout's regular part ends
    // the walk; when a record is shown it is taken by the fixed positions.
    bool walking;
};

} // namespace quorven
