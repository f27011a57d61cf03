// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tables/grid_model.h"

#include <QString>
#include <QStringList>

namespace quorven {

// The program's tables and the state kept with them: the slave list (one row
// per meter) and the data table (one row per decoded record; the zoom window
// shows the same rows), and the data write position, the data-table row that
// the next row written by a read-out goes to.
class Tables {
public:
    Tables();
    Tables(const Tables&) = delete;
    Tables& operator=(const Tables&) = delete;

    GridModel& slaveList() { return slaveList_; }
    GridModel& dataTable() { return dataTable_; }
    const GridModel& slaveList() const { return slaveList_; }
    const GridModel& dataTable() const { return dataTable_; }

    int dataWritePosition() const { return dataWritePosition_; }
    void setDataWritePosition(int row) { dataWritePosition_ = row; }

    // Number of meters in the slave list: its RowCount - 1.
    int SlaveCount() const { return slaveList_.RowCount() - 1; }

    // Writes the slave list's 9 header texts into row 0.
    void HeaderGrid1();
    // Empties the slave list: RowCount 1, ColCount 9, the Baud column's
    // drop-down items, the headers.
    void ClearGrid1();
    // Writes the 14 header texts into row 0 of the data table.
    void HeaderGrid2();
    // Empties the data table: RowCount 1, the headers; the data write position
    // goes back to 1. ColCount stays.
    void ClearGrid2();

    // Slave-list rows. `port` is the port name selected in the window; a new
    // row gets the new-row defaults with that port.
    // Inserts before `currentRow` when it is a data row, else appends; returns
    // the new row.
    int InsertSlave(int currentRow, const QString& port);
    int AppendSlave(const QString& port);
    // Removes the current row when it is a data row.
    void DeleteSlave(int currentRow);
    // Removes every slave row that repeats an earlier one (same identification
    // number, padded with "0" to 8 characters, and same primary address as a
    // number). Returns the line written for each removed row, in order.
    QStringList DeleteDuplicates();

    // Loads the slave list from a CSV file (the table stays as it was when the
    // file cannot be read): data rows without a port get `port`, the header
    // row is rewritten. Throws FileError.
    void LoadSlaveList(const QString& fileName, QChar separator, const QString& port);
    // Loads the data table from a CSV file and rewrites its header row.
    void LoadDataTable(const QString& fileName, QChar separator);

private:
    void SetNewSlaveRow(int row, const QString& port);

    GridModel slaveList_;
    GridModel dataTable_;
    int dataWritePosition_ = 1;
};

} // namespace quorven
