// SPDX-License-Identifier: GPL-3.0-or-later
// The tables: the grid model with its header row and compact rows, and the
// slave list's row operations, duplicates and files.
#include "tables/csv_writer.h"
#include "tables/file_error.h"
#include "tables/table_layouts.h"
#include "tables/tables.h"

#include "csv_test_files.h"

#include "tables/compact_row.h"
#include "tables/grid_model.h"
#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace quorven;
using quorven::testing::WriteFile;

namespace {

struct Slave {
    const char* address;
    const char* id;
    const char* baud;
};

void AddSlaves(Tables& t, const QList<Slave>& slaves) {
    for (const Slave& s : slaves) {
        const int r = t.AppendSlave("COM1");
        t.slaveList().SetCell(kSlaveAddress, r, s.address);
        t.slaveList().SetCell(kSlaveId, r, s.id);
        t.slaveList().SetCell(kSlaveBaud, r, s.baud);
    }
}

QStringList Column(const GridModel& table, int column) {
    QStringList cells;
    for (int r = 0; r < table.RowCount(); ++r) {
        cells << table.Cell(column, r);
    }
    return cells;
}

} // namespace

Q_DECLARE_METATYPE(Slave)

class TestSlaveList : public QObject {
    Q_OBJECT
private slots:
    void clearTables();
    void newRowDefaults();
    void insertBeforeCurrentOrAppend_data();
    void insertBeforeCurrentOrAppend();
    void duplicates_data();
    void duplicates();
    void loadSlaveList();
    void failedLoadKeepsList();
    void exampleListSavesUnchanged();
    void compactRowCells_data();
    void compactRowCells();
    void compactRowSetCell();
    void rowCountKeepsHeaderRow();
    void viewSeesHeaderAsHorizontalHeader();
    void writeOutsideGrowsTable();
    void colCountShrinkDropsCells();
    void insertAndRemoveRows();
};

// Clearing drops every data row and the extra columns; the data table keeps
// its ColCount and its write position goes back to the first data row.
void TestSlaveList::clearTables() {
    Tables t;
    t.slaveList().SetColCount(12);
    AddSlaves(t, {{"1", "1", "300"}});
    QSignalSpy counts(&t.slaveList(), &GridModel::rowCountChanged);
    t.ClearGrid1();
    QCOMPARE(t.SlaveCount(), 0);
    QCOMPARE(counts.last().at(0).toInt(), 1);
    QCOMPARE(t.slaveList().ColCount(), 9);
    t.dataTable().SetColCount(16);
    t.dataTable().SetCell(15, 3, "x");
    t.setDataWritePosition(40);
    t.ClearGrid2();
    QCOMPARE(t.dataTable().RowCount(), 1);
    QCOMPARE(t.dataTable().ColCount(), 16);
    QCOMPARE(t.dataWritePosition(), 1);
}

void TestSlaveList::newRowDefaults() {
    Tables t;
    t.ClearGrid1();
    const int r = t.AppendSlave("COM7");
    QCOMPARE(r, 1);
    QStringList cells;
    for (int c = 0; c < 9; ++c) {
        cells << t.slaveList().Cell(c, r);
    }
    QCOMPARE(cells, (QStringList{"", "0", "00000000", "2400", "", "", "", "", "COM7"}));
}

void TestSlaveList::insertBeforeCurrentOrAppend_data() {
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QStringList>("addresses");
    QTest::newRow("before last data row") << 2 << QStringList{"Mbus cím", "1", "0", "2"};
    QTest::newRow("header row current appends") << 0 << QStringList{"Mbus cím", "1", "2", "0"};
    QTest::newRow("row past the end appends") << 3 << QStringList{"Mbus cím", "1", "2", "0"};
}

void TestSlaveList::insertBeforeCurrentOrAppend() {
    QFETCH(int, currentRow);
    QFETCH(QStringList, addresses);
    Tables t;
    t.ClearGrid1();
    AddSlaves(t, {{"1", "11", "2400"}, {"2", "22", "2400"}});
    t.InsertSlave(currentRow, "COM2");
    QCOMPARE(Column(t.slaveList(), kSlaveAddress), addresses);
    QCOMPARE(t.SlaveCount(), 3);
}

