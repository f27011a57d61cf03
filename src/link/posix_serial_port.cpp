// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/posix_serial_port.h"

#include "link/custom_baud.h"
#include "link/device_access.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace quorven {

namespace {

struct SpeedRow {
    qint32 rate;
    speed_t speed;
};

constexpr std::array<SpeedRow, 12> kSpeeds{{
    {300, B300},
    {600, B600},
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {150, B150},
    {110, B110},
}};

constexpr std::size_t kReadChunk = 4096;
// Bytes kept for the reader before further bytes are dropped as an overrun.
constexpr qsizetype kReceiveLimit = 65536;
// Bytes queued for a slow line before a write is refused.
constexpr qsizetype kTransmitLimit = 65536;

tcflag_t DataBitsFlag(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

int RetryOnInterrupt(const auto& call) {
    int result = 0;
    do {
        result = static_cast<int>(call());
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

PosixSerialPort::PosixSerialPort(QString name, QString device)
    : name_(std::move(name)), device_(std::move(device)) {}

PosixSerialPort::~PosixSerialPort() {
    *alive_ = false;
    close();
}

void PosixSerialPort::fail(const QString& what, int error) {
    throw PortError(
        QStringLiteral("%1 (%2) %3: %4").arg(name_, device_, what, qt_error_string(error)));
}

void PosixSerialPort::open() {
    if (isOpen()) {
        return;
    }
    const QByteArray path = QFile::encodeName(device_);
    const int fd = RetryOnInterrupt(
        [&] { return ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) {
        const int error = errno;
        // "Permission denied" is followed by what the user can do about it.
        const QString hint = AccessDeniedHint(device_, error);
        if (!hint.isEmpty()) {
            throw PortError(QStringLiteral("%1 (%2) cannot be opened: %3; %4")
                                .arg(name_, device_, qt_error_string(error), hint));
        }
        fail(QStringLiteral("cannot be opened"), error);
    }
    termios probe{};
    if (::tcgetattr(fd, &probe) != 0) {
        const int error = errno;
        ::close(fd);
        fail(QStringLiteral("is not a serial port"), error);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        fail(QStringLiteral("is in use"), error);
    }
    ::ioctl(fd, TIOCEXCL);
    fd_ = fd;
    broken_ = false;
    int error = 0;
    if (const LineSettingsResult r = applyLineSettings(error); r != LineSettingsResult::Applied) {
        close();
        failLineSettings(r, error);
    }
    applyModemLine(TIOCM_DTR, dtr_);
    applyModemLine(TIOCM_RTS, rts_);
    ::tcflush(fd_, TCIOFLUSH);
    counters_ = readCounters();

    readNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, [this] { onReadable(); });
    writeNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, [this] { onWritable(); });
}

void PosixSerialPort::stopNotifiers() {
    // The port may be closed from inside a notifier's signal (a fault, or a
    // handler that closes it): the notifiers go when the event loop is back.
    for (auto* notifier : {&readNotifier_, &writeNotifier_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->disconnect();
            notifier->release()->deleteLater();
        }
    }
}

void PosixSerialPort::close() {
    if (!isOpen()) {
        return;
    }
    stopNotifiers();
    ::close(fd_);
    fd_ = -1;
    received_.clear();
    pendingOutput_.clear();
    parser_.reset();
    counters_.reset();
    broken_ = false;
}

PosixSerialPort::LineSettingsResult PosixSerialPort::applyLineSettings(int& error) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        error = errno;
        return LineSettingsResult::Refused;
    }
    // Raw bytes; errors marked in the data, breaks as FF 00 00, a real FFh as FF FF.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY);
    t.c_iflag |= INPCK | PARMRK;
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL | DataBitsFlag(settings_.dataBits);
    if (settings_.parity != Parity::None) {
        t.c_cflag |= PARENB;
        if (settings_.parity == Parity::Odd) {
            t.c_cflag |= PARODD;
        }
    }
    if (settings_.stopBits == 2) {
        t.c_cflag |= CSTOPB;
    }
    // One byte makes a read return; with O_NONBLOCK an empty line gives EAGAIN
    // and a hung-up line 0, so the two can be told apart.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    const auto row = std::find_if(kSpeeds.begin(), kSpeeds.end(), [this](const SpeedRow& r) {
        return r.rate == settings_.baudRate;
    });
    if (row != kSpeeds.end()) {
        ::cfsetispeed(&t, row->speed);
        ::cfsetospeed(&t, row->speed);
    }
    // A pseudo-terminal refuses some changes on an open port (EINVAL); the
    // settings were applied before it was opened as well. A driver may also
    // take only part of them and still succeed, so the rate is read back.
    const bool set = ::tcsetattr(fd_, TCSANOW, &t) == 0;
    const int setError = set ? EINVAL : errno;
    if (!set && setError != EINVAL) {
        error = setError;
        return LineSettingsResult::Refused;
    }
    if (row == kSpeeds.end()) {
        errno = 0;
        if (!SetCustomBaudRate(fd_, settings_.baudRate)) {
            error = errno != 0 ? errno : EINVAL;
            return LineSettingsResult::RateRefused;
        }
        return LineSettingsResult::Applied;
    }
    termios now{};
    if (::tcgetattr(fd_, &now) != 0) {
        error = errno;
        return LineSettingsResult::Refused;
    }
    if (::cfgetospeed(&now) != row->speed) {
        error = setError;
        return LineSettingsResult::RateRefused;
    }
    return LineSettingsResult::Applied;
}

