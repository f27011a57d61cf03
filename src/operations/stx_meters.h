// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/operation_context.h"
#include "operations/stx_values.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quorven {

// The meters of the STX register protocol: identifying one and reading its
// values into the data table, in the columns of the M-Bus rows. Runs inside
// an operation that holds the station.
class StxMeters {
public:
    explicit StxMeters(OperationContext& context) : ctx_(context) {}

    // Wakes the meter at `address` and reads its three identification blocks,
    // tracing every request and printing what it takes from them. True when
    // all three were answered. Every call starts from a blank description in
    // the standard variant.
    bool STXTest(std::uint8_t address);

    // Reads the meter at `address` (1-254) into the data table: one row per
    // selected value (Check_Dataset; rows are numbered as written), an
    // "error" row for the first selected value of a block that failed, and
    // the error word. True when the slave counts as read: STXTest succeeded
    // and every request was answered, so no row says "error" and no selected
    // row is missing.
    bool STXToGrid(std::uint8_t address);

    // What the last STXTest learnt.
    const StxMeterDescription& meter() const { return meter_; }

private:
    // An answer of 21 bytes: address, function, count, r0..r7, CRC.
    struct Block {
        std::array<std::uint8_t, kStxAnswerSize> bytes{};
        std::uint8_t byte(int i) const { return bytes[static_cast<std::size_t>(i)]; }
        std::uint16_t r(int k) const {
            return static_cast<std::uint16_t>(byte(3 + 2 * k) * 256 + byte(4 + 2 * k));
        }
        // Two registers, the low one first.
        std::uint32_t pair(int k) const { return r(k) + std::uint32_t{r(k + 1)} * 65536; }
    };
    struct Rows;

    // Waits between requests, asks for the block and traces the exchange;
    // the answer when there was one.
    std::optional<Block> Request(std::uint8_t address, std::uint16_t firstRegister);
    void TakeFields(std::uint16_t firstRegister, const Block& block);
    // Inputs A and B from the power block; unitCodes from block 015Fh when
    // they count pulses.
    void WriteAuxInputs(Rows& rows, const Block& power, std::uint8_t unitCodes, bool counters);
    // The six blocks of stored values; false when one was not answered.
    bool ReadStoredValues(std::uint8_t address, Rows& rows);
    void WriteValueRow(Rows& rows, const StxValue& value, std::string_view description,
                       int storage = 0);
    void WriteErrorRow(Rows& rows, std::string_view description, int storage = 0);
    void WriteErrorWordRow(Rows& rows, std::uint16_t errorWord);
    void WriteCells(Rows& rows, std::span<const GridModel::CellText> cells);

    OperationContext& ctx_;
    StxMeterDescription meter_;
};

} // namespace quorven
