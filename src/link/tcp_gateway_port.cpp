// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tcp_gateway_port.h"

#include <QTcpSocket>

#include <algorithm>
#include <type_traits>

namespace quorven {

namespace {

// Marks a socket signal as being handled while it lives.
class SignalScope {
public:
    explicit SignalScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~SignalScope() { flag_ = before_; }
    SignalScope(const SignalScope&) = delete;
    SignalScope& operator=(const SignalScope&) = delete;

private:
    bool& flag_;
    bool before_;
};

static_assert(std::is_nothrow_destructible_v<SignalScope>);

} // namespace

TcpGatewayPort::TcpGatewayPort(Clock& clock, QString name, GatewayAddress address,
                               GatewayNotices notices)
    : clock_(clock), name_(std::move(name)), address_(std::move(address)),
      notices_(std::move(notices)) {}

TcpGatewayPort::~TcpGatewayPort() {
    *alive_ = false;
    dropSocket();
}

QString TcpGatewayPort::where() const {
    return QStringLiteral("%1 (tcp://%2)").arg(name_, address_.hostAndPort());
}

void TcpGatewayPort::open() {
    if (isOpen()) {
        return;
    }
    dropSocket();
    received_.clear();
    socket_ = std::make_unique<QTcpSocket>();
    socket_->setReadBufferSize(kBufferLimit);
    QTcpSocket* socket = socket_.get();
    QObject::connect(socket, &QTcpSocket::connected, [this] {
        if (state_ == State::Connecting) {
            state_ = State::Connected;
        }
    });
    QObject::connect(socket, &QTcpSocket::readyRead, [this] { onReadyRead(); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, [this] { onSocketError(); });
    QObject::connect(socket, &QTcpSocket::disconnected, [this] { onDisconnected(); });
    state_ = State::Connecting;
    socket->connectToHost(address_.host, address_.port);

    const QString where = this->where();
    const auto alive = alive_;
    bool late = false;
    const auto deadline = clock_.callAfter(kConnectTimeoutMs, [&late] { late = true; });
    clock_.pumpUntil([&] { return !*alive || late || state_ != State::Connecting; });
    if (!*alive) {
        throw PortError(where + QStringLiteral(" was closed while connecting"));
    }
    if (state_ == State::Connected) {
        // Telegrams are small and wait for their answer: send each at once.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return;
    }
    QString reason = failure_;
    if (state_ == State::Connecting) {
        reason = QStringLiteral("no connection within %1 s").arg(kConnectTimeoutMs / 1000);
    } else if (state_ == State::Closed) {
        reason = QStringLiteral("closed while connecting");
    }
    dropSocket();
    state_ = State::Closed;
    throw PortError(where + QStringLiteral(" cannot be opened: ") + reason);
}

void TcpGatewayPort::dropSocket() {
    if (!socket_) {
        return;
    }
    socket_->disconnect();
    socket_->abort();
    if (inSignal_) {
        // The socket is still emitting: it goes when the event loop is back.
        socket_.release()->deleteLater();
    } else {
        socket_.reset();
    }
}

void TcpGatewayPort::close() {
    dropSocket();
    state_ = State::Closed;
    received_.clear();
}

qint64 TcpGatewayPort::write(const QByteArray& bytes) {
    if (!isOpen() || socket_->bytesToWrite() + bytes.size() > kBufferLimit) {
        return -1;
    }
    if (address_.baud && settings_.baudRate != *address_.baud && notices_.speedIgnored) {
        notices_.speedIgnored(
            QStringLiteral("%1: %2 baud not set: the gateway runs the bus at %3 baud")
                .arg(where())
                .arg(settings_.baudRate)
                .arg(*address_.baud));
    }
    // Queued here; the event loop sends it while the link waits for the answer.
    return socket_->write(bytes) == bytes.size() ? bytes.size() : -1;
}

QByteArray TcpGatewayPort::read(qint64 maxCount) {
    const qsizetype n = std::clamp<qint64>(maxCount, 0, received_.size());
    QByteArray out = received_.left(n);
    received_.remove(0, n);
    return out;
}

void TcpGatewayPort::purgeReceive() {
    received_.clear();
    if (isOpen()) {
        socket_->skip(socket_->bytesAvailable());
    }
}

void TcpGatewayPort::onReadyRead() {
    const SignalScope scope(inSignal_);
    QByteArray data = socket_->readAll();
    const qint64 room = kBufferLimit - received_.size();
    const bool overrun = data.size() > room;
    if (overrun) {
        data.truncate(room);
    }
    received_.append(data);
    // Either callback may close the port; look at nothing of it afterwards.
    const qint64 waiting = received_.size();
    const bool haveData = !data.isEmpty();
    if (overrun && onLineError) {
        onLineError(0); // bytes lost: an error of no known kind
    }
    if (haveData && onBytesReceived) {
        onBytesReceived(waiting);
    }
}

void TcpGatewayPort::onSocketError() {
    const SignalScope scope(inSignal_);
    if (state_ == State::Connecting) {
        failure_ = socket_->errorString();
        state_ = State::Failed;
    } else if (state_ == State::Connected) {
        lose(socket_->errorString());
    }
}

void TcpGatewayPort::onDisconnected() {
    const SignalScope scope(inSignal_);
    if (state_ == State::Connected) {
        lose(QStringLiteral("closed by the gateway"));
    }
}

void TcpGatewayPort::lose(const QString& reason) {
    state_ = State::Lost;
    if (onPortFault) {
        const auto handler = onPortFault;
        handler(where() + QStringLiteral(": connection lost: ") + reason);
    }
}

} // namespace quorven
