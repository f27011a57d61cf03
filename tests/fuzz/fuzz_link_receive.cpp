// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile bytes from the line: the port's error-mark parser and the link
// layer's receiver together. The first byte chooses the operation and how
// the bytes are cut into reads; the rest arrives as the terminal delivers it.

#include "common/scripted_line.h"
#include "link/frames.h"
#include "link/mb_sio.h"
#include "link/parmrk_parser.h"
#include "link/virtual_clock.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace quorven;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::span<const std::uint8_t> stream(data + 1, size - 1);

    VirtualClock clock;
    testing::ScriptedLine line(clock);
    TMB_Sio sio(clock, line);
    sio.SetRetryCount(static_cast<std::uint8_t>(1 + (control & 1)));
    sio.OpenPort();

    // The bytes after every write, in reads of 1..8 bytes 3 ms apart.
    const std::size_t chunk = 1 + ((control >> 1) & 7);
    line.onWrite = [&](const QByteArray&) {
        ParmrkParser parser;
        qint64 at = 20;
        for (std::size_t i = 0; i < stream.size(); i += chunk, at += 3) {
            QByteArray bytes;
            std::vector<ParmrkParser::Mark> marks;
            parser.feed(stream.subspan(i, std::min(chunk, stream.size() - i)), bytes, marks);
            line.sendAfter(at, bytes);
            if (!marks.empty()) {
                line.lineErrorAfter(at, marks.front().byte);
            }
        }
    };

    const std::uint8_t result = (control & 0x10) != 0 ? sio.SndNke(5) : sio.ReqUD2(5);
    if (sio.RxLength() > TMB_Sio::kFrameBufferSize) {
        std::abort();
    }
    if ((result == 0 || result == 240) && (control & 0x10) == 0) {
        // An accepted long frame is whole: equal L bytes, both start bytes, L + 6 bytes, 16h.
        const auto& rx = sio.RxBuffer();
        const int n = sio.RxLength();
        if (n < 7 || rx[0] != kLongStart || rx[1] != rx[2] || rx[3] != kLongStart ||
            n != rx[1] + 6 || rx[static_cast<std::size_t>(n - 1)] != kStopByte) {
            std::abort();
        }
    }
    if (sio.RawHexText().size() > TMB_Sio::kRawHexTextBytes * 3) {
        std::abort();
    }
    return 0;
}
