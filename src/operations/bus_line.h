// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/operation_context.h"

#include <QString>

#include <cstdint>

namespace quorven {

// The steps the searches and the slave commands take around the link. `o`
// is the options as the operation took them at its start.

// Port, bus speed (baud index), one stop bit, no parity with the GSM-modem
// option else even parity, the port open, DTR on, and RTS off under the MDK
// option (then 200 ms for the level converter) else on.
void PrepareLine(OperationContext& c, const Options& o, const QString& port, int baudIndex);
// The port closed, unless a modem connection keeps it.
void ReleaseLine(OperationContext& c);
// Empties the link's hex texts before an exchange.
void ClearHexTexts(OperationContext& c);
// The telegram sent and the one received into the text area.
void TraceExchange(OperationContext& c);
// The answer of the last exchange into the interpreter's telegram buffer.
void StoreAnswer(OperationContext& c);
// The parity of the M-Bus slaves: none with the GSM-modem option, else even.
void SetSlaveParity(TMB_Sio& link, const Options& o);
// The line's parity again as the options want it (an STX request leaves even
// parity behind).
void RestoreParity(OperationContext& c, const Options& o);

} // namespace quorven
