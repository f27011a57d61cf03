// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The value-information tables: the primary VIF table, the two extension
// tables selected by FBh and FDh, and the combinable VIFEs. Each handler
// takes one value-information byte (bit 7 ignored for the row) and works on
// the record's working values.

#include "interpret/record_work.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorven {

struct PrefixSplit {
    std::string_view prefix;
    int remainder; // -2, -1 or 0 inside the table's range
};

// Splits a decimal exponent (-14 to 9) into an SI prefix and the remainder.
PrefixSplit SIPrefix(int exponent);

void ApplyPrimaryVif(std::uint8_t code, RecordWork& work);
void ApplyFirstExtension(std::uint8_t code, RecordWork& work);  // after FBh
void ApplySecondExtension(std::uint8_t code, RecordWork& work); // after FDh

// The VIFE at vif + work.cursor. A manufacturer-specific FFh consumes the
// bytes it shows and moves the cursor to the last of them.
void ApplyCombinableVife(const Interpreter& telegram, std::size_t vif, RecordWork& work);

} // namespace quorven
