// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/mb_mod.h"
#include "operations/operation_context.h"

#include <QString>

#include <functional>
#include <memory>

namespace quorven {

// What a dial sends: the modem's initialisation string (caret notation), the
// number, and whether it is dialled by pulses.
struct ModemNumber {
    QString initString;
    QString number;
    bool pulse = false;
};

// The modem on the link's port: dialling a remote bus, hanging up, and what
// the program does on each of the modem's events. The driver is attached to
// the port (and reads it) only while it talks to the modem; once a call is
// up the link reads the port and hands the driver only the bytes no
// exchange takes, so that a lost carrier is still heard.
//
// Dial and the hang-ups run inside an operation; the events come from the
// event loop, through the guard.
class ModemConnection {
public:
    struct Hooks {
        // Runs an event's handler so that an error is shown, never thrown on.
        std::function<void(const std::function<void()>&)> guard;
        // The modem window's status text, and its dial button's caption.
        std::function<void(const QString&)> showStatus;
        std::function<void(const QString&)> showButton;
        // The call is up: the automatic run goes on.
        std::function<void()> connected;
        // The call could not be made, or was lost: an unattended run ends.
        std::function<void()> failed;
    };

    static const QString kDialCaption;   // "&Dial"
    static const QString kHangupCaption; // "&Hangup"
    static constexpr qint64 kDialTimeoutMs = 60000;

    explicit ModemConnection(OperationContext& context);
    ~ModemConnection();
    ModemConnection(const ModemConnection&) = delete;
    ModemConnection& operator=(const ModemConnection&) = delete;
    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    // The dial from the modem window: on the port selected in the main
    // window, at the search baud rate, with the window's texts.
    void DialFromWindow(const ModemNumber& number);
    // The dial of an automatic run ("/M"): at 2400 baud, and the window is
    // left as it is but for its button.
    void AutomaticDial(const ModemNumber& number);
    // The hang-up from the window: DTR dropped for a second; the port stays open.
    void Hangup();
    // The hang-up at the end of a read-out of a run started with "/M".
    void HangUpAfterReadOut();

    // The port failed (the modem's cable pulled): a call up or being set up
    // is over.
    void PortLost();

    // What the window's dial button does now: dial ("&Dial") or hang up.
    const QString& buttonCaption() const { return caption_; }
    // A dial waits for the modem's initialisation, then for CONNECT or the
    // call's failure; HangupAsked ends the wait, and the dial then hangs up.
    bool dialWaiting() const { return dialWaiting_; }
    void HangupAsked();

    TMB_Mod& modem() { return modem_; }

    // The modem's events, as the program handles them.
    void HandleOk(const ModemReport& report);
    void HandleConnect(const ModemReport& report);
    void HandleBusy(const ModemReport& report);
    void HandleNoCarrier(const ModemReport& report);
    void HandleNoDialTone(const ModemReport& report);
    void HandleError(const ModemReport& report);
    void HandleCommandTimeout(const ModemReport& report);
    void HandleDialTimeout(const ModemReport& report);
    void HandleAnswerTimeout(const ModemReport& report);

private:
    void Dial(const ModemNumber& number, int baudIndex, bool automatic);
    // Waits, pressing "&Hangup" ends the wait, while the modem is in state;
    // false when the connection was destroyed meanwhile.
    bool WaitWhile(ModemState state);
    void OnEvent(const ModemReport& report);
    // The call attempt failed: a line, the status, the button back to "&Dial",
    // the modem idle and off the port.
    void Failure(const QString& line, const QString& status);
    // The driver talks on the port (the port's bytes go to it), or not.
    void Talk(bool on);
    bool DropDtr();
    void SetButton(const QString& caption);
    void ShowStatus(const QString& status);

    OperationContext& c_;
    Hooks hooks_;
    TMB_Mod modem_;
    QString caption_ = kDialCaption;
    bool dialWaiting_ = false;
    bool hangupAsked_ = false;
    // How the last initialisation ended.
    ModemEvent initEnd_ = ModemEvent::Ok;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quorven
