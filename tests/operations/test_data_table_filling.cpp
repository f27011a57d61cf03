#include "operations/station.h"
#include "tables/table_layouts.h"

#include "common/scripted_prompter.h"
#include "interpret/telegram_bytes.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// A water meter's answer (address 11, identification 04990254, EFE, status
// 27h) with the given number of records, optionally "more records follow".
QByteArray WaterTelegram(int records, bool moreFollow = false) {
    static const char* const kRecords[] = {"04 13 10270000", "04 6D 0A0CCD13", "02 5A 1401",
                                           "02 5E 0A01",     "0C 06 45230100", "02 3B 0000"};
    std::string body = "0B 72 54029904 C514 00 06 0C 27 0000";
    for (int i = 0; i < records; ++i) {
        body = body + ' ' + kRecords[i % 6];
    }
    return LongFrame(0x08, (body + (moreFollow ? " 1F" : "")).c_str());
}

QStringList Numbers(const GridModel& table) {
    QStringList numbers;
    for (int r = 1; r < table.RowCount(); ++r) {
        numbers << table.Cell(kDataNumber, r);
    }
    return numbers;
}

struct Fixture {
    ScriptedPrompter prompter;
    Station station{prompter};

    Fixture() {
        ReadContext& ctx = station.readContext();
        ctx.installationPlace = "Pince";
        ctx.dateText = "06.12.24";
        ctx.timeText = "10:15:00";
    }
    bool Fill(const QByteArray& telegram) {
        Store(station.interpreter(), telegram);
        return station.MBusToGrid();
    }
    GridModel& data() { return station.tables().dataTable(); }
};

} // namespace

class TestDataTableFilling : public QObject {
    Q_OBJECT
private slots:
    void recordSelection_data();
    void recordSelection();
    void contextHeadsEveryRow();
    void acknowledgementWritesNothing();
    void multiTelegramNumbering();
    void multiTelegramFiltersNothing();
    void writePositionOverwritesAndGrows();
    void appendAfterLastRow();
    void checkDataset_data();
    void checkDataset();
};

void TestDataTableFilling::recordSelection_data() {
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("selectionAfter");
    QTest::newRow("empty: every record and the status row")
        << "" << QStringList{"1", "2", "3", "4", "5", "6", "7"} << "";
    QTest::newRow("2,5: records 2 and 5, no status row") << "2,5" << QStringList{"2", "5"} << "5";
    QTest::newRow("2,7: record 2 and the status row") << "2,7" << QStringList{"2", "7"} << "7";
    QTest::newRow("7 alone: no record processed, so no status row") << "7" << QStringList{} << "7";
    QTest::newRow("trailing comma selects the rest") << "2,5," << QStringList{"2", "5", "6"} << "";
    QTest::newRow("blanks around entries") << " 3 , 4 " << QStringList{"3", "4"} << " 4 ";
    QTest::newRow("entry that is no number filters nothing")
        << "x,2" << QStringList{"1", "2", "3", "4", "5", "6"} << "2";
}

// A selection entry is consumed when its record is written; a last entry
// without a comma stays and keeps later records out.
void TestDataTableFilling::recordSelection() {
    QFETCH(QString, selection);
    QFETCH(QStringList, numbers);
    QFETCH(QString, selectionAfter);
    Fixture f;
    f.station.readContext().recordSelection = selection;
    QVERIFY(f.Fill(WaterTelegram(6)));
    QCOMPARE(Numbers(f.data()), numbers);
    QCOMPARE(f.station.readContext().recordSelection, selectionAfter);
    QCOMPARE(f.station.tables().dataWritePosition(), 1 + numbers.size());
    QVERIFY(f.station.trace().lines().isEmpty());
}

// The read context's place, date and time head the record rows and the
// status row alike.
void TestDataTableFilling::contextHeadsEveryRow() {
    Fixture f;
    QVERIFY(f.Fill(WaterTelegram(1)));
    for (int row : {1, 2}) {
        const QStringList cells{f.data().Cell(kDataPlace, row), f.data().Cell(kDataDate, row),
                                f.data().Cell(kDataTime, row)};
        QCOMPARE(cells, (QStringList{"Pince", "06.12.24", "10:15:00"}));
    }
}

