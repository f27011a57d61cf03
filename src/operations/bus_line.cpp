// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/bus_line.h"

#include "operations/bus_pauses.h"

namespace quorven {

void PrepareLine(OperationContext& c, const Options& o, const QString& port, int baudIndex) {
    TMB_Sio& link = c.link;
    link.SetPort(port);
    link.SetBaud(baudIndex);
    link.SetStopBits1();
    RestoreParity(c, o);
    link.OpenPort();
    link.SetDtr(true);
    if (o.MDK_CheckBox) {
        link.SetRts(false);
        c.reporter.Wait_ms(kConverterSettleMs);
    } else {
        link.SetRts(true);
    }
}

void ReleaseLine(OperationContext& c) {
    if (c.link.IsPortOpen() && !c.run.modemConnected) {
        c.link.ClosePort();
    }
}

void ClearHexTexts(OperationContext& c) {
    c.link.ClearRawHexText();
    c.link.ClearFrameHexText();
}

void TraceExchange(OperationContext& c) {
    c.reporter.TxProtocol(c.link.TxBuffer());
    c.reporter.RxProtocol(c.link.RxBuffer());
}

void StoreAnswer(OperationContext& c) {
    const QByteArray frame = c.link.RxFrame();
    c.interpreter.StoreTelegram(std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                          static_cast<std::size_t>(frame.size())));
}

void SetSlaveParity(TMB_Sio& link, const Options& o) {
    if (o.NP_CheckBox) {
        link.SetParityNone();
    } else {
        link.SetParityEven();
    }
}

void RestoreParity(OperationContext& c, const Options& o) {
    SetSlaveParity(c.link, o);
}

} // namespace quorven
