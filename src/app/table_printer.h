// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QAbstractItemModel;
class QPagedPaintDevice;
class QPrinter;

namespace quorven {

// How a table is laid out on paper. Lengths are in tenths of a millimetre.
struct PrintLayout {
    QString title; // top centre of every page
    int leftMargin = 100;
    int rightMargin = 100;
    int headerSize = 100; // band above the table that holds the title
    int footerSize = 100; // band below it that holds "page/pages"
    QFont font;           // cells; the title and footer use it at 10 pt bold
};

// The slave list's and the data table's settings.
PrintLayout SlaveListPrintLayout(const QFont& font);
PrintLayout DataTablePrintLayout(const QFont& font);

// Prints the table in landscape: the title top centre, the header row at the
// top of every page, every cell with a single solid border, "page/pages" at
// the bottom centre. A table wider than the paper is shrunk to fit; a narrow
// one keeps its size. Text is drawn as text, so a PDF keeps it searchable.
// Returns the number of pages printed, 0 when the device could not be painted.
int PrintTable(const QAbstractItemModel& model, QPrinter& printer, const PrintLayout& layout);

} // namespace quorven
