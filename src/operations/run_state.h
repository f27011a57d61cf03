// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quorven {

// The flags the operations share. Only the station's thread reads and writes
// them.
struct RunState {
    // An operation holds the station (OperationScope): one at a time.
    bool busy = false;
    bool stop = false;
    bool polling = false;
    bool logging = false;
    // The read-out reads only the selected slave (its row in singleSlaveRow).
    bool singleSlave = false;
    int singleSlaveRow = 0;
    // The zoom window is shown: a read-out also sizes and scrolls its view of
    // the data table.
    bool zoomOpen = false;
    bool modemConnected = false;
    // The unattended run ends with its read-out: the read-out stops the
    // cycle, shows no box (its texts go to the text area) and the program
    // closes.
    bool closeAfterRun = false;
};

} // namespace quorven
