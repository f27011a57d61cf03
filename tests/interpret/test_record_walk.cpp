// The record walk kept with the buffer: records read in any order, out of
// range, and walked again when the buffer changes. (Where the walk finds
// records is shown by the golden telegrams of the import.)
#include "telegram_bytes.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestRecordWalk : public QObject {
    Q_OBJECT
private slots:
    void moreFollowWithoutRecords();
    void otherKindsHaveNoRecords_data();
    void otherKindsHaveNoRecords();
    void indexOutOfRangeLeavesRecord();
    void walkFollowsTheBuffer();
    void recordsMatchAFreshWalk();
};

// Fillers, then 1Fh: no record, yet more follow.
void TestRecordWalk::moreFollowWithoutRecords() {
    Interpreter in;
    Store(in, VariableTelegram("2F 1F"));
    QCOMPARE(in.CountRecords(), 0);
    QVERIFY(in.MoreRecordsFollow());
}

void TestRecordWalk::otherKindsHaveNoRecords_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::newRow("acknowledgement") << QByteArray("\xE5");
    QTest::newRow("CI 78h") << LongFrame(0x08, "05 78 01 13 05");
    QTest::newRow("empty buffer") << QByteArray();
}

void TestRecordWalk::otherKindsHaveNoRecords() {
    QFETCH(QByteArray, telegram);
    Interpreter in;
    Store(in, telegram);
    QCOMPARE(in.CountRecords(), 0);
    QVERIFY(!in.GetRecord(0));
    QVERIFY(!in.MoreRecordsFollow());
}

void TestRecordWalk::indexOutOfRangeLeavesRecord() {
    Interpreter in;
    Store(in, VariableTelegram("01 13 05 01 13 06"));
    QVERIFY(in.GetRecord(1));
    const DecodedRecord before = in.CurrentRecord();
    QVERIFY(!in.GetRecord(2));
    QVERIFY(!in.GetRecord(-1));
    QCOMPARE(in.CurrentRecord(), before);
    QCOMPARE(in.CurrentRecord().Value, "6");
}

// A new telegram of the same length is walked again, not read through the
// old positions.
void TestRecordWalk::walkFollowsTheBuffer() {
    Interpreter in;
    Store(in, VariableTelegram("01 13 05 1F 0000"));
    QCOMPARE(in.CountRecords(), 1);
    QVERIFY(in.MoreRecordsFollow());
    Store(in, VariableTelegram("01 13 07 01 13 08"));
    QVERIFY(in.GetRecord(1));
    QCOMPARE(in.CurrentRecord().Value, "8");
    QVERIFY(!in.MoreRecordsFollow());
    QCOMPARE(in.CountRecords(), 2);
}

// Reading records in any order from the kept walk gives what a fresh
// interpreter gives for each record alone.
void TestRecordWalk::recordsMatchAFreshWalk() {
    const QByteArray telegram =
        VariableTelegram("0C 78 78563412 84 10 06 E7910000 04 6D 1A2F6511 2F 0D 13 FA 00 010203 "
                         "02 FD 17 3412 05 5B 0000C03F 1F");
    Interpreter kept;
    Store(kept, telegram);
    const int count = kept.CountRecords();
    QCOMPARE(count, 7);
    for (int i = count - 1; i >= 0; --i) {
        QVERIFY(kept.GetRecord(i));
        Interpreter fresh;
        Store(fresh, telegram);
        QVERIFY(fresh.GetRecord(i));
        QCOMPARE(kept.CurrentRecord(), fresh.CurrentRecord());
    }
}

QTEST_APPLESS_MAIN(TestRecordWalk)
#include "test_record_walk.moc"
