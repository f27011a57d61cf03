// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/table_printer.h"

#include <QAbstractItemModel>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorven {

namespace {

// Device pixels of a length in tenths of a millimetre.
double Tenths(int tenths, int resolution) {
    return tenths / 254.0 * resolution;
}

QFont TitleFont(const QFont& base) {
    QFont f = base;
    f.setPointSizeF(10);
    f.setBold(true);
    return f;
}

// Every cell's text of a row; row -1 is the header row.
QString CellText(const QAbstractItemModel& model, int row, int column) {
    if (row < 0) {
        return model.headerData(column, Qt::Horizontal).toString();
    }
    return model.index(row, column).data().toString();
}

struct Grid {
    std::vector<double> columnWidths; // in unscaled device pixels
    double rowHeight = 0;
    double padding = 0;
    double width() const {
        double w = 0;
        for (double c : columnWidths) {
            w += c;
        }
        return w;
    }
};

Grid Measure(const QAbstractItemModel& model, const QFontMetricsF& fm) {
    Grid g;
    g.padding = std::ceil(fm.averageCharWidth());
    g.rowHeight = std::ceil(fm.height() * 1.4);
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    g.columnWidths.assign(static_cast<std::size_t>(columns), 0.0);
    for (int c = 0; c < columns; ++c) {
        double widest = 0;
        for (int r = -1; r < rows; ++r) {
            widest = std::max(widest, fm.horizontalAdvance(CellText(model, r, c)));
        }
        g.columnWidths[static_cast<std::size_t>(c)] = std::ceil(widest + 2 * g.padding);
    }
    return g;
}

void DrawRow(QPainter& p, const QAbstractItemModel& model, const Grid& g, int row, double y) {
    double x = 0;
    for (std::size_t c = 0; c < g.columnWidths.size(); ++c) {
        const QRectF cell(x, y, g.columnWidths[c], g.rowHeight);
        if (row < 0) {
            p.fillRect(cell, QColor(230, 230, 230)); // the header row
        }
        p.drawRect(cell);
        p.drawText(cell.adjusted(g.padding, 0, -g.padding / 2, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   CellText(model, row, int(c)));
        x += g.columnWidths[c];
    }
}

} // namespace

PrintLayout SlaveListPrintLayout(const QFont& font) {
    PrintLayout l;
    l.title = QStringLiteral("Slavelist");
    l.leftMargin = 200;
    l.rightMargin = 100;
    l.font = font;
    return l;
}

PrintLayout DataTablePrintLayout(const QFont& font) {
    PrintLayout l;
    l.title = QStringLiteral("Meter data");
    l.font = font;
    return l;
}

int PrintTable(const QAbstractItemModel& model, QPrinter& printer, const PrintLayout& layout) {
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer)) {
        return 0;
    }
    const int dpi = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const double left = Tenths(layout.leftMargin, dpi);
    const double right = Tenths(layout.rightMargin, dpi);
    const double header = Tenths(layout.headerSize, dpi);
    const double footer = Tenths(layout.footerSize, dpi);
    const QRectF body(left, header, paper.width() - left - right, paper.height() - header - footer);

    QFont cellFont(layout.font, &printer);
    const Grid grid = Measure(model, QFontMetricsF(cellFont, &printer));
    // Shrink only: a table wider than the body is scaled down to its width.
    const double scale = grid.width() > body.width() ? body.width() / grid.width() : 1.0;
    const double rowsFit = std::floor(body.height() / (grid.rowHeight * scale));
    const int rowsPerPage = std::max(1, int(rowsFit) - 1); // the header row on every page
    const int rows = model.rowCount();
    const int pages = std::max(1, (rows + rowsPerPage - 1) / rowsPerPage);
    const QFont titleFont(TitleFont(layout.font), &printer);
    const QPen border(Qt::black, std::max(1.0, dpi / 150.0) / scale);

    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            printer.newPage();
        }
        p.resetTransform();
        p.setFont(titleFont);
        p.setPen(Qt::black);
        p.drawText(QRectF(left, 0, body.width(), header), Qt::AlignHCenter | Qt::AlignVCenter,
                   layout.title);
        p.drawText(QRectF(left, body.bottom(), body.width(), footer),
                   Qt::AlignHCenter | Qt::AlignVCenter,
                   QStringLiteral("%1/%2").arg(page + 1).arg(pages));

        p.translate(body.topLeft());
        p.scale(scale, scale);
        p.setFont(cellFont);
        p.setPen(border);
        p.setBrush(Qt::NoBrush);
        DrawRow(p, model, grid, -1, 0);
        const int first = page * rowsPerPage;
        const int last = std::min(rows, first + rowsPerPage);
        for (int r = first; r < last; ++r) {
            DrawRow(p, model, grid, r, (r - first + 1) * grid.rowHeight);
        }
    }
    p.end();
    return pages;
}

} // namespace quorven
