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
    bool singleSlave = false;
    // The zoom window is shown: a read-out also sizes and scrolls its view of
    // the data table.
    bool zoomOpen = false;
    bool modemConnected = false;
};

} // namespace quorven
