// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixed data structure (CI 73h/77h): two counters with 6-bit unit codes.

#include "interpret/decoded_record.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quorven {

class Interpreter;

struct FixedCounterUnit {
    std::string_view unitText;
    std::uint16_t divisor;
    std::string_view quantity;
};

// Indexed by the 6-bit unit code.
extern const std::array<FixedCounterUnit, 64> FixedCounterUnits;

// Counter 1 or 2 of the fixed-structure telegram in the buffer.
void DecodeFixedCounter(const Interpreter& telegram, int counter, DecodedRecord& out);

} // namespace quorven
