#pragma once

namespace quorven {

// The flags the operations share. Only the station's thread reads and writes
// them.
struct RunState {
    bool busy = false;
    bool stop = false;
    bool polling = false;
    bool logging = false;
    bool singleSlave = false;
    // The zoom window is shown: the filling mirrors every data row into the
    // zoom table.
    bool zoomOpen = false;
    bool modemConnected = false;
};

} // namespace quorven
