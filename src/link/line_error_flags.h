// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace quorven {

// How much the driver's receive-error counters grew since the last look.
struct ErrorCountGrowth {
    std::uint64_t framing = 0;
    std::uint64_t parity = 0;
    std::uint64_t breaks = 0;
    std::uint64_t overruns = 0;
};

// What was seen in one read of the port.
struct ReceiveErrors {
    int marks = 0;           // bytes marked in the stream as received with an error
    bool markedZero = false; // one of them was 00h, which is also how a break shows
    std::optional<ErrorCountGrowth> counters; // none when the driver keeps no counters
};

// The LineErrorFlag bits to report for one read, or nothing when there was
// no error. The counters tell framing, parity and break apart. Without them
// (or when they did not move) the flags name every error a mark can stand
// for. An overrun alone is reported without flags: an other error.
std::optional<std::uint8_t> LineErrorFlagsFor(const ReceiveErrors& errors);

} // namespace quorven
