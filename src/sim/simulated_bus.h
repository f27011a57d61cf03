// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/port_factory.h"
#include "link/serial_port.h"
#include "sim/bus_description.h"
#include "sim/master_frame.h"
#include "sim/simulated_meter.h"
#include "sim/stx_request.h"
#include "sim/wire.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorven::sim {

class SimulatedPort;

// A level converter with meters behind it, on a clock. The master's bytes and
// the meters' answers travel at the wire speed of their baud rates (11 bits a
// character at 8E1 and 8O1); each meter hears only what is sent at its own
// rate, M-Bus frames at 8E1 and STX requests at 8O1 (the other protocol's
// characters reach its receiver as parity errors), and answers after its
// reply delay in the same format. Answers that overlap garble on the wire:
// the master's port receives what a UART makes of the mixed bits, with
// framing and parity errors.
//
// Any number of ports may hang on one bus (the program maps every COM name to
// it); each port must be destroyed before the bus or outlives it unusable.
//
// When the description has a modem, the ports it sits on talk to a modem of
// their own first (SimulatedModem); the bus hears them only through a call.
//
// The description's faults happen on the clock: at its moment an unplugged
// port or dropped connection closes and tells onPortFault, and cannot be
// opened again until the fault is over; a write fault refuses writes.
class SimulatedBus final : public PortFactory {
public:
    SimulatedBus(Clock& clock, BusDescription description);
    ~SimulatedBus() override;
    SimulatedBus(const SimulatedBus&) = delete;
    SimulatedBus& operator=(const SimulatedBus&) = delete;

    // The bus of a meters file; nothing, with the reason in error, when the
    // file cannot be read or is not a valid meters file.
    static std::unique_ptr<SimulatedBus> fromFile(Clock& clock, const QString& path,
                                                  QString* error);
    // The demonstration bus built into the program.
    static std::unique_ptr<SimulatedBus> demo(Clock& clock);

    // A new port on this bus; name is what its errors call it ("COM3").
    std::unique_ptr<SerialPort> createPort(const QString& name) override;

    const BusDescription& description() const { return description_; }
    int meterCount() const { return static_cast<int>(meters_.size()); }
    const SimulatedMeter& meter(int index) const {
        return meters_.at(static_cast<std::size_t>(index));
    }

    // Told every command line a modem hears, every answer it says, and every
    // DTR change and hang-up it sees ("heard ATDT5551234^M", "said CONNECT
    // 2400", "dtr off", "hung up"). It must not touch the bus or its ports.
    std::function<void(const QString&)> onModemTrace;

private:
    friend class SimulatedPort;

    // The meters that listen at one baud rate and parity share one receiver:
    // M-Bus frames at even parity, STX requests at odd parity.
    struct Listeners {
        qint32 baud = 0;
        Parity parity = Parity::Even;
        UartReceiver receiver;
        MasterFrameAssembler assembler;
        StxRequestAssembler stxAssembler;
        std::vector<std::size_t> meters;
    };
    struct Notice {
        int port = 0;
        std::vector<std::uint8_t> lineErrors;
    };

    Tick nowTick() const { return clock_.now() * kTicksPerMs; }
    void attach(SimulatedPort* port);
    void detach(SimulatedPort* port);
    SimulatedPort* portById(int id) const;
    void transmit(SimulatedPort& port, const QByteArray& bytes);
    // Puts bytes on the wire to the meters, with the converter's echo.
    void sendToMeters(Transmission sent);
    void cutTransmission(SimulatedPort& port);
    bool hasModem(const QString& portName) const;

    // Moves the wire on to now: modems and meters hear and answer, ports receive.
    void run();
    void modemsHearPorts(Tick now);
    void modemsHearBus(Tick now);
    // What a port receives from: its modem, or the bus itself.
    const WireLine& lineToPort(const SimulatedPort& port) const;
    void join(std::size_t meter, Parity parity, Tick now);
    void metersHear(Tick now);
    void hearFrame(const Listeners& group, const MasterFrame& frame);
    void hearStx(const Listeners& group, const StxRequest& request);
    std::vector<Notice> portsReceive(Tick now);
    void deliver(const std::vector<Notice>& notices);
    void forgetPast(Tick now);
    void schedule();

    // A fault's moment has come: open ports it unplugs or drops fail.
    void startFault(std::size_t index);
    bool faultActive(const FaultDescription& fault, const QString& portName) const;
    // Why the port cannot be opened now, when it cannot.
    std::optional<QString> openRefusal(const QString& portName) const;
    // Whether a write of the port is refused now (a one-write fault is used up).
    bool writeRefused(const QString& portName);

    Clock& clock_;
    BusDescription description_;
    std::vector<SimulatedMeter> meters_;
    std::vector<Listeners> listeners_;
    WireLine toMeters_; // what the master sends
    WireLine toMaster_; // answers, echo and noise
    std::vector<SimulatedPort*> ports_;
    int nextPortId_ = 1;
    std::unique_ptr<ClockTimer> timer_;
    std::vector<std::unique_ptr<ClockTimer>> faultTimers_;
    std::vector<bool> faultUsed_; // a one-write fault has refused its write
};

} // namespace quorven::sim
