// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/read_out.h"
#include "tables/tables.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "tables/compact_row.h"
#include "tables/table_layouts.h"

#include <vector>

namespace quorven {

// One meter of a read-out as it leaves the computer: the meter's header, when
// it was read, and the data-table rows its read wrote (every cell's text as
// the table shows it).
struct MeterReading {
    QString place;
    QString address;
    QString id;
    QString manufacturer;
    QString version;
    QString medium;
    QString port;
    QString baud;
    QDateTime time;
    QList<QStringList> rows; // kDataColumnCount cells each
};

// The rows of one slave's read as the tables hold them right after it: cheap
// to take on the thread of the read-out (a row is one block of memory), turned
// into a MeterReading elsewhere.
struct CapturedReading {
    CompactRow slave;             // its slave-list row
    std::vector<CompactRow> rows; // the data-table rows its read wrote
    QDateTime time;
};

CapturedReading CaptureReading(const Tables& tables, const SlaveRead& read);

// The reading: the header from its first data row where the meter answered
// (the address, identification number and manufacturer the meter gave), the
// rest from its slave-list row.
MeterReading ToMeterReading(const CapturedReading& captured);

} // namespace quorven
