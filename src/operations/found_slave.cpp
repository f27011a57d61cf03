// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/found_slave.h"

#include "operations/bus_line.h"
#include "tables/table_layouts.h"

#include <QStringList>

namespace quorven {

namespace {

// What an STX meter's row selects: its value rows.
constexpr int kStxRecords = 33;
constexpr std::uint8_t kNoVersion = 0;
const char* const kNoManufacturer = "   ";

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

QString EveryRecordSelection(int records) {
    QStringList numbers;
    for (int n = 1; n <= records + 1; ++n) {
        numbers << QString::number(n);
    }
    return numbers.join(u',');
}

void WriteFoundSlave(OperationContext& c, const Options& o, StxMeters* stx, int row,
                     const QString& addressText) {
    Interpreter& in = c.interpreter;
    GridModel& list = c.tables.slaveList();
    if (list.RowCount() <= row) {
        list.SetRowCount(row + 1);
    }
    list.SetCell(kSlaveAddress, row, addressText);
    list.SetCell(kSlaveId, row, Text(in.IdentNumber()));
    list.SetCell(kSlaveBaud, row, QString::number(c.link.BaudRateValue()));
    list.SetCell(kSlaveManufacturer, row, Text(in.ManufacturerCode()));
    list.SetCell(kSlaveVersion, row, QString::number(in.VersionByte()));
    list.SetCell(kSlaveMedium, row, Text(in.MediumText()));
    list.SetCell(kSlaveSelection, row, EveryRecordSelection(in.CountRecords()));
    if (stx != nullptr && in.VersionByte() == kNoVersion &&
        in.ManufacturerCode() == kNoManufacturer) {
        const bool isStx = stx->STXTest(in.PrimaryAddress());
        // The STX requests leave the line at even parity.
        RestoreParity(c, o);
        if (isStx) {
            list.SetCell(kSlaveManufacturer, row, QStringLiteral("STX"));
            list.SetCell(kSlaveSelection, row, EveryRecordSelection(kStxRecords - 1));
        }
    }
}

} // namespace quorven