void TestSlaveList::duplicates_data() {
    QTest::addColumn<QList<Slave>>("slaves");
    QTest::addColumn<QStringList>("keptIds");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("leading zeros in ID and address")
        << QList<Slave>{{"5", "1234", "2400"}, {"05", "00001234", "300"}} << QStringList{"1234"}
        << QStringList{"PAdr:5   ID:00001234 300 Baud deleted!"};
    QTest::newRow("same ID, other address is no duplicate")
        << QList<Slave>{{"5", "1234", "2400"}, {"6", "1234", "2400"}} << QStringList{"1234", "1234"}
        << QStringList{};
    QTest::newRow("baud and port are not compared")
        << QList<Slave>{{"1", "11", "2400"}, {"1", "11", "9600"}, {"1", "11", "300"}}
        << QStringList{"11"}
        << QStringList{"PAdr:1   ID:00000011 9600 Baud deleted!",
                       "PAdr:1   ID:00000011 300 Baud deleted!"};
    QTest::newRow("groups reported in order of their first rows")
        << QList<Slave>{{"1", "11", "2400"},
                        {"2", "22", "2400"},
                        {"2", "22", "300"},
                        {"1", "11", "9600"}}
        << QStringList{"11", "22"}
        << QStringList{"PAdr:1   ID:00000011 9600 Baud deleted!",
                       "PAdr:2   ID:00000022 300 Baud deleted!"};
    QTest::newRow("address that is no number compares as text")
        << QList<Slave>{{"x", "7", "2400"}, {"x", "7", "300"}, {"", "7", "300"}}
        << QStringList{"7", "7"} << QStringList{"PAdr:x   ID:00000007 300 Baud deleted!"};
}

void TestSlaveList::duplicates() {
    QFETCH(QList<Slave>, slaves);
    QFETCH(QStringList, keptIds);
    QFETCH(QStringList, lines);
    Tables t;
    t.ClearGrid1();
    AddSlaves(t, slaves);
    QCOMPARE(t.DeleteDuplicates(), lines);
    QCOMPARE(Column(t.slaveList(), kSlaveId).mid(1), keptIds);
    QCOMPARE(t.SlaveCount(), keptIds.size());
}

void TestSlaveList::loadSlaveList() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "slist.csv",
                                   "whatever,header\r\n"
                                   "Kazán,3,12345678,2400,ABC,1,Heat,,\r\n"
                                   "Pince,4,87654321,300,DEF,2,Water,1,COM9\r\n"
                                   "x,5,1,2400,,,,,COM2,extra\r\n");
    Tables t;
    t.ClearGrid1();
    t.LoadSlaveList(path, u',', "COM3");
    QCOMPARE(t.SlaveCount(), 3);
    QCOMPARE(t.slaveList().ColCount(), 10);
    QCOMPARE(t.slaveList().Cell(0, 0), QString("Beép.hely"));
    QCOMPARE(t.slaveList().Cell(1, 0), QString("Mbus cím"));
    QCOMPARE(Column(t.slaveList(), kSlavePort).mid(1), (QStringList{"COM3", "COM9", "COM2"}));
    QCOMPARE(t.slaveList().Cell(9, 3), QString("extra"));
    QCOMPARE(t.slaveList().Cell(0, 1), QString("Kazán"));
}

// A load that fails leaves the list as it was (and so the list saved at
// shutdown still holds the meters).
void TestSlaveList::failedLoadKeepsList() {
    Tables t;
    t.ClearGrid1();
    AddSlaves(t, {{"1", "11", "2400"}});
    QVERIFY_THROWS_EXCEPTION(FileError, t.LoadSlaveList("/nonexistent/slist.csv", u',', "COM1"));
    QCOMPARE(t.SlaveCount(), 1);
    QCOMPARE(t.slaveList().Cell(kSlaveId, 1), QString("11"));
}

// The example slave list, as the program saves one, loads and saves back
// byte for byte.
void TestSlaveList::exampleListSavesUnchanged() {
    const QString example = QStringLiteral(QUORVEN_SOURCE_DIR "/examples/slist-demo.csv");
    if (!QFile::exists(example)) {
        QSKIP("no example slave list");
    }
    Tables t;
    t.ClearGrid1();
    t.LoadSlaveList(example, u',', "COM5");
    QCOMPARE(t.SlaveCount(), 9);
    QCOMPARE(t.slaveList().Cell(kSlavePlace, 2), QString("Lépcsőház víz"));
    QTemporaryDir dir;
    SaveCsv(t.slaveList(), dir.filePath("saved.csv"), u',');
    QCOMPARE(quorven::testing::ReadFile(dir.filePath("saved.csv")),
             quorven::testing::ReadFile(example));
}

void TestSlaveList::compactRowCells_data() {
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

void TestSlaveList::compactRowCells() {
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

void TestSlaveList::compactRowSetCell() {
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

void TestSlaveList::rowCountKeepsHeaderRow() {
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

void TestSlaveList::viewSeesHeaderAsHorizontalHeader() {
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

void TestSlaveList::writeOutsideGrowsTable() {
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

void TestSlaveList::colCountShrinkDropsCells() {
    GridModel model(14);
    model.SetCell(10, 1, "gone");
    model.SetColCount(9);
    model.SetColCount(14);
    QCOMPARE(model.Cell(10, 1), QString());
}

void TestSlaveList::insertAndRemoveRows() {
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

QTEST_GUILESS_MAIN(TestSlaveList)
#include "test_slave_list.moc"
