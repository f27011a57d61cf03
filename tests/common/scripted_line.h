// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A serial line for the tests, on virtual time. It hands out ports (it is a
// port factory) and records what the link layer does with them: opening,
// closing, modem lines, purges and every byte written, each with the virtual
// time. The test schedules bytes and line errors to arrive at given times,
// or reacts to each write (an answering slave). Writes can be made to fail,
// opening and line settings to throw, and the port to fail at a given time.

#include "link/clock.h"
#include "link/port_factory.h"
#include "link/serial_port.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorven::testing {

class ScriptedLine final : public PortFactory {
public:
    explicit ScriptedLine(Clock& clock) : clock_(clock) {}

    std::unique_ptr<SerialPort> createPort(const QString& name) override {
        createdNames.append(name);
        return std::make_unique<Port>(*this, name);
    }

    // --- The script ---

    // Bytes arriving at a virtual time, in one notification (gapMs 0) or one
    // byte every gapMs milliseconds.
    void sendAt(qint64 at, const QByteArray& bytes, qint64 gapMs = 0) {
        if (gapMs <= 0) {
            schedule(at, [this, bytes] { deliver(bytes); });
            return;
        }
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const QByteArray one(1, bytes[i]);
            schedule(at + i * gapMs, [this, one] { deliver(one); });
        }
    }
    void sendAfter(qint64 delayMs, const QByteArray& bytes, qint64 gapMs = 0) {
        sendAt(clock_.now() + delayMs, bytes, gapMs);
    }
    void lineErrorAt(qint64 at, std::uint8_t flags) {
        schedule(at, [this, flags] {
            if (open_ != nullptr && open_->onLineError) {
                open_->onLineError(flags);
            }
        });
    }
    void lineErrorAfter(qint64 delayMs, std::uint8_t flags) {
        lineErrorAt(clock_.now() + delayMs, flags);
    }
    // The open port fails at a virtual time (the device gone); it is closed.
    void faultAt(qint64 at, const QString& text) {
        schedule(at, [this, text] {
            if (open_ != nullptr && open_->onPortFault) {
                log(QStringLiteral("fault"));
                Port* port = open_;
                port->close();
                const auto handler = port->onPortFault;
                handler(text);
            }
        });
    }

    // Called after every successful write, with the bytes written; it may
    // schedule the answer.
    std::function<void(const QByteArray& written)> onWrite;
    bool failWrites = false;
    // The rate the port's far end runs at whatever is set (a gateway's).
    std::optional<qint32> fixedBaud;
    // When not empty, opening throws PortError with this text.
    QString failOpenText;
    // When not empty, line settings on an open port throw PortError with this text.
    QString failSettingsText;

    // --- The record ---

    // "<ms> <what>", e.g. "2000 write 10 7B 05 80 16", "0 open COM1", "0 rts on".
    QStringList events;
    QStringList createdNames;

    // Line settings of the port last created.
    LineSettings settings() const { return last_ != nullptr ? last_->settings : LineSettings{}; }
    bool isOpen() const { return open_ != nullptr; }

private:
    class Port final : public SerialPort {
    public:
        Port(ScriptedLine& line, QString name) : line_(line), name_(std::move(name)) {
            line_.last_ = this;
        }
        ~Port() override {
            if (line_.open_ == this) {
                line_.open_ = nullptr;
            }
            if (line_.last_ == this) {
                line_.last_ = nullptr;
            }
        }

        void open() override {
            if (!line_.failOpenText.isEmpty()) {
                throw PortError(line_.failOpenText);
            }
            line_.log(QStringLiteral("open ") + name_);
            line_.open_ = this;
        }
        void close() override {
            if (line_.open_ == this) {
                line_.log(QStringLiteral("close ") + name_);
                line_.open_ = nullptr;
                received.clear();
            }
        }
        bool isOpen() const override { return line_.open_ == this; }
        void setLineSettings(const LineSettings& s) override {
            if (isOpen() && !line_.failSettingsText.isEmpty()) {
                throw PortError(line_.failSettingsText);
            }
            settings = s;
        }
        LineSettings lineSettings() const override { return settings; }
        std::optional<qint32> fixedBaudRate() const override { return line_.fixedBaud; }
        qint64 write(const QByteArray& bytes) override {
            if (!isOpen() || line_.failWrites) {
                line_.log(QStringLiteral("write failed"));
                return -1;
            }
            line_.log(QStringLiteral("write ") + Hex(bytes));
            if (line_.onWrite) {
                line_.onWrite(bytes);
            }
            return bytes.size();
        }
        QByteArray read(qint64 maxCount) override {
            const QByteArray out = received.left(maxCount);
            received.remove(0, out.size());
            return out;
        }
        qint64 bytesAvailable() const override { return received.size(); }
        void purgeReceive() override {
            line_.log(QStringLiteral("purge rx"));
            received.clear();
        }
        void purgeTransmit() override { line_.log(QStringLiteral("purge tx")); }
        void setDtr(bool on) override { line_.log(QStringLiteral("dtr ") + OnOff(on)); }
        void setRts(bool on) override { line_.log(QStringLiteral("rts ") + OnOff(on)); }

        LineSettings settings;
        QByteArray received;

    private:
        static QString OnOff(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }

        ScriptedLine& line_;
        QString name_;
    };

    static QString Hex(const QByteArray& bytes) {
        return QString::fromLatin1(bytes.toHex(' ').toUpper());
    }

    void log(const QString& what) { events.append(QString::number(clock_.now()) + ' ' + what); }

    void schedule(qint64 at, std::function<void()> action) {
        timers_.push_back(clock_.callAfter(at - clock_.now(), std::move(action)));
    }

    // Bytes reach only an open port, as on a real line.
    void deliver(const QByteArray& bytes) {
        if (open_ == nullptr) {
            return;
        }
        open_->received.append(bytes);
        if (open_->onBytesReceived) {
            open_->onBytesReceived(open_->received.size());
        }
    }

    Clock& clock_;
    Port* open_ = nullptr;
    Port* last_ = nullptr;
    std::vector<std::unique_ptr<ClockTimer>> timers_;
};

} // namespace quorven::testing
