// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/operation_context.h"
#include "operations/stx_meters.h"

#include <QString>

#include <cstdint>

namespace quorven {

// The slave list's commands for one meter or for all: a new primary address
// or identification number (typed into the row's cell first), SND_NKE and
// application reset, the read of address 0, and the meter test. `row` is the
// selected slave-list row (1 = first meter); anything else sends nothing.
// Each runs inside an operation; the options are taken at its start.
class SlaveCommands {
public:
    SlaveCommands(OperationContext& context, StxMeters& stx) : c_(context), stx_(stx) {}

    void SetPaddr1Click(int row);
    void S1Click(int row);
    void SndNke1Click(int row);
    void AppRes1Click(int row);
    void SndNkeAll1Click();
    void AppResAll1Click();
    void ReadPAdr01Click();
    void Testslave1Click(int row);

private:
    enum class Command { SndNke, ApplReset };

    bool IsMeterRow(int row) const;
    QString Cell(int column, int row) const;
    // The selected row's port and baud rate, then 2000 ms.
    void RowSetup(int row);
    // The window's port and search baud rate, one attempt per exchange, then 2000 ms.
    void PanelSetup();
    void Finish();
    void Send(Command command, std::uint8_t address);
    // The selection by identification number, traced and reported, then 200 ms.
    void Select(const IdBytes& id);
    void ToAddress(int row, Command command);
    void ToAll(Command command);
    // Refreshes the row from the meter's answer; false when it gave none.
    bool TestRow(int row, int address);

    OperationContext& c_;
    StxMeters& stx_;
    Options o_;
};

} // namespace quorven
