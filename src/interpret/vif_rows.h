// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rows of the value-information tables and their lookup: each table is an
// array of rows naming a code range, expanded at compile time into a
// 128-entry index (bit 7 of a code never selects a row).

#include "interpret/record_work.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorven {

// How a row makes the unit text; n is the code minus the row's first code.
enum class UnitRule : std::uint8_t {
    None,         // no unit
    Fixed,        // the row's unit; DecimalExponent := offset + n
    Prefixed,     // SIPrefix(n + offset) + unit; DecimalExponent := the remainder
    Volume,       // as Prefixed with "m^3" + unit, but prefix "m" gives "l", "µ" gives "ml"
    PowerOfTen,   // "*10^" + (n + offset) + unit
    TimeUnit,     // time unit of the two low bits
    LongTimeUnit, // long time unit of the two low bits
};

// How a row sets the value kind (the data field decoding).
enum class KindRule : std::uint8_t {
    Number,
    Hexadecimal,
    DateTime,
    ByDataField,         // date for data field code 2, date and time otherwise
    DateIfTimeField,     // date for data field codes 2, 3, 4, 6, 0Eh, else number
    DateTimeIfTimeField, // date and time for those codes, else number
};

struct VifRow {
    std::uint8_t first;
    std::uint8_t last;
    std::string_view description;
    UnitRule unit = UnitRule::None;
    std::string_view unitText = {};
    std::int8_t offset = 0;
    KindRule kind = KindRule::Number;
};

using RowIndex = std::array<std::uint8_t, 128>;

// Every code maps to the row naming it, or to `fallback`.
template <std::size_t N>
constexpr RowIndex BuildRowIndex(const std::array<VifRow, N>& rows, std::uint8_t fallback) {
    static_assert(N < 256);
    RowIndex index{};
    index.fill(fallback);
    for (std::size_t r = 0; r < N; ++r) {
        for (unsigned code = rows[r].first; code <= rows[r].last; ++code) {
            index[code] = static_cast<std::uint8_t>(r);
        }
    }
    return index;
}

// Sets the value kind, the texts and the exponent of a looked-up row.
void ApplyVifRow(const VifRow& row, std::uint8_t code, RecordWork& work);

} // namespace quorven
