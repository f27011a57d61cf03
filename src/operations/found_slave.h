// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/operation_context.h"
#include "operations/stx_meters.h"

#include <QString>

namespace quorven {

// The record selection of a meter with `records` records: every record and
// the status row, "1,2,...,records+1".
QString EveryRecordSelection(int records);

// Writes columns 1 to 7 of slave-list row `row` from the answer in the
// interpreter's buffer (it passed CheckTelegram): `addressText` in column 1,
// then the identification number, the link's baud rate, manufacturer,
// version, medium and the selection of every record. An answer without a
// variable-data header (version 0, manufacturer three blanks) from a meter
// that passes STXTest at its primary address makes the row an STX meter's:
// "STX" and the records 1 to 33, when `stx` is given. `o` is the options the
// operation took.
void WriteFoundSlave(OperationContext& c, const Options& o, StxMeters* stx, int row,
                     const QString& addressText);

} // namespace quorven
