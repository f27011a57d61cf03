// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "sim/bus_description.h"
#include "sim/wire.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorven::sim {

// A modem between one port and the bus, with the far modem of its calls.
//
// Towards the port it talks at the port's own line settings. In command mode
// it echoes what it hears (E1, as after &F or Z; E0 turns the echo off),
// takes a command line from "AT" to CR and answers "OK", or an outcome for
// a dial command ("ATD", "T" or "P", the number). Each answer is a line
// between CR LF pairs, as a modem in verbose mode sends it. Anything heard
// while it dials aborts the call with "NO CARRIER".
//
// Once connected, every byte from the port goes onto the bus at the far
// modem's rate (8E1) as soon as it is complete, and what the far modem hears
// on the bus comes back at the port's settings; parity and framing errors
// on the bus are not passed on, only the bytes as received. DTR falling ends
// a call or a dial without an answer and returns to command mode; a carrier
// lost ends a call with "NO CARRIER".
class SimulatedModem {
public:
    // changed: the modem put something on a line from a timer of its own.
    // trace: one line for every command line heard (its bytes, control
    // characters in caret notation), answer said and DTR change.
    SimulatedModem(Clock& clock, ModemDescription description, int busOwner,
                   std::function<void()> changed, std::function<void(const QString&)> trace);
    ~SimulatedModem();
    SimulatedModem(const SimulatedModem&) = delete;
    SimulatedModem& operator=(const SimulatedModem&) = delete;

    // The port sends on fromDte and receives on toDte.
    WireLine& fromDte() { return fromDte_; }
    const WireLine& toDte() const { return toDte_; }
    void setDteFormat(const LineSettings& format);
    // DTR as the modem sees it: on while the port is open with DTR on.
    void setDtr(bool on);

    // Moves the port side on to now; gives what the far modem sends onto the
    // bus meanwhile.
    std::vector<Transmission> hearDte(Tick now);
    // While a call is up, what the far modem hears on the bus up to now goes
    // on to the port.
    void hearBus(const WireLine& bus, Tick now);
    // When the next character heard on either side is complete.
    std::optional<Tick> nextDue(const WireLine& bus) const;
    // Where the far modem listens on the bus, while a call is up.
    std::optional<Tick> busPosition() const;
    // Forgets what was sent to the port before portPosition.
    void forgetBefore(Tick portPosition);

    bool isOnline() const { return mode_ == Mode::Online; }

private:
    enum class Mode { Command, Dialling, Online };

    Tick nowTick() const;
    void hearCommandByte(const ReceivedCharacter& character);
    void execute(const QByteArray& line);
    void dial(const QByteArray& dialString);
    void await(const QString& answer, qint64 afterMs, bool connects);
    void onTimer();
    void say(const QString& answer);
    void sendToDte(Tick from, const QByteArray& bytes);
    void endCall();

    Clock& clock_;
    ModemDescription description_;
    int busOwner_;
    std::function<void()> changed_;
    std::function<void(const QString&)> trace_;
    LineSettings dteFormat_;
    LineSettings farFormat_;
    WireLine fromDte_;
    WireLine toDte_;
    UartReceiver dteReceiver_;
    std::optional<UartReceiver> farReceiver_; // while a call is up
    Tick toDteUntil_ = 0;
    Tick toBusUntil_ = 0;
    Mode mode_ = Mode::Command;
    bool dtr_ = false;
    bool echo_ = true;
    QByteArray commandLine_;
    bool commandTooLong_ = false;
    // What the dial under way ends with, when the timer fires.
    QString pendingAnswer_;
    bool pendingConnects_ = false;
    std::unique_ptr<ClockTimer> timer_;
};

} // namespace quorven::sim
