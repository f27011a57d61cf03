// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "interpret/interpreter.h"
#include "link/trace.h"
#include "operations/options.h"
#include "operations/read_context.h"
#include "tables/tables.h"

#include <cstdint>
#include <span>

namespace quorven {

// Turns the telegram in the interpreter's buffer into data-table rows, at the
// data write position or after the last row as the read context says.
class DataTableFilling {
public:
    DataTableFilling(Interpreter& interpreter, Tables& tables, Trace& trace, const Options& options,
                     ReadContext& context)
        : interpreter_(interpreter), tables_(tables), trace_(trace), options_(options),
          context_(context) {}

    // One row per selected record, then the status row. True when the
    // telegram was valid and held at least one record.
    bool MBusToGrid();
    // The record numbers 1..64 of the current record selection, record n as
    // bit n-1.
    std::uint64_t Check_Dataset() const;

    // The row the next row goes to: the data write position, or the row after
    // the last one; never the header row.
    int NextRow() const;
    // Writes the cells into `row`, growing the table to it when needed.
    void WriteRow(int row, std::span<const GridModel::CellText> cells);

private:
    Interpreter& interpreter_;
    Tables& tables_;
    Trace& trace_;
    const Options& options_;
    ReadContext& context_;
};

} // namespace quorven
