// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/grid_view.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QScrollBar>
#include <QWheelEvent>

namespace quorven {

namespace {

// The header row's texts in the window's language.
class TranslatedHeader final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        QVariant value = QIdentityProxyModel::headerData(section, orientation, role);
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
            return value;
        }
        return QCoreApplication::translate("GridHeaders", value.toString().toUtf8().constData());
    }

    void retranslate() {
        if (columnCount() > 0) {
            emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        }
    }
};

} // namespace

GridView::GridView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(21, fontMetrics().height() + 6));
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void GridView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    if (header_ == nullptr) {
        header_ = new TranslatedHeader(this);
    }
    header_->setSourceModel(model);
    horizontalHeader()->setModel(header_);
}

void GridView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && header_ != nullptr) {
        static_cast<TranslatedHeader*>(header_)->retranslate();
    }
}

int GridView::topRow() const {
    return verticalScrollBar()->value();
}

void GridView::setTopRow(int row) {
    verticalScrollBar()->setValue(row);
}

int GridView::visibleRowCount() const {
    const int height = viewport()->height();
    const int rowHeight = verticalHeader()->defaultSectionSize();
    return rowHeight > 0 ? height / rowHeight : 0;
}

bool GridView::wheelDown() {
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0) {
        return false;
    }
    const int top = topRow();
    if (top + visibleRowCount() <= rows && top < verticalScrollBar()->maximum()) {
        setTopRow(top + 1);
        return true;
    }
    return false;
}

bool GridView::wheelUp() {
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0 || topRow() <= 0) {
        return false;
    }
    setTopRow(topRow() - 1);
    return true;
}

void GridView::wheelEvent(QWheelEvent* event) {
    if (!rowWheel_) {
        QTableView::wheelEvent(event);
        return;
    }
    event->accept();
    // One row per notch (120); touchpads send smaller steps, which add up.
    wheelRemainder_ += event->angleDelta().y();
    while (wheelRemainder_ >= 120) {
        wheelRemainder_ -= 120;
        wheelUp();
    }
    while (wheelRemainder_ <= -120) {
        wheelRemainder_ += 120;
        wheelDown();
    }
}

int WidestText(const QAbstractItemModel& model, int column, const QFontMetrics& fm, int sample) {
    int widest = fm.horizontalAdvance(model.headerData(column, Qt::Horizontal).toString());
    const int rows = model.rowCount();
    auto measure = [&](int row) {
        const QString text = model.index(row, column).data().toString();
        widest = std::max(widest, fm.horizontalAdvance(text));
    };
    if (rows <= 2 * sample) {
        for (int r = 0; r < rows; ++r) {
            measure(r);
        }
    } else {
        for (int r = 0; r < sample; ++r) {
            measure(r);
            measure(rows - 1 - r);
        }
    }
    return widest;
}

void GridView::sizeColumns() {
    if (!model()) {
        return;
    }
    const QFontMetrics cellFont(font());
    const QFontMetrics headerFont(horizontalHeader()->font());
    for (int c = 0; c < model()->columnCount(); ++c) {
        const int widest =
            std::max(WidestText(*model(), c, cellFont),
                     headerFont.horizontalAdvance(
                         horizontalHeader()->model()->headerData(c, Qt::Horizontal).toString()));
        setColumnWidth(c, widest + 20);
    }
}

} // namespace quorven

namespace quorven {

void GridView::scrollToLastRow() {
    if (!model() || model()->rowCount() == 0) {
        return;
    }
    updateGeometries(); // column widths just changed may have added a scroll bar
    scrollTo(model()->index(model()->rowCount() - 1, 0), QAbstractItemView::PositionAtBottom);
    horizontalScrollBar()->setValue(0);
}

} // namespace quorven
