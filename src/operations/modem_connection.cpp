// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/modem_connection.h"

#include "operations/bus_line.h"
#include "operations/slave_cells.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <type_traits>

namespace quorven {

namespace {

struct EventRow {
    ModemEvent event;
    void (ModemConnection::*handle)(const ModemReport&);
};

// What the program does on each of the modem's events. It has nothing to do
// on RING and VOICE; a dial that VOICE ended is ended by the window's hang-up.
constexpr std::array<EventRow, 9> kEvents{{
    {ModemEvent::Ok, &ModemConnection::HandleOk},
    {ModemEvent::Connect, &ModemConnection::HandleConnect},
    {ModemEvent::Busy, &ModemConnection::HandleBusy},
    {ModemEvent::NoCarrier, &ModemConnection::HandleNoCarrier},
    {ModemEvent::NoDialTone, &ModemConnection::HandleNoDialTone},
    {ModemEvent::Error, &ModemConnection::HandleError},
    {ModemEvent::CommandTimeout, &ModemConnection::HandleCommandTimeout},
    {ModemEvent::DialTimeout, &ModemConnection::HandleDialTimeout},
    {ModemEvent::AnswerTimeout, &ModemConnection::HandleAnswerTimeout},
}};

} // namespace

const QString ModemConnection::kDialCaption = QStringLiteral("&Dial");
const QString ModemConnection::kHangupCaption = QStringLiteral("&Hangup");

ModemConnection::ModemConnection(OperationContext& context) : c_(context), modem_(context.clock) {
    modem_.onEvent = [this](const ModemReport& report) { OnEvent(report); };
    c_.link.SetModemReceiver([this](const QByteArray& bytes) { modem_.BytesReceived(bytes); });
}

// The link's receive mode is put back without a throw.
static_assert(std::is_nothrow_destructible_v<ModemConnection>);

ModemConnection::~ModemConnection() {
    *alive_ = false;
    c_.link.SetModemReceiver({});
    c_.link.SetStrayReceiver({});
    c_.link.SetReceiveMode(ReceiveModes::MBus);
}

// --- Dialling and hanging up ---

void ModemConnection::DialFromWindow(const ModemNumber& number) {
    // "300" and "9600" dial at their rate, "2400" and "2400 + 300" at 2400 baud.
    Dial(number, SearchBaudIndexOf(c_.options.SB_ComboBox), false);
}

void ModemConnection::AutomaticDial(const ModemNumber& number) {
    Dial(number, kBaudIndex2400, true);
}

void ModemConnection::Dial(const ModemNumber& number, int baudIndex, bool automatic) {
    TMB_Sio& link = c_.link;
    // The window's button hangs up from now on, also in an automatic run:
    // a second dial would talk to a modem that is already online.
    SetButton(kHangupCaption);
    try {
        link.SetPort(c_.options.MB1Port_ComboBox);
        link.SetBaud(baudIndex);
        link.SetStopBits1();
        SetSlaveParity(link, c_.options);
        link.OpenPort();
    } catch (...) {
        SetButton(kDialCaption); // no call is being set up
        throw;
    }
    link.SetRts(true);
    link.SetDtr(true);

    Talk(true);
    modem_.SetString(QStringLiteral("INITCMD"), number.initString);
    modem_.SetString(QStringLiteral("DIALCMD"),
                     number.pulse ? QStringLiteral("ATDP") : QStringLiteral("ATDT"));
    modem_.Reset();
    hangupAsked_ = false;
    initEnd_ = ModemEvent::Error; // until the initialisation ends otherwise
    const bool sent = modem_.Init();
    c_.trace.append(QStringLiteral("Init Modem!"));
    if (!automatic) {
        ShowStatus(QStringLiteral("Init Modem"));
    }
    if (!sent) {
        HandleError({});
        return;
    }
    if (!WaitWhile(ModemState::Initialising)) {
        return;
    }
    if (hangupAsked_) {
        Hangup();
        return;
    }
    // Only a modem that took the initialisation, or kept silent, is dialled:
    // after ERROR (or a failure reported meanwhile) the attempt is over.
    if (initEnd_ != ModemEvent::Ok && initEnd_ != ModemEvent::CommandTimeout) {
        return;
    }
    modem_.SetDialTimeoutMs(kDialTimeoutMs);
    if (!modem_.Dial(number.number)) {
        HandleError({});
        return;
    }
    if (automatic) {
        c_.trace.append(QStringLiteral("Dialing ") + number.number + QStringLiteral(" ...!"));
    } else {
        c_.trace.append(QStringLiteral("Dialing...!"));
        ShowStatus(QStringLiteral("Dialing..."));
    }
    // The dial is one operation up to CONNECT or its failure: no exchange
    // talks into the dialling modem meanwhile.
    if (!WaitWhile(ModemState::Dialling)) {
        return;
    }
    if (hangupAsked_) {
        Hangup();
    }
}

bool ModemConnection::WaitWhile(ModemState state) {
    const auto alive = alive_;
    dialWaiting_ = true;
    const auto waited = qScopeGuard([this, alive] {
        if (*alive) {
            dialWaiting_ = false;
        }
    });
    c_.clock.pumpUntil([&] { return !*alive || modem_.State() != state; });
    return *alive;
}

void ModemConnection::PortLost() {
    if (caption_ != kHangupCaption) {
        return;
    }
    c_.run.modemConnected = false;
    Failure(QStringLiteral("Modem port lost!"), QStringLiteral("Port lost"));
}

void ModemConnection::HangupAsked() {
    hangupAsked_ = true;
    modem_.Reset();
}

void ModemConnection::Hangup() {
    SetButton(kDialCaption);
    c_.run.modemConnected = false;
    c_.trace.append(QStringLiteral("Hangup!"));
    ShowStatus(QStringLiteral("Hangup"));
    DropDtr();
    c_.trace.append(QStringLiteral("Idle!"));
    ShowStatus(QStringLiteral("Idle"));
}

void ModemConnection::HangUpAfterReadOut() {
    c_.run.modemConnected = false;
    c_.trace.append(QStringLiteral("Hangup!"));
    const bool done = DropDtr();
    SetButton(kDialCaption);
    c_.trace.append(done ? QStringLiteral("Idle!") : QStringLiteral("Hangup problem!"));
}

bool ModemConnection::DropDtr() {
    Talk(true);
    modem_.Reset();
    const auto alive = alive_;
    const bool done = modem_.Hangup();
    if (*alive) {
        Talk(false);
    }
    return done;
}

void ModemConnection::Talk(bool on) {
    modem_.SetListening(false);
    c_.link.SetStrayReceiver({});
    if (on) {
        modem_.Attach(c_.link.Port());
        c_.link.SetReceiveMode(ReceiveModes::Modem);
    } else {
        modem_.Detach();
        c_.link.SetReceiveMode(ReceiveModes::MBus);
    }
}

// --- Events ---

void ModemConnection::OnEvent(const ModemReport& report) {
    if (report.state == ModemState::HangingUp) {
        return; // what the modem says while DTR is down belongs to the hang-up
    }
    if (report.state == ModemState::Initialising) {
        initEnd_ = report.event;
    }
    const auto row = std::find_if(kEvents.begin(), kEvents.end(),
                                  [&report](const EventRow& r) { return r.event == report.event; });
    if (row == kEvents.end()) {
        return;
    }
    const auto handle = [this, &report, row] { (this->*(row->handle))(report); };
    if (hooks_.guard) {
        hooks_.guard(handle);
    } else {
        handle();
    }
}

void ModemConnection::HandleOk(const ModemReport& report) {
    c_.trace.append(QStringLiteral("Ok!"));
    if (report.state == ModemState::Initialising) {
        c_.trace.append(QStringLiteral("Modem initialized!"));
        ShowStatus(QStringLiteral("Modem initialized"));
    }
    modem_.Reset();
}

void ModemConnection::HandleConnect(const ModemReport& report) {
    c_.trace.append(QStringLiteral("Connect!"));
    c_.trace.append(report.line);
    ShowStatus(QStringLiteral("Connected"));
    // From now on the link reads the port; the driver only listens to what
    // no exchange takes.
    Talk(false);
    modem_.SetListening(true);
    c_.link.SetStrayReceiver([this](const QByteArray& bytes) { modem_.BytesReceived(bytes); });
    c_.run.modemConnected = true;
    if (hooks_.connected) {
        hooks_.connected();
    }
}

void ModemConnection::HandleBusy(const ModemReport&) {
    Failure(QStringLiteral("Busy!"), QStringLiteral("Modem Busy"));
}

void ModemConnection::HandleNoCarrier(const ModemReport&) {
    c_.run.modemConnected = false;
    Failure(QStringLiteral("No Carrier!"), QStringLiteral("No Carrier"));
}

void ModemConnection::HandleNoDialTone(const ModemReport&) {
    Failure(QStringLiteral("No Dial Tone!"), QStringLiteral("No Dial Tone"));
}

void ModemConnection::HandleError(const ModemReport&) {
    Failure(QStringLiteral("Error!"), QStringLiteral("Modem Error"));
}

void ModemConnection::HandleCommandTimeout(const ModemReport&) {
    c_.trace.append(QStringLiteral("Command Timeout!"));
    ShowStatus(QStringLiteral("Command Timeout"));
    modem_.Reset();
}

void ModemConnection::HandleDialTimeout(const ModemReport&) {
    Failure(QStringLiteral("Dial Timeout!"), QStringLiteral("Dial Timeout"));
}

void ModemConnection::HandleAnswerTimeout(const ModemReport&) {
    c_.trace.append(QStringLiteral("Answer Timeout!"));
}

void ModemConnection::Failure(const QString& line, const QString& status) {
    c_.trace.append(line);
    ShowStatus(status);
    SetButton(kDialCaption);
    modem_.Reset();
    Talk(false);
    if (hooks_.failed) {
        hooks_.failed();
    }
}

void ModemConnection::SetButton(const QString& caption) {
    caption_ = caption;
    if (hooks_.showButton) {
        hooks_.showButton(caption);
    }
}

void ModemConnection::ShowStatus(const QString& status) {
    if (hooks_.showStatus) {
        hooks_.showStatus(status);
    }
}

} // namespace quorven
