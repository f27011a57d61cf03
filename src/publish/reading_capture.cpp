// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/meter_reading.h"

namespace quorven {

CapturedReading CaptureReading(const Tables& tables, const SlaveRead& read) {
    const GridModel& slaves = tables.slaveList();
    const GridModel& data = tables.dataTable();
    CapturedReading captured;
    captured.time = read.time;
    for (int column = 0; column < kSlaveColumnCount; ++column) {
        captured.slave[column] = std::string(slaves.CellUtf8(column, read.slaveRow));
    }
    const int first = std::max(read.firstDataRow, 1);
    const int end = std::min(read.endDataRow, data.RowCount());
    captured.cells.reserve(std::size_t(std::max(end - first, 0)) * kDataColumnCount);
    for (int row = first; row < end; ++row) {
        for (int column = 0; column < kDataColumnCount; ++column) {
            captured.cells.emplace_back(data.CellUtf8(column, row));
        }
    }
    return captured;
}

MeterReading ToMeterReading(const CapturedReading& captured) {
    MeterReading reading;
    reading.time = captured.time;
    for (std::size_t i = 0; i + kDataColumnCount <= captured.cells.size(); i += kDataColumnCount) {
        QStringList cells;
        cells.reserve(kDataColumnCount);
        for (int column = 0; column < kDataColumnCount; ++column) {
            cells.append(QString::fromStdString(captured.cells[i + std::size_t(column)]));
        }
        reading.rows.append(cells);
    }
    const auto slaveCell = [&](int column) {
        return QString::fromStdString(captured.slave[column]);
    };
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