void TestDataTableFilling::acknowledgementWritesNothing() {
    Fixture f;
    QVERIFY(!f.Fill("\xE5"));
    QCOMPARE(f.data().RowCount(), 1);
    QVERIFY(f.station.trace().lines().isEmpty());
    QCOMPARE(f.station.tables().dataWritePosition(), 1);
}

// Two telegrams of one meter: numbers run on, "more" after the first, the
// status row only after the last.
void TestDataTableFilling::multiTelegramNumbering() {
    Fixture f;
    f.station.options().MultiTel_CheckBox = true;
    QVERIFY(f.Fill(WaterTelegram(10, true)));
    QCOMPARE(f.station.trace().lines(), QStringList{"more"});
    QCOMPARE(f.station.readContext().recordOffset, 10);
    QVERIFY(f.Fill(WaterTelegram(4)));
    QCOMPARE(Numbers(f.data()), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                             "11", "12", "13", "14", "15"}));
    QCOMPARE(f.data().Cell(kDataDescription, 15), QString("M-Bus state"));
    QCOMPARE(f.station.readContext().recordOffset, 0);

    // Without the option every telegram starts again at 1.
    Fixture single;
    QVERIFY(single.Fill(WaterTelegram(3, true)));
    QCOMPARE(single.station.readContext().recordOffset, 0);
    QCOMPARE(Numbers(single.data()), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(single.station.trace().lines(), QStringList{"more"});
}

void TestDataTableFilling::multiTelegramFiltersNothing() {
    Fixture f;
    f.station.options().MultiTel_CheckBox = true;
    f.station.readContext().recordSelection = "2,5";
    QVERIFY(f.Fill(WaterTelegram(6)));
    QCOMPARE(Numbers(f.data()), (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
}

// Polling writes at the data write position over the last cycle's rows; a
// position left beyond the table's end grows the table to it.
void TestDataTableFilling::writePositionOverwritesAndGrows() {
    Fixture f;
    QVERIFY(f.Fill(WaterTelegram(2)));
    f.station.tables().setDataWritePosition(1);
    f.station.readContext().timeText = "10:16:00";
    QVERIFY(f.Fill(WaterTelegram(2)));
    QCOMPARE(f.data().RowCount(), 4);
    QCOMPARE(f.data().Cell(kDataTime, 1), QString("10:16:00"));

    f.station.tables().setDataWritePosition(10);
    QVERIFY(f.Fill(WaterTelegram(1)));
    QCOMPARE(f.data().RowCount(), 12);
    QCOMPARE(f.data().Cell(kDataNumber, 10), QString("1"));
    QCOMPARE(f.data().Cell(kDataNumber, 11), QString("2"));
    QCOMPARE(f.data().Cell(kDataNumber, 5), QString());

    f.station.tables().setDataWritePosition(0); // never the header row
    QVERIFY(f.Fill(WaterTelegram(1)));
    QCOMPARE(f.data().Cell(kDataPlace, 0), QString("Beép.hely"));
}

void TestDataTableFilling::appendAfterLastRow() {
    Fixture f;
    QVERIFY(f.Fill(WaterTelegram(2)));
    f.station.readContext().writePositionFlag = false;
    f.station.tables().setDataWritePosition(1);
    QVERIFY(f.Fill(WaterTelegram(2)));
    QCOMPARE(Numbers(f.data()), (QStringList{"1", "2", "3", "1", "2", "3"}));
    QCOMPARE(f.station.tables().dataWritePosition(), 4);
}

void TestDataTableFilling::checkDataset_data() {
    QTest::addColumn<QString>("selection");
    QTest::addColumn<quint64>("set");
    QTest::newRow("1,40") << "1,40" << quint64((1ull << 0) | (1ull << 39));
    QTest::newRow("0,65,abc is empty") << "0,65,abc" << quint64(0);
    QTest::newRow("64 is the last") << "64" << quint64(1ull << 63);
    QTest::newRow("blanks") << " 2 , 3" << quint64(0b110);
}

void TestDataTableFilling::checkDataset() {
    QFETCH(QString, selection);
    QFETCH(quint64, set);
    Fixture f;
    f.station.readContext().recordSelection = selection;
    QCOMPARE(quint64(f.station.Check_Dataset()), set);
    QCOMPARE(f.station.readContext().recordSelection, selection);
}

QTEST_GUILESS_MAIN(TestDataTableFilling)
#include "test_data_table_filling.moc"
