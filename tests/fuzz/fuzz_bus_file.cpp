// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile meters files: the JSON reader and the file's checks, and when a
// file passes, a few exchanges with the bus it describes.

#include "link/frames.h"
#include "link/stx_frames.h"
#include "link/virtual_clock.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include <cstdint>
#include <cstdlib>

using namespace quorven;
using namespace quorven::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    auto description = ParseBusDescription(json, &error);
    if (!description) {
        if (error.isEmpty()) {
            std::abort(); // every refusal says why
        }
        return 0;
    }
    if (description->meters.size() > 16) {
        return 0;
    }
    VirtualClock clock;
    SimulatedBus bus(clock, std::move(*description));
    auto port = bus.createPort(QStringLiteral("COM1"));
    port->onBytesReceived = [&port](qint64 waiting) { port->read(waiting); };
    port->open();
    for (const MeterDescription& meter : bus.description().meters) {
        port->setLineSettings({meter.baud, 8, Parity::Even, 1});
        port->write(BuildReqUd2(meter.address, true));
        clock.advanceBy(300);
        port->write(BuildSelectById(meter.id, false));
        clock.advanceBy(300);
        port->write(BuildReqUd2(kSelectedSlaveAddress, true));
        clock.advanceBy(300);
        if (meter.stx) {
            port->setLineSettings({meter.baud, 8, Parity::Odd, 1});
            port->write(BuildStxRequest(meter.address, meter.stx->blocks.begin()->first));
            clock.advanceBy(300);
        }
    }
    port->write(BuildReqUd2(254, true));
    clock.advanceBy(5000);
    return 0;
}
