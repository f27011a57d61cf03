// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/line_error_flags.h"
#include "link/parmrk_parser.h"
#include "link/serial_port.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QSocketNotifier;

namespace quorven {

// The system's serial port on a POSIX terminal device. The port owns the line
// discipline: parity checking is on and the driver marks every byte received
// with an error in the data (PARMRK) instead of dropping it, so that answer
// collisions show as line errors rather than as silence. The marks are taken
// out of the data and reported through onLineError; where the driver keeps
// error counters they tell framing, parity and break apart.
//
// Notifications come from a socket notifier, that is from the event loop of
// the thread the port lives on, never from inside a call to the port.
class PosixSerialPort final : public SerialPort {
public:
    // name is the port name the user sees, device the path opened.
    PosixSerialPort(QString name, QString device);
    ~PosixSerialPort() override;

    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    void open() override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }

    void setLineSettings(const LineSettings& settings) override;
    LineSettings lineSettings() const override { return settings_; }

    qint64 write(const QByteArray& bytes) override;
    QByteArray read(qint64 maxCount) override;
    qint64 bytesAvailable() const override { return received_.size(); }
    void purgeReceive() override;
    void purgeTransmit() override;

    void setDtr(bool on) override;
    void setRts(bool on) override;

    // Whether the driver keeps receive-error counters (known once open).
    bool hasErrorCounters() const { return counters_.has_value(); }
    const QString& device() const { return device_; }

private:
    struct Counters {
        std::uint64_t framing;
        std::uint64_t parity;
        std::uint64_t breaks;
        std::uint64_t overruns;
    };

    enum class LineSettingsResult { Applied, Refused, RateRefused };

    [[noreturn]] void fail(const QString& what, int error);
    [[noreturn]] void failLineSettings(LineSettingsResult result, int error);
    // On failure, error is the system's error number.
    LineSettingsResult applyLineSettings(int& error);
    void applyModemLine(int bit, bool on);
    std::optional<Counters> readCounters() const;
    void onReadable();
    void onWritable();
    void stopNotifiers();

    QString name_;
    QString device_;
    LineSettings settings_;
    bool dtr_ = false;
    bool rts_ = false;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    ParmrkParser parser_;
    QByteArray received_;
    QByteArray pendingOutput_;
    std::optional<Counters> counters_;
    bool broken_ = false; // the device went away; writes fail until reopened
    // Shared with a notification being delivered, which checks it before
    // touching the port again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quorven
