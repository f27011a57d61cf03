#pragma once

#include "operations/read_out.h"
#include "tables/tables.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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

// The reading of one slave, taken from the tables right after its read: the
// header from its first data row where the meter answered (the address,
// identification number and manufacturer the meter gave), the rest from its
// slave-list row.
MeterReading CaptureReading(const Tables& tables, const SlaveRead& read);

} // namespace quorven
