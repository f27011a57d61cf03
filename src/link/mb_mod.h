// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/modem_line_reader.h"
#include "link/serial_port.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace quorven {

// What the modem driver is doing.
enum class ModemState : std::uint8_t { Idle, Initialising, Dialling, Answering, HangingUp };

// What the modem driver reports: a recognised response line, or one of its
// time-outs.
enum class ModemEvent : std::uint8_t {
    Ok,
    Connect,
    Busy,
    NoCarrier,
    NoDialTone,
    Error,
    Voice,
    Ring,
    CommandTimeout,
    DialTimeout,
    AnswerTimeout,
};

struct ModemReport {
    ModemEvent event = ModemEvent::Ok;
    // What the driver was doing when it came; the driver is idle again by
    // the time it is reported (except after RING, which ends nothing).
    ModemState state = ModemState::Idle;
    // The response line, trimmed ("CONNECT 2400"); empty for a time-out.
    QString line;
};

// An AT-command modem driver. It talks to the modem through a port only
// while it is attached to one: it writes its commands there and drives the
// port's DTR. It never takes the port's notifications; its owner hands it
// the bytes the modem sends (BytesReceived) while the driver is attached.
//
// Commands and responses are named strings in caret notation ("^M" is CR).
// A response line ends at "RTERM" and is compared after trimming; "CONNECT"
// matches as a prefix. Lines it does not know (the modem's echo of a
// command, for one) are ignored.
//
// Init, Dial and Answer arm one timer (command, dial and answer time-out);
// the matching response or the time-out ends the command. Reports run on
// the one thread, from inside the clock's pumping; a report may reset,
// detach or even destroy the driver.
class TMB_Mod {
public:
    static constexpr qint64 kCommandTimeoutMs = 5000;
    static constexpr qint64 kDefaultDialTimeoutMs = 60000;
    static constexpr qint64 kDefaultAnswerTimeoutMs = 60000;
    // How long Hangup holds DTR off.
    static constexpr qint64 kDtrDropMs = 1000;
    static constexpr std::size_t kStringCount = 15;

    explicit TMB_Mod(Clock& clock);
    ~TMB_Mod();
    TMB_Mod(const TMB_Mod&) = delete;
    TMB_Mod& operator=(const TMB_Mod&) = delete;

    // --- The named strings: "INITCMD", "DIALCMD", "DIALTERM", "HANGUPCMD",
    // "RESETCMD", "ANSWERCMD", "ROK", "RCONNECT", "RBUSY", "RNOCARRIER",
    // "RNODIALTONE", "RERROR", "RVOICE", "RRING", "RTERM" ---

    // The string of that name; empty for a name the driver does not have.
    QString String(const QString& name) const;
    // False, and nothing changes, for a name the driver does not have.
    bool SetString(const QString& name, const QString& value);

    // --- The port; it must outlive the attachment ---

    void Attach(SerialPort* port);
    void Detach();
    bool IsAttached() const { return port_ != nullptr; }
    // While a call is up the driver is detached, but it may still listen:
    // the bytes its owner hands it are read into lines and reported (a lost
    // carrier's "NO CARRIER"), and nothing is written.
    void SetListening(bool on);
    bool IsListening() const { return listening_; }

    // --- Commands; each is false, and the driver idle, when it could not
    // be written (not attached, or the port refused) ---

    // Sends "INITCMD" and waits for its response up to the command time-out.
    bool Init();
    // Sends "DIALCMD", the number and "DIALTERM", and waits up to the dial time-out.
    bool Dial(const QString& number);
    // Sends "ANSWERCMD" and waits up to the answer time-out.
    bool Answer();
    // Drops DTR for kDtrDropMs, waiting through the clock, and raises it
    // again. False when the driver is not attached, or was detached or
    // destroyed meanwhile (DTR then stays off).
    bool Hangup();
    // Stops the timer, forgets a line begun and makes the driver idle.
    void Reset();

    ModemState State() const { return state_; }
    qint64 DialTimeoutMs() const { return dialTimeoutMs_; }
    void SetDialTimeoutMs(qint64 ms) { dialTimeoutMs_ = ms; }
    qint64 AnswerTimeoutMs() const { return answerTimeoutMs_; }
    void SetAnswerTimeoutMs(qint64 ms) { answerTimeoutMs_ = ms; }

    // --- Receiving ---

    // Bytes the modem sent; ignored while the driver is neither attached nor
    // listening.
    void BytesReceived(const QByteArray& bytes);

    std::function<void(const ModemReport&)> onEvent;

private:
    bool Send(const QByteArray& command, ModemState state, qint64 timeoutMs);
    void HandleLine(const QByteArray& line);
    void OnTimeout();
    // Reports, after ending the command waiting when the event ends it.
    void Report(ModemEvent event, const QString& line, bool ends);
    QByteArray Decoded(std::size_t index) const;

    Clock& clock_;
    SerialPort* port_ = nullptr;
    bool listening_ = false;
    std::array<QString, kStringCount> strings_;
    ModemState state_ = ModemState::Idle;
    qint64 dialTimeoutMs_ = kDefaultDialTimeoutMs;
    qint64 answerTimeoutMs_ = kDefaultAnswerTimeoutMs;
    ModemLineReader reader_;
    std::unique_ptr<ClockTimer> timer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quorven
