// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

class QIdentityProxyModel;

namespace quorven {

// A table view for the grids: the header row is the horizontal header, there is
// no fixed column, rows are selected whole, and the mouse wheel scrolls by one
// row under the grids' own rule. The header row is shown in the window's
// language; the model (and so every file) keeps it as it is.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // Index of the first data row shown at the top (0 = data row 1).
    int topRow() const;
    void setTopRow(int row);
    // Number of data rows fully visible.
    int visibleRowCount() const;

    // Wheel rule of the main tables: nothing on an empty table; down moves the top
    // row by one while the rows below it do not all fit; up moves it by one while
    // it is not the first. The event is always taken. Returns whether it moved.
    bool wheelDown();
    bool wheelUp();
    // Off for the zoom table, which keeps the view's own wheel scrolling.
    void setRowWheel(bool on) { rowWheel_ = on; }

    // Sizes every column to its widest text, header included, plus 20 pixels.
    // Very long tables are measured on their first and last rows.
    void sizeColumns();
    // Shows the last row, first column, with the scroll bars as they now are.
    void scrollToLastRow();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QIdentityProxyModel* header_ = nullptr; // the model as the header shows it
    bool rowWheel_ = true;
    int wheelRemainder_ = 0;
};

// The widest text of a column of a model, header included, in pixels of fm;
// at most `sample` rows from the top and as many from the bottom are measured.
int WidestText(const QAbstractItemModel& model, int column, const QFontMetrics& fm,
               int sample = 1000);

} // namespace quorven