void PosixSerialPort::failLineSettings(LineSettingsResult result, int error) {
    if (result == LineSettingsResult::RateRefused) {
        fail(QStringLiteral("refuses %1 baud").arg(settings_.baudRate), error);
    }
    fail(QStringLiteral("refuses the line settings"), error);
}

void PosixSerialPort::setLineSettings(const LineSettings& settings) {
    settings_ = settings;
    if (!isOpen()) {
        return;
    }
    int error = 0;
    if (const LineSettingsResult r = applyLineSettings(error); r != LineSettingsResult::Applied) {
        failLineSettings(r, error);
    }
}

void PosixSerialPort::applyModemLine(int bit, bool on) {
    if (isOpen()) {
        // Pseudo-terminals and some adapters have no modem lines; that is no fault.
        ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit);
    }
}

void PosixSerialPort::setDtr(bool on) {
    dtr_ = on;
    applyModemLine(TIOCM_DTR, on);
}

void PosixSerialPort::setRts(bool on) {
    rts_ = on;
    applyModemLine(TIOCM_RTS, on);
}

std::optional<PosixSerialPort::Counters> PosixSerialPort::readCounters() const {
#if defined(__linux__) && defined(TIOCGICOUNT)
    serial_icounter_struct count{};
    if (::ioctl(fd_, TIOCGICOUNT, &count) == 0) {
        const auto u = [](int v) { return static_cast<std::uint64_t>(static_cast<unsigned>(v)); };
        return Counters{u(count.frame), u(count.parity), u(count.brk),
                        u(count.overrun) + u(count.buf_overrun)};
    }
#endif
    return std::nullopt;
}

qint64 PosixSerialPort::write(const QByteArray& bytes) {
    if (!isOpen() || broken_) {
        return -1;
    }
    if (pendingOutput_.size() + bytes.size() > kTransmitLimit) {
        return -1;
    }
    if (!pendingOutput_.isEmpty()) {
        pendingOutput_.append(bytes);
        return bytes.size();
    }
    const int written = RetryOnInterrupt(
        [&] { return ::write(fd_, bytes.constData(), static_cast<std::size_t>(bytes.size())); });
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        return -1;
    }
    const qsizetype done = std::max(written, 0);
    if (done < bytes.size()) {
        pendingOutput_ = bytes.mid(done);
        writeNotifier_->setEnabled(true);
    }
    return bytes.size();
}

