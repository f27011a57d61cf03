// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace quorven {

enum class Parity { None, Even, Odd };

struct LineSettings {
    qint32 baudRate = 2400;
    int dataBits = 8;
    Parity parity = Parity::Even;
    int stopBits = 1;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Flags of a line-error notification.
namespace LineErrorFlag {
inline constexpr std::uint8_t Parity = 0x04;
inline constexpr std::uint8_t Framing = 0x08;
inline constexpr std::uint8_t Break = 0x10;
} // namespace LineErrorFlag

// A port that cannot be opened, or a fault of the port itself. The text names
// the port and the system's reason (UTF-8).
class PortError : public std::runtime_error {
public:
    explicit PortError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// What the link layer needs of a serial port. Backends: the system's serial
// port, a gateway over TCP, the simulated bus, and test doubles.
// Notifications are delivered on the one thread, from inside the clock's
// pumping.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens with the current line settings; throws PortError when it cannot.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Effective at once on an open port, and kept for the next open.
    virtual void setLineSettings(const LineSettings& settings) = 0;
    virtual LineSettings lineSettings() const = 0;
    // The rate the bus runs at whatever the line settings say, for a port
    // whose far end sets the speed itself (a gateway); nothing for a port
    // that runs at its line settings.
    virtual std::optional<qint32> fixedBaudRate() const { return std::nullopt; }

    // The count written, or -1 when the write failed.
    virtual qint64 write(const QByteArray& bytes) = 0;
    // At most maxCount of the bytes that have arrived, at once.
    virtual QByteArray read(qint64 maxCount) = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual void purgeReceive() = 0;
    virtual void purgeTransmit() = 0;

    // Set on a closed port, they are recorded and applied at the next open.
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;

    // Bytes have arrived; the argument is the number waiting.
    std::function<void(qint64 waiting)> onBytesReceived;
    // A receive error; the argument is a set of LineErrorFlag bits.
    std::function<void(std::uint8_t flags)> onLineError;
    // Bytes that write() had accepted (queued for a slow line) could not be
    // sent after all.
    std::function<void()> onWriteFailed;
    // The port itself failed while open: the device went away, or the
    // connection to the gateway broke. Nothing more arrives and writes fail
    // until the port is closed and opened again. The text names the port and
    // says why.
    std::function<void(const QString& reason)> onPortFault;
};

} // namespace quorven
