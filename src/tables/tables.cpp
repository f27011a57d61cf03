// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/tables.h"

#include "tables/csv_reader.h"
#include "tables/table_layouts.h"

namespace quorven {

namespace {

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

Tables::Tables() : slaveList_(kSlaveColumnCount), dataTable_(kDataColumnCount) {
    std::vector<int> editable;
    for (int c = 0; c < kSlaveColumnCount; ++c) {
        if (kSlaveColumnLayout[static_cast<std::size_t>(c)].editor != CellEditor::None) {
            editable.push_back(c);
        }
    }
    slaveList_.SetEditableColumns(editable);
}

void Tables::HeaderGrid1() {
    for (int c = 0; c < kSlaveColumnCount; ++c) {
        slaveList_.SetCellUtf8(c, 0, kSlaveColumnLayout[static_cast<std::size_t>(c)].header);
    }
}

void Tables::ClearGrid1() {
    slaveList_.ClearCells();
    slaveList_.SetRowCount(1);
    slaveList_.SetColCount(kSlaveColumnCount);
    QStringList items;
    for (std::string_view item : kBaudItems) {
        items << Text(item);
    }
    slaveList_.SetColumnItems(kSlaveBaud, items);
    HeaderGrid1();
}

void Tables::HeaderGrid2() {
    for (int c = 0; c < kDataColumnCount; ++c) {
        dataTable_.SetCellUtf8(c, 0, kDataHeaders[static_cast<std::size_t>(c)]);
    }
}

void Tables::ClearGrid2() {
    dataTable_.ClearCells();
    dataTable_.SetRowCount(1);
    dataWritePosition_ = 1;
    HeaderGrid2();
}

void Tables::LoadSlaveList(const QString& fileName, QChar separator, const QString& port) {
    LoadCsv(slaveList_, fileName, separator);
    for (int r = 1; r < slaveList_.RowCount(); ++r) {
        if (slaveList_.CellUtf8(kSlavePort, r).empty()) {
            slaveList_.SetCell(kSlavePort, r, port);
        }
    }
    HeaderGrid1();
}

void Tables::LoadDataTable(const QString& fileName, QChar separator) {
    LoadCsv(dataTable_, fileName, separator);
    HeaderGrid2();
}

} // namespace quorven
