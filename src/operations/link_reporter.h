// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/mb_sio.h"
#include "link/trace.h"
#include "operations/prompter.h"

#include <QByteArray>

#include <cstdint>
#include <span>

namespace quorven {

// What the meter operations do around an exchange: write the telegrams into
// the trace, turn the result into a message box or a result class, and pause
// between exchanges. The station owns one and forwards to it.
class LinkReporter {
public:
    LinkReporter(Trace& trace, Prompter& prompter, Clock& clock, TMB_Sio& sio)
        : trace_(trace), prompter_(prompter), clock_(clock), sio_(sio) {}

    // "TX-buffer:" and the hex text of the telegram.
    void TxProtocol(const QByteArray& telegram);
    // "RX-buffer:" and the hex text of the first RxLength bytes of the buffer.
    void RxProtocol(std::span<const std::uint8_t> buffer);
    // For a failed exchange the "Error-data: " lines and the message box of
    // the result; for an aborted one the port's pending data are dropped.
    void Show_Error();
    // The class of LastResult (ResultClass).
    std::uint8_t Check_Error() const;
    // Returns after ms milliseconds, events handled meanwhile; every wait has
    // a timer of its own.
    void Wait_ms(std::uint16_t ms);

private:
    Trace& trace_;
    Prompter& prompter_;
    Clock& clock_;
    TMB_Sio& sio_;
};

} // namespace quorven
