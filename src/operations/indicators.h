// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorven {

// What the operations show while they run, without knowing any widget: the
// busy lamp with its text, the two progress bars, a short note in the status
// bar. The station implements it with its signals.
class Indicators {
public:
    virtual ~Indicators() = default;

    // Red and "foglalt" while busy, green and "szabad" when free.
    virtual void ShowBusy(bool busy) = 0;
    // Bar 1: read-outs and searches; bar 2: the count-down to the next poll.
    virtual void ShowProgress(int bar, int percent) = 0;
    virtual void ShowNote(const QString& text) = 0;
    // Rows were written into the data table: size its columns to the
    // contents and show its last row (the zoom window's too while it is open).
    virtual void DataTableFilled() = 0;
    // Rows were added to the slave list or refreshed: size its columns to the
    // contents and show its last row.
    virtual void SlaveListFilled() = 0;
};

} // namespace quorven
