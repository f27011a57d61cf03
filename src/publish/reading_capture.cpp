// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/meter_reading.h"

namespace quorven {

CapturedReading CaptureReading(const Tables& tables, const SlaveRead& read) {
    const GridModel& slaves = tables.slaveList();
    const GridModel& data = tables.dataTable();
    CapturedReading captured;
    captured.time = read.time;
    if (read.slaveRow >= 0 && read.slaveRow < slaves.RowCount()) {
        captured.slave = slaves.Row(read.slaveRow);
    }
    const int first = std::max(read.firstDataRow, 1);
    const int end = std::min(read.endDataRow, data.RowCount());
    captured.rows.reserve(std::size_t(std::max(end - first, 0)));
    for (int row = first; row < end; ++row) {
        captured.rows.push_back(data.Row(row));
    }
    return captured;
}

MeterReading ToMeterReading(const CapturedReading& captured) {
    MeterReading reading;
    reading.time = captured.time;
    const auto text = [](const CompactRow& row, int column) {
        const std::string_view cell = row.cell(column);
        return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
    };
    reading.rows.reserve(static_cast<qsizetype>(captured.rows.size()));
    for (const CompactRow& row : captured.rows) {
        QStringList cells;
        cells.reserve(kDataColumnCount);
        for (int column = 0; column < kDataColumnCount; ++column) {
            cells.append(text(row, column));
        }
        reading.rows.append(cells);
    }
    const auto slaveCell = [&](int column) { return text(captured.slave, column); };
    reading.place = slaveCell(kSlavePlace);
    reading.address = slaveCell(kSlaveAddress);
    reading.id = slaveCell(kSlaveId);
    reading.manufacturer = slaveCell(kSlaveManufacturer);
    reading.version = slaveCell(kSlaveVersion);
    reading.medium = slaveCell(kSlaveMedium);
    reading.port = slaveCell(kSlavePort);
    reading.baud = slaveCell(kSlaveBaud);
    if (!reading.rows.isEmpty()) {
        const QStringList& first = reading.rows.front();
        const auto takeNonEmpty = [](QString& field, const QString& cell) {
            if (!cell.trimmed().isEmpty()) {
                field = cell;
            }
        };
        takeNonEmpty(reading.address, first[kDataAddress]);
        takeNonEmpty(reading.id, first[kDataId]);
        takeNonEmpty(reading.manufacturer, first[kDataManufacturer]);
    }
    return reading;
}

} // namespace quorven
