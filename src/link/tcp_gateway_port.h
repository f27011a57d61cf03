// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/gateway_address.h"
#include "link/serial_port.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QTcpSocket;

namespace quorven {

// What a gateway port tells the user (lines for the text area). A connection
// that breaks while the port is open is a fault of the port (onPortFault).
struct GatewayNotices {
    // A telegram goes out while a speed other than the gateway's is asked
    // for. The receiver decides how often it is said.
    std::function<void(const QString&)> speedIgnored;
};

// A transparent M-Bus gateway reached over TCP: the bytes written go to the
// bus, the bus's bytes come back. The gateway runs the bus at its own speed:
// line settings, DTR and RTS change nothing, and the answer time-outs use the
// gateway's speed when the address names it. Collisions cannot show as line
// errors here; they arrive as garbled frames.
//
// open() connects and waits through the clock for at most kConnectTimeoutMs;
// it throws PortError naming host, port and reason. A connection that breaks
// is reported through onPortFault; writes then fail, and the next open
// connects again.
// Received bytes and a lost connection are reported from the event loop,
// never from inside a call to the port.
class TcpGatewayPort final : public SerialPort {
public:
    static constexpr qint64 kConnectTimeoutMs = 5000;
    // Bytes kept for the reader, and queued for sending, before more are refused.
    static constexpr qint64 kBufferLimit = 65536;

    TcpGatewayPort(Clock& clock, QString name, GatewayAddress address, GatewayNotices notices);
    ~TcpGatewayPort() override;
    TcpGatewayPort(const TcpGatewayPort&) = delete;
    TcpGatewayPort& operator=(const TcpGatewayPort&) = delete;

    void open() override;
    void close() override;
    bool isOpen() const override { return state_ == State::Connected; }

    void setLineSettings(const LineSettings& settings) override { settings_ = settings; }
    LineSettings lineSettings() const override { return settings_; }
    std::optional<qint32> fixedBaudRate() const override { return address_.baud; }

    qint64 write(const QByteArray& bytes) override;
    QByteArray read(qint64 maxCount) override;
    qint64 bytesAvailable() const override { return received_.size(); }
    void purgeReceive() override;
    // What the socket has taken cannot be called back.
    void purgeTransmit() override {}

    void setDtr(bool) override {}
    void setRts(bool) override {}

    const GatewayAddress& address() const { return address_; }

private:
    enum class State { Closed, Connecting, Connected, Failed, Lost };

    QString where() const;
    void dropSocket();
    void onReadyRead();
    void onSocketError();
    void onDisconnected();
    void lose(const QString& reason);

    Clock& clock_;
    QString name_;
    GatewayAddress address_;
    GatewayNotices notices_;
    LineSettings settings_;
    State state_ = State::Closed;
    QString failure_; // why the last connect failed
    std::unique_ptr<QTcpSocket> socket_;
    // Set while a socket signal is handled: the socket must outlive the handler.
    bool inSignal_ = false;
    QByteArray received_;
    // Shared with a connect that waits, which checks it before touching the port again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quorven
