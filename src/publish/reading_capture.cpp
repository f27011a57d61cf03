#include "publish/meter_reading.h"

#include "tables/table_layouts.h"

namespace quorven {

MeterReading CaptureReading(const Tables& tables, const SlaveRead& read) {
    const GridModel& slaves = tables.slaveList();
    const GridModel& data = tables.dataTable();
    MeterReading reading;
    reading.time = read.time;
    const int end = std::min(read.endDataRow, data.RowCount());
    for (int row = std::max(read.firstDataRow, 1); row < end; ++row) {
        QStringList cells;
        cells.reserve(kDataColumnCount);
        for (int column = 0; column < kDataColumnCount; ++column) {
            cells.append(data.Cell(column, row));
        }
        reading.rows.append(cells);
    }
    const auto slaveCell = [&](int column) { return slaves.Cell(column, read.slaveRow); };
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
