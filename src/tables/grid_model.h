// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tables/compact_row.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>
#include <vector>

namespace quorven {

// A table of text cells with the rules the program's tables follow: row 0 is
// the header row, RowCount counts it (an empty table has RowCount 1) and data
// rows are 1..RowCount-1. Cells are addressed (column, row) like the grid.
//
// For a view the model shows row 0 as the horizontal header and table row r
// as view row r-1, so a QTableView keeps the header in place while it scrolls.
// Rows are stored compactly (see CompactRow); a QString is made only when a
// cell is read.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Writes beyond this column or row are ignored; RowCount stays below
    // kMaxRows.
    static constexpr int kMaxColumns = 4096;
    static constexpr int kMaxRows = 1 << 28;

    explicit GridModel(int columnCount, QObject* parent = nullptr);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int ColCount() const { return colCount_; }
    // At least 1 (the header row). Rows added are empty; rows removed are lost.
    void SetRowCount(int rows);
    // Cells beyond a smaller ColCount are dropped.
    void SetColCount(int columns);

    QString Cell(int column, int row) const;
    std::string_view CellUtf8(int column, int row) const;
    // Writing a cell outside the table grows it to hold the cell.
    void SetCell(int column, int row, const QString& text);
    void SetCellUtf8(int column, int row, std::string_view text);
    // Writes several cells of one row at once (one rebuild of the row, one
    // change notification); the other cells of the row stay.
    struct CellText {
        int column;
        std::string_view text;
    };
    void SetCellsUtf8(int row, std::span<const CellText> cells);
    const CompactRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    void SetRow(int row, CompactRow cells);

    // Inserts an empty row before `row` (1..RowCount); removes a data row.
    void InsertRow(int row);
    void RemoveRow(int row);
    // Empties every cell; RowCount and ColCount stay.
    void ClearCells();
    // Replaces every row at once (a load). ColCount grows to `columns` but
    // never shrinks. An empty list leaves one empty header row.
    void ReplaceRows(std::vector<CompactRow> rows, int columns);
    // Keeps only the rows for which keep[row] is true (row 0 always stays).
    void KeepRows(const std::vector<bool>& keep);

    // Items of a column's drop-down list editor.
    QStringList ColumnItems(int column) const { return columnItems_.value(column); }
    void SetColumnItems(int column, const QStringList& items);
    // Columns whose cells the user may edit (ItemIsEditable in flags()).
    void SetEditableColumns(const std::vector<int>& columns);
    bool IsEditableColumn(int column) const;

    // QAbstractTableModel: view row r is table row r+1; row 0 is the header.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // RowCount changed (the slave count shows RowCount - 1).
    void rowCountChanged(int rowCount);

private:
    void Grow(int rows, int columns);
    void CellWritten(int column, int row);

    std::vector<CompactRow> rows_;
    int colCount_ = 0;
    QHash<int, QStringList> columnItems_;
    std::vector<bool> editable_;
};

} // namespace quorven
