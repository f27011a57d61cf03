// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>

namespace quorven {

// How a cell of a column is edited.
struct CellEditing {
    enum class Kind { None, PlainText, DropDown, Masked };
    Kind kind = Kind::PlainText;
    QString mask;      // Masked: an edit mask such as "!999;0; "
    QStringList items; // DropDown: the only texts that may be chosen
};

// The editors of a grid, asked per column before a cell is edited: no editor
// for a read-only column, a drop-down list that offers only its items, or a
// line edit that takes only what the column's edit mask allows.
class GridEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using EditingOf = std::function<CellEditing(int column)>;

    GridEditDelegate(EditingOf editingOf, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    EditingOf editingOf_;
};

} // namespace quorven
