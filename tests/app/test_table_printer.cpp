// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/table_printer.h"
#include "pdf_text.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

void Fill(QStandardItemModel& m, int rows, int columns, const QString& wide = {}) {
    m.setRowCount(rows);
    m.setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        m.setHeaderData(c, Qt::Horizontal, QStringLiteral("Head%1").arg(c));
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            m.setData(m.index(r, c), QStringLiteral("r%1c%2").arg(r + 1).arg(c));
        }
    }
    if (!wide.isEmpty() && rows > 0) {
        m.setData(m.index(0, 0), wide);
    }
}

QString PrintToPdf(const QAbstractItemModel& m, const PrintLayout& layout, const QString& file,
                   int* pages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    *pages = PrintTable(m, printer, layout);
    return PdfText(file);
}

} // namespace

class TestTablePrinter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pagesCounted();
    void wideTableShrunkToFit();
    void emptyTableOnePage();
};

void TestTablePrinter::initTestCase() {
    if (!HavePdfText()) {
        QSKIP("pdftotext (poppler-utils) is not installed");
    }
}

void TestTablePrinter::pagesCounted() {
    QTemporaryDir dir;
    QStandardItemModel m;
    Fill(m, 150, 3);
    int pages = 0;
    const QString text =
        PrintToPdf(m, DataTablePrintLayout(QFont()), dir.filePath("d.pdf"), &pages);
    QVERIFY(pages >= 2);
    // Every row once, the header row on every page, the page numbers.
    QVERIFY(text.contains("r1c0") && text.contains("r150c2"));
    QCOMPARE(int(text.count("Head1")), pages);
    QCOMPARE(int(text.count("Meter data")), pages);
    for (int p = 1; p <= pages; ++p) {
        QVERIFY2(text.contains(QString("%1/%2").arg(p).arg(pages)), qPrintable(QString::number(p)));
    }
    QVERIFY(!text.contains(QString("%1/%2").arg(pages + 1).arg(pages)));
}

void TestTablePrinter::wideTableShrunkToFit() {
    QTemporaryDir dir;
    QStandardItemModel m;
    Fill(m, 2, 14, QString("very long installation place ").repeated(8) + "END");
    int pages = 0;
    const QString text =
        PrintToPdf(m, DataTablePrintLayout(QFont()), dir.filePath("w.pdf"), &pages);
    QCOMPARE(pages, 1);
    // The last column is on the paper, not cut off.
    QVERIFY(text.contains("Head13"));
    QVERIFY(text.contains("r2c13"));
    QVERIFY(text.contains("END"));
}

void TestTablePrinter::emptyTableOnePage() {
    QTemporaryDir dir;
    QStandardItemModel m;
    Fill(m, 0, 9);
    int pages = 0;
    const QString text =
        PrintToPdf(m, SlaveListPrintLayout(QFont()), dir.filePath("e.pdf"), &pages);
    QCOMPARE(pages, 1);
    QVERIFY2(text.contains("Slavelist"), qPrintable(text));
    QVERIFY(text.contains("Head8"));
    QVERIFY(text.contains("1/1"));
    QVERIFY(!text.contains(QRegularExpression("\\d\\d:\\d\\d"))); // no time printed
}

QTEST_MAIN(TestTablePrinter)
#include "test_table_printer.moc"
