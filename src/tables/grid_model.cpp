// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/grid_model.h"

#include <algorithm>
#include <string>

namespace quorven {

GridModel::GridModel(int columnCount, QObject* parent)
    : QAbstractTableModel(parent), rows_(1), colCount_(std::clamp(columnCount, 0, kMaxColumns)) {}

void GridModel::SetRowCount(int rows) {
    rows = std::clamp(rows, 1, kMaxRows);
    const int old = RowCount();
    if (rows == old) {
        return;
    }
    if (rows > old) {
        beginInsertRows(QModelIndex(), old - 1, rows - 2);
        rows_.resize(static_cast<std::size_t>(rows));
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows - 1, old - 2);
        rows_.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    }
    emit rowCountChanged(rows);
}

void GridModel::SetColCount(int columns) {
    columns = std::clamp(columns, 0, kMaxColumns);
    const int old = colCount_;
    if (columns == old) {
        return;
    }
    if (columns > old) {
        beginInsertColumns(QModelIndex(), old, columns - 1);
        colCount_ = columns;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), columns, old - 1);
        colCount_ = columns;
        for (CompactRow& row : rows_) {
            row.truncate(columns);
        }
        endRemoveColumns();
    }
}

QString GridModel::Cell(int column, int row) const {
    std::string_view text = CellUtf8(column, row);
    // QString::fromUtf8 drops a leading byte-order mark; a cell keeps it.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    QString cell;
    if (text.starts_with(kByteOrderMark)) {
        cell += QChar(0xFEFF);
        text.remove_prefix(kByteOrderMark.size());
    }
    cell += QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return cell;
}

std::string_view GridModel::CellUtf8(int column, int row) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= colCount_) {
        return {};
    }
    return rows_[static_cast<std::size_t>(row)].cell(column);
}

void GridModel::SetCell(int column, int row, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    SetCellUtf8(column, row,
                std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void GridModel::SetCellUtf8(int column, int row, std::string_view text) {
    if (column < 0 || row < 0 || column >= kMaxColumns || row >= kMaxRows) {
        return;
    }
    Grow(row + 1, column + 1);
    rows_[static_cast<std::size_t>(row)].setCell(column, text);
    CellWritten(column, row);
}

void GridModel::SetCellsUtf8(int row, std::span<const CellText> cells) {
    if (row < 0 || row >= kMaxRows || cells.empty()) {
        return;
    }
    int columns = rows_.size() > static_cast<std::size_t>(row) ? Row(row).cellCount() : 0;
    for (const CellText& c : cells) {
        if (c.column < 0 || c.column >= kMaxColumns) {
            return;
        }
        columns = std::max(columns, c.column + 1);
    }
    Grow(row + 1, columns);
    std::vector<std::string_view> texts(static_cast<std::size_t>(columns));
    const CompactRow& old = rows_[static_cast<std::size_t>(row)];
    for (int c = 0; c < old.cellCount(); ++c) {
        texts[static_cast<std::size_t>(c)] = old.cell(c);
    }
    for (const CellText& c : cells) {
        texts[static_cast<std::size_t>(c.column)] = c.text;
    }
    std::string joined;
    std::vector<std::uint32_t> ends;
    ends.reserve(texts.size());
    for (std::string_view t : texts) {
        joined += t;
        ends.push_back(static_cast<std::uint32_t>(joined.size()));
    }
    rows_[static_cast<std::size_t>(row)] = CompactRow(joined, ends);
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, 0, colCount_ - 1);
    } else {
        emit dataChanged(index(row - 1, 0), index(row - 1, colCount_ - 1));
    }
}

void GridModel::SetRow(int row, CompactRow cells) {
    if (row < 0 || row >= kMaxRows) {
        return;
    }
    cells.truncate(kMaxColumns);
    Grow(row + 1, cells.cellCount());
    rows_[static_cast<std::size_t>(row)] = std::move(cells);
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, 0, std::max(colCount_ - 1, 0));
    } else if (colCount_ > 0) {
        emit dataChanged(index(row - 1, 0), index(row - 1, colCount_ - 1));
    }
}

void GridModel::InsertRow(int row) {
    if (row < 1 || row > RowCount() || RowCount() >= kMaxRows) {
        return;
    }
    beginInsertRows(QModelIndex(), row - 1, row - 1);
    rows_.insert(rows_.begin() + row, CompactRow());
    endInsertRows();
    emit rowCountChanged(RowCount());
}

void GridModel::RemoveRow(int row) {
    if (row < 1 || row >= RowCount()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    emit rowCountChanged(RowCount());
}

void GridModel::ClearCells() {
    beginResetModel();
    for (CompactRow& row : rows_) {
        row = CompactRow();
    }
    endResetModel();
}

void GridModel::ReplaceRows(std::vector<CompactRow> rows, int columns) {
    const int old = RowCount();
    beginResetModel();
    rows_ = std::move(rows);
    if (rows_.empty()) {
        rows_.emplace_back();
    }
    colCount_ = std::clamp(std::max(colCount_, columns), 0, kMaxColumns);
    for (CompactRow& row : rows_) {
        row.truncate(colCount_);
    }
    endResetModel();
    if (RowCount() != old) {
        emit rowCountChanged(RowCount());
    }
}

void GridModel::KeepRows(const std::vector<bool>& keep) {
    const int old = RowCount();
    beginResetModel();
    std::size_t to = 1;
    for (std::size_t from = 1; from < rows_.size(); ++from) {
        if (from < keep.size() && keep[from]) {
            rows_[to++] = std::move(rows_[from]);
        }
    }
    rows_.resize(to);
    endResetModel();
    if (RowCount() != old) {
        emit rowCountChanged(RowCount());
    }
}

void GridModel::SetColumnItems(int column, const QStringList& items) {
    columnItems_.insert(column, items);
}

void GridModel::SetEditableColumns(const std::vector<int>& columns) {
    editable_.assign(static_cast<std::size_t>(kMaxColumns), false);
    for (int c : columns) {
        if (c >= 0 && c < kMaxColumns) {
            editable_[static_cast<std::size_t>(c)] = true;
        }
    }
}

bool GridModel::IsEditableColumn(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < editable_.size() &&
           editable_[static_cast<std::size_t>(column)];
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount() - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : colCount_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return Cell(index.column(), index.row() + 1);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    SetCell(index.column(), index.row() + 1, value.toString());
    return true;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return Cell(section, 0);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && IsEditableColumn(index.column())) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

void GridModel::Grow(int rows, int columns) {
    if (rows > RowCount()) {
        SetRowCount(rows);
    }
    if (columns > colCount_) {
        SetColCount(columns);
    }
}

void GridModel::CellWritten(int column, int row) {
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
    } else {
        const QModelIndex i = index(row - 1, column);
        emit dataChanged(i, i);
    }
}

} // namespace quorven
