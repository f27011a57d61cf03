// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/frames.h"
#include "link/virtual_clock.h"
#include "meters.h"
#include "sim/simulated_bus.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace quorven::sim::test {

// One received byte and the virtual millisecond it arrived at.
struct Arrival {
    qint64 ms = 0;
    std::uint8_t byte = 0;
};

// A master on a simulated bus for the tests: it writes frames, lets virtual
// time run and keeps what came back, when, and with which line errors.
class BusMaster {
public:
    BusMaster(SimulatedBus& bus, VirtualClock& clock, qint32 baud = 2400,
              Parity parity = Parity::Even)
        : clock_(clock), port_(bus.createPort(QStringLiteral("COM1"))) {
        LineSettings settings;
        settings.baudRate = baud;
        settings.parity = parity;
        port_->setLineSettings(settings);
        port_->onBytesReceived = [this](qint64 waiting) {
            const QByteArray bytes = port_->read(waiting);
            for (char b : bytes) {
                arrivals.push_back({clock_.now(), static_cast<std::uint8_t>(b)});
            }
        };
        port_->onLineError = [this](std::uint8_t flags) { lineErrors.push_back(flags); };
        port_->open();
    }

    // Writes the frame, runs virtual time for runMs and gives back the bytes
    // received meanwhile (arrivals and lineErrors keep the details).
    QByteArray send(const QByteArray& frame, qint64 runMs = 1000) {
        arrivals.clear();
        lineErrors.clear();
        port_->write(frame);
        clock_.advanceBy(runMs);
        return received();
    }

    QByteArray received() const {
        QByteArray bytes;
        for (const Arrival& a : arrivals) {
            bytes.append(static_cast<char>(a.byte));
        }
        return bytes;
    }

    SerialPort& port() { return *port_; }

    std::vector<Arrival> arrivals;
    std::vector<std::uint8_t> lineErrors;

private:
    VirtualClock& clock_;
    std::unique_ptr<SerialPort> port_;
};

// A bus of the given meters on virtual time, with a master on it.
struct OnBus {
    explicit OnBus(BusDescription description, qint32 baud = 2400)
        : bus(clock, std::move(description)), master(bus, clock, baud) {}
    VirtualClock clock;
    SimulatedBus bus;
    BusMaster master;
};

} // namespace quorven::sim::test
