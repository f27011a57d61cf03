// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/line_error_flags.h"

#include "link/serial_port.h"

namespace quorven {

std::optional<std::uint8_t> LineErrorFlagsFor(const ReceiveErrors& errors) {
    std::uint8_t flags = 0;
    bool overrun = false;
    if (errors.counters) {
        const ErrorCountGrowth& g = *errors.counters;
        if (g.framing > 0) {
            flags |= LineErrorFlag::Framing;
        }
        if (g.parity > 0) {
            flags |= LineErrorFlag::Parity;
        }
        if (g.breaks > 0) {
            flags |= LineErrorFlag::Break;
        }
        overrun = g.overruns > 0;
    }
    if (errors.marks > 0 && flags == 0) {
        flags = LineErrorFlag::Framing | LineErrorFlag::Parity;
        if (errors.markedZero) {
            flags |= LineErrorFlag::Break;
        }
    }
    if (flags == 0 && !overrun) {
        return std::nullopt;
    }
    return flags;
}

} // namespace quorven
