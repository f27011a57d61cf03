#include "tables/compact_row.h"
#include "tables/grid_model.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace quorven;

class TestGridModel : public QObject {
    Q_OBJECT
private slots:
    void compactRowCells_data();
    void compactRowCells();
    void compactRowSetCell();
    void rowCountKeepsHeaderRow();
    void viewSeesHeaderAsHorizontalHeader();
    void writeOutsideGrowsTable();
    void colCountShrinkDropsCells();
    void insertAndRemoveRows();
};

void TestGridModel::compactRowCells_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("stored");
    QTest::newRow("all empty stores nothing") << QStringList{"", "", ""} << 0;
    QTest::newRow("trailing empties trimmed") << QStringList{"a", "", "b", "", ""} << 3;
    QTest::newRow("non-ASCII") << QStringList{"Beép.hely", "őű", "m^3"} << 3;
    QTest::newRow("text over 255 bytes uses 16-bit offsets")
        << QStringList{QString(200, u'a'), "", QString(200, u'b')} << 3;
    QTest::newRow("text over 64 KiB uses 32-bit offsets")
        << QStringList{QString(40000, u'a'), QString(40000, u'b'), "end"} << 3;
}

void TestGridModel::compactRowCells() {
    QFETCH(QStringList, cells);
    QFETCH(int, stored);
    std::string text;
    std::vector<std::uint32_t> ends;
    for (const QString& c : cells) {
        text += c.toStdString();
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
    const CompactRow row(text, ends);
    QCOMPARE(row.cellCount(), stored);
    for (int i = 0; i < cells.size(); ++i) {
        QCOMPARE(QString::fromStdString(std::string(row.cell(i))), cells[i]);
    }
    QVERIFY(row.cell(cells.size() + 5).empty());
    QVERIFY(row.cell(-1).empty());
    const CompactRow copy = row;
    QCOMPARE(copy.cellCount(), stored);
    QCOMPARE(copy.allocatedBytes(), row.allocatedBytes());
}

void TestGridModel::compactRowSetCell() {
    CompactRow row;
    row.setCell(3, "d");
    QCOMPARE(row.cellCount(), 4);
    QVERIFY(row.cell(0).empty());
    row.setCell(0, "a");
    row.setCell(3, std::string(70000, 'x'));
    QCOMPARE(row.cell(0), std::string_view("a"));
    QCOMPARE(row.cell(3).size(), std::size_t{70000});
    row.setCell(3, "");
    QCOMPARE(row.cellCount(), 1);
    row.truncate(0);
    QCOMPARE(row.cellCount(), 0);
    QCOMPARE(row.allocatedBytes(), std::size_t{0});
}

void TestGridModel::rowCountKeepsHeaderRow() {
    GridModel model(14);
    QCOMPARE(model.RowCount(), 1);
    QCOMPARE(model.rowCount(), 0);
    model.SetRowCount(0);
    QCOMPARE(model.RowCount(), 1);
    QSignalSpy counts(&model, &GridModel::rowCountChanged);
    model.SetRowCount(5);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(counts.count(), 1);
    QCOMPARE(counts.at(0).at(0).toInt(), 5);
}

void TestGridModel::viewSeesHeaderAsHorizontalHeader() {
    GridModel model(3);
    model.SetCell(1, 0, "header");
    model.SetCell(1, 1, "first data");
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("header"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("first data"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(0, 2), "edited"));
    QCOMPARE(model.Cell(2, 1), QString("edited"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 0);
}

void TestGridModel::writeOutsideGrowsTable() {
    GridModel model(14);
    model.SetCell(13, 20, "x");
    QCOMPARE(model.RowCount(), 21);
    model.SetCell(15, 2, "y");
    QCOMPARE(model.ColCount(), 16);
    QCOMPARE(model.Cell(15, 2), QString("y"));
    model.SetCell(GridModel::kMaxColumns, 1, "ignored");
    model.SetCell(0, GridModel::kMaxRows, "ignored");
    model.SetCell(0, std::numeric_limits<int>::max(), "ignored");
    QCOMPARE(model.RowCount(), 21);
    model.SetCell(-1, 1, "ignored");
    QCOMPARE(model.ColCount(), 16);
    QCOMPARE(model.Cell(99, 99), QString());
}

void TestGridModel::colCountShrinkDropsCells() {
    GridModel model(14);
    model.SetCell(10, 1, "gone");
    model.SetColCount(9);
    model.SetColCount(14);
    QCOMPARE(model.Cell(10, 1), QString());
}

void TestGridModel::insertAndRemoveRows() {
    GridModel model(2);
    model.SetCell(0, 1, "one");
    model.SetCell(0, 2, "two");
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.InsertRow(2);
    QCOMPARE(model.RowCount(), 4);
    QCOMPARE(model.Cell(0, 3), QString("two"));
    QCOMPARE(model.Cell(0, 2), QString());
    QCOMPARE(inserted.at(0).at(1).toInt(), 1); // view row of table row 2
    model.InsertRow(0);                        // never before the header row
    QCOMPARE(model.RowCount(), 4);
    model.RemoveRow(1);
    QCOMPARE(model.Cell(0, 2), QString("two"));
    model.RemoveRow(0);
    model.RemoveRow(9);
    QCOMPARE(model.RowCount(), 3);
}

QTEST_GUILESS_MAIN(TestGridModel)
#include "test_grid_model.moc"
