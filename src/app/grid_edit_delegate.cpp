// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/grid_edit_delegate.h"

#include "app/edit_mask.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace quorven {

GridEditDelegate::GridEditDelegate(EditingOf editingOf, QObject* parent)
    : QStyledItemDelegate(parent), editingOf_(std::move(editingOf)) {}

QWidget* GridEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const CellEditing e = editingOf_(index.column());
    switch (e.kind) {
    case CellEditing::Kind::None:
        return nullptr;
    case CellEditing::Kind::DropDown: {
        auto* box = new QComboBox(parent);
        box->setEditable(false);
        box->addItems(e.items);
        box->setFrame(false);
        return box;
    }
    case CellEditing::Kind::Masked: {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setValidator(new QRegularExpressionValidator(EditMaskPattern(e.mask), edit));
        return edit;
    }
    case CellEditing::Kind::PlainText:
        break;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void GridEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(box->findText(index.data(Qt::EditRole).toString()));
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor); edit && edit->validator()) {
        // A cell may hold more than the mask allows (a loaded file): the user
        // starts from it but can only make it something the mask accepts.
        edit->setText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        if (box->currentIndex() >= 0) {
            model->setData(index, box->currentText(), Qt::EditRole);
        }
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor); edit && edit->validator()) {
        if (edit->hasAcceptableInput()) {
            model->setData(index, edit->text(), Qt::EditRole);
        }
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace quorven