void PosixSerialPort::onWritable() {
    if (!isOpen() || pendingOutput_.isEmpty()) {
        if (writeNotifier_) {
            writeNotifier_->setEnabled(false);
        }
        return;
    }
    const int written = RetryOnInterrupt([&] {
        return ::write(fd_, pendingOutput_.constData(),
                       static_cast<std::size_t>(pendingOutput_.size()));
    });
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        broken_ = true;
        pendingOutput_.clear();
        writeNotifier_->setEnabled(false);
        // The rest of the telegram is lost: whoever waits for its answer is told.
        if (onWriteFailed) {
            onWriteFailed();
        }
        return;
    } else if (written > 0) {
        pendingOutput_.remove(0, written);
    }
    if (pendingOutput_.isEmpty()) {
        writeNotifier_->setEnabled(false);
    }
}

QByteArray PosixSerialPort::read(qint64 maxCount) {
    const qsizetype n = std::clamp<qint64>(maxCount, 0, received_.size());
    QByteArray out = received_.left(n);
    received_.remove(0, n);
    return out;
}

void PosixSerialPort::onReadable() {
    std::array<std::uint8_t, kReadChunk> chunk{};
    QByteArray data;
    std::vector<ParmrkParser::Mark> marks;
    bool gone = false;
    int goneError = 0;
    for (;;) {
        const int n = RetryOnInterrupt([&] { return ::read(fd_, chunk.data(), chunk.size()); });
        if (n > 0) {
            parser_.feed(std::span(chunk.data(), static_cast<std::size_t>(n)), data, marks);
            if (static_cast<std::size_t>(n) == chunk.size()) {
                continue;
            }
            break;
        }
        // 0: hung up; an error other than "nothing more": the device went away.
        gone = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        goneError = n == 0 ? EIO : errno;
        break;
    }
    if (gone) {
        // Nothing more will come; writes fail until the port is opened again.
        broken_ = true;
        readNotifier_->setEnabled(false);
    }

    ReceiveErrors errors;
    errors.marks = static_cast<int>(marks.size());
    errors.markedZero = std::any_of(marks.begin(), marks.end(),
                                    [](const ParmrkParser::Mark& m) { return m.byte == 0; });
    if (counters_) {
        if (const auto now = readCounters()) {
            errors.counters = ErrorCountGrowth{
                now->framing - counters_->framing, now->parity - counters_->parity,
                now->breaks - counters_->breaks, now->overruns - counters_->overruns};
            counters_ = now;
        }
    }
    const qsizetype room = kReceiveLimit - received_.size();
    if (data.size() > room) {
        data.truncate(room);
        errors.counters = errors.counters.value_or(ErrorCountGrowth{});
        errors.counters->overruns += 1;
    }
    received_.append(data);

    // Either callback may close or destroy the port; only the fault, when
    // the port is still there and still broken, is told afterwards.
    const qint64 waiting = received_.size();
    const bool haveData = !data.isEmpty();
    const auto alive = alive_;
    if (const auto flags = LineErrorFlagsFor(errors); flags && onLineError) {
        onLineError(*flags);
    }
    if (haveData && onBytesReceived) {
        // A handler may close or destroy the port: the fault is told only
        // when nothing touched it.
        const auto handler = onBytesReceived;
        handler(waiting);
    }
    if (gone && *alive && isOpen() && broken_ && onPortFault) {
        const auto handler = onPortFault;
        handler(
            QStringLiteral("%1 (%2) is gone: %3").arg(name_, device_, qt_error_string(goneError)));
    }
}

void PosixSerialPort::purgeReceive() {
    if (isOpen()) {
        ::tcflush(fd_, TCIFLUSH);
        counters_ = readCounters();
    }
    received_.clear();
    parser_.reset();
}

void PosixSerialPort::purgeTransmit() {
    if (isOpen()) {
        ::tcflush(fd_, TCOFLUSH);
        if (writeNotifier_) {
            writeNotifier_->setEnabled(false);
        }
    }
    pendingOutput_.clear();
}

} // namespace quorven
