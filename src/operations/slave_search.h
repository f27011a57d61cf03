// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/operation_context.h"
#include "operations/stx_meters.h"

#include <array>
#include <cstdint>

namespace quorven {

// The searches that fill the slave list with the meters on the bus: by
// primary address (REQ_UD2 to 1..250) and by identification number (the
// wildcard selection narrowed digit by digit). Both run in the same frame: the
// question whether to erase the list, the port and search baud rate of the
// window, and with "2400 + 300" a second pass at 300 baud. Stop ends the
// whole search, both passes.
class SlaveSearch {
public:
    enum class Method { Primary, Secondary };

    SlaveSearch(OperationContext& context, StxMeters& stx) : c_(context), stx_(stx) {}

    // "Cím keresés" and "Gy.sz.keresés": asks "Erase current slave list?";
    // Cancel ends it before anything is sent or shown. Runs inside an
    // operation that has not shown itself busy yet.
    void Search(Method method);

private:
    // One pass over primary addresses 1..250 at the line's baud rate.
    void PAdrSearch();
    // One secondary search at the line's baud rate.
    void IDSearch();

    enum class MaskResult { Done, Split };
    // Mask digits d1..d8 (index 0..7): 0..9 fixed, 0Fh wildcard.
    using Mask = std::array<std::uint8_t, 8>;

    void Pass(Method method);
    void SearchNr();
    MaskResult TestMask(const Mask& mask);
    // The selection of a mask test: its answer class.
    std::uint8_t SelectMask(const IdBytes& bytes, const QString& maskText, bool enhanced);
    void AddFoundSlave(const QString& addressText, bool stxCheck);
    void Broadcast(bool sndNke, std::uint8_t address, std::uint16_t pauseMs);

    OperationContext& c_;
    StxMeters& stx_;
    Options o_; // as the search took them at its start
};

} // namespace quorven
