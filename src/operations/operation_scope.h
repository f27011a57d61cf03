// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/indicators.h"
#include "operations/run_state.h"

namespace quorven {

class TMB_Sio;

// How an operation is entered.
enum class Entry {
    // A user's command on the bus (read, poll, log, search, a meter command):
    // refused with a note while another operation runs; it starts with the
    // stop flag clear and shows the lamp red.
    Command,
    // A change of the slave rows (insert, delete, load, clear, de-duplicate,
    // import): refused with a note; the lamp and the stop flag stay as they are.
    TableEdit,
    // A timer's tick (the poll tick, the automatic run): refused without a
    // note, the next tick tries again; the stop flag stays as it is.
    Tick,
};

// One operation's life: entering marks the station busy (at most one
// operation at a time), leaving frees it on every way out. While polling or
// logging goes on and no stop is asked for, the lamp stays red between two
// read-outs; it turns green when the operation ends otherwise, or when it was
// abandoned.
class OperationScope {
public:
    OperationScope(RunState& run, Indicators& indicators, Entry entry);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

    // Whether this scope holds the operation (false: it was refused).
    explicit operator bool() const { return owns_; }

    // An error left the operation: the port is closed unless a modem
    // connection is up, and the station shows itself free.
    void Abandon(TMB_Sio* link);

    static const QString kRefusedNote;

private:
    RunState& run_;
    Indicators& indicators_;
    bool owns_ = false;
    bool showsBusy_ = false;
    bool abandoned_ = false;
};

} // namespace quorven
