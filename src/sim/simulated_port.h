// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"
#include "sim/wire.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace quorven::sim {

class SimulatedBus;
class SimulatedModem;

// A serial port with a level converter behind it that hangs on a simulated
// bus. What it writes travels at the wire speed of its line settings; what the
// meters send arrives character by character as a UART at its settings
// receives it, line errors included. A port the bus gives a modem talks to
// the modem instead, and reaches the bus only through a call.
class SimulatedPort final : public SerialPort {
public:
    SimulatedPort(SimulatedBus& bus, QString name, int id);
    ~SimulatedPort() override;
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    void open() override;
    void close() override;
    bool isOpen() const override { return receiver_.has_value(); }
    void setLineSettings(const LineSettings& settings) override;
    LineSettings lineSettings() const override { return settings_; }
    qint64 write(const QByteArray& bytes) override;
    QByteArray read(qint64 maxCount) override;
    qint64 bytesAvailable() const override { return received_.size(); }
    void purgeReceive() override { received_.clear(); }
    void purgeTransmit() override;
    void setDtr(bool on) override;
    void setRts(bool on) override { rts_ = on; }

    const QString& name() const { return name_; }
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }

    // Bytes a port keeps before it drops further ones; a lost byte is
    // reported as a line error without flags (an overrun, an "other" error).
    static constexpr qsizetype kReceiveBufferBytes = 64 * 1024;

private:
    friend class SimulatedBus;

    SimulatedBus* bus_;
    QString name_;
    int id_;
    LineSettings settings_;
    bool dtr_ = false;
    bool rts_ = false;
    void tellModemDtr();

    std::optional<UartReceiver> receiver_; // present while open
    std::unique_ptr<SimulatedModem> modem_;
    QByteArray received_;
    Tick transmitUntil_ = 0;
};

} // namespace quorven::sim
