// The record walk: where records are found, where the walk ends, the special
// layout of one meter family, and the walk kept until the buffer changes.
#include "record_rows.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

QList<int> Positions(const Interpreter& in) {
    QList<int> positions;
    for (std::uint16_t p : in.RecordPositions()) {
        positions.append(p);
    }
    return positions;
}

// A 152-byte telegram (L = 146) of a heat meter of the special layout: one
// energy record, manufacturer data, and values at the fixed positions.
QByteArray SpecialTelegram(std::uint8_t medium, std::uint8_t format127, std::uint8_t format128,
                           const char* manufacturer = "2D2C", std::size_t extraBytes = 0) {
    std::vector<std::uint8_t> data(131 + extraBytes, 0); // bytes 20-150
    const auto put = [&data](std::size_t position, std::initializer_list<std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), data.begin() + (position - 20));
    };
    put(20, {0x04, 0x04, 0xD2, 0x04, 0x00, 0x00, 0x0F});
    put(115, {0x78, 0x56, 0x34, 0x12});
    put(119, {0x01, 0x00, 0x00, 0x00});
    put(127, {format127, format128});
    put(143, {0x00, 0x00, 0x12, 0x00});
    QByteArray body = QByteArray::fromHex("05 72 78563412 2D2C 01 04 00 00 0000");
    body.replace(6, 2, QByteArray::fromHex(manufacturer));
    body[9] = static_cast<char>(medium);
    body.append(AsBytes(data));
    return AsBytes(LongFrame(0x08, body.toHex().constData()));
}

} // namespace

class TestRecordWalk : public QObject {
    Q_OBJECT
private slots:
    void walk_data();
    void walk();
    void specialLayout_data();
    void specialLayout() { CompareRecord(); }
    void specialLayoutNeedsAllThree_data();
    void specialLayoutNeedsAllThree();
    void specialLayoutEndsRegularRecordsAtByte85();
    void otherKindsHaveNoRecords_data();
    void otherKindsHaveNoRecords();
    void indexOutOfRangeLeavesRecord();
    void walkFollowsTheBuffer();
    void recordsMatchAFreshWalk();
};

void TestRecordWalk::walk_data() {
    QTest::addColumn<QString>("records");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("more");
    QTest::addColumn<QList<int>>("positions");
    QTest::newRow("no data") << "" << 0 << false << QList<int>{};
    QTest::newRow("ends at the checksum") << "01 13 05" << 1 << false << QList<int>{20};
    QTest::newRow("fillers between")
        << "01 13 05 2F 2F 01 13 06" << 2 << false << QList<int>{20, 23};
    QTest::newRow("fillers to the end") << "01 13 05 2F 2F" << 1 << false << QList<int>{20};
    QTest::newRow("0Fh ends") << "01 13 05 0F 01 13 06" << 1 << false << QList<int>{20};
    QTest::newRow("1Fh: more follow") << "01 13 05 1F AABB" << 1 << true << QList<int>{20};
    QTest::newRow("filler, then 1Fh") << "2F 1F" << 0 << true << QList<int>{};
    QTest::newRow("DIF 8Fh ends") << "01 13 05 8F 00 13 05" << 1 << false << QList<int>{20};
    QTest::newRow("date and time of code 0Fh ends")
        << "01 13 05 8F 00 FD 70 01 13 05" << 1 << false << QList<int>{20};
    QTest::newRow("FAh: next after the DIF")
        << "0D 13 FA 00 010203" << 2 << false << QList<int>{20, 21};
    QTest::newRow("field past the checksum") << "04 13 0102" << 1 << false << QList<int>{20};
    QTest::newRow("plain text past the end") << "01 7C FF 41" << 1 << false << QList<int>{20};
}

void TestRecordWalk::walk() {
    QFETCH(QString, records);
    Interpreter in;
    Store(in, VariableTelegram(records.toStdString()));
    QTEST(in.CountRecords(), "count");
    QTEST(in.MoreRecordsFollow(), "more");
    QTEST(Positions(in), "positions");
    QFETCH(int, count);
    QVERIFY(!in.GetRecord(count));
}

void TestRecordWalk::specialLayout_data() {
    AddRecordColumns();
    const QByteArray t = SpecialTelegram(4, 80, 3);
    AddRecordRow("regular record", t, 0, "energy", "12.34", "kWh");
    AddRecordRow("input a, format 3", t, 1, "input a", "1234567.8", "m^3");
    AddRecordRow("input b, format 80", t, 2, "input b", "00000001", "kWh");
    AddRecordRow("cooling energy, first VIF", t, 3, "cooling energy", "001200.00", "kWh");
    const auto a = [](const char* name, std::uint8_t format, const char* value, const char* unit) {
        AddRecordRow(name, SpecialTelegram(12, 64, format), 1, "input a", value, unit);
    };
    a("input a, format 64", 64, "12345678", "m^3");
    a("input a, format 0", 0, "12345678", "err");
    a("input a, format 80", 80, "12345678", "err");
    const auto b = [](const char* name, std::uint8_t format, const char* value, const char* unit) {
        AddRecordRow(name, SpecialTelegram(4, format, 64), 2, "input b", value, unit);
    };
    b("input b, format 1", 1, "0000000.1", "m^3");
    b("input b, format 65", 65, "00000001", "err");
}

void TestRecordWalk::specialLayoutNeedsAllThree_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::addColumn<int>("count");
    QTest::newRow("KAM, heat outlet, L=146") << SpecialTelegram(4, 64, 64) << 4;
    QTest::newRow("KAM, heat inlet, L=146") << SpecialTelegram(12, 64, 64) << 4;
    QTest::newRow("water meter") << SpecialTelegram(7, 64, 64) << 1;
    QTest::newRow("other manufacturer") << SpecialTelegram(4, 64, 64, "B409") << 1;
    QTest::newRow("L=147") << SpecialTelegram(4, 64, 64, "2D2C", 1) << 1;
}

void TestRecordWalk::specialLayoutNeedsAllThree() {
    QFETCH(QByteArray, telegram);
    Interpreter in;
    Store(in, telegram);
    QTEST(in.CountRecords(), "count");
    QFETCH(int, count);
    QCOMPARE(in.SpecialLayoutFlag(), count == 4);
    if (count == 4) {
        QCOMPARE(Positions(in), (QList<int>{20, 115, 119, 143}));
    }
}

// Regular records that run on past byte 84 are not read as fixed positions
// over and over: the walk ends there and the three fixed values follow.
void TestRecordWalk::specialLayoutEndsRegularRecordsAtByte85() {
    QByteArray telegram = SpecialTelegram(4, 64, 64);
    for (int position = 20; position <= 86; position += 6) {
        telegram.replace(position - 1, 6, QByteArray::fromHex("0404D2040000"));
    }
    telegram = AsBytes(LongFrame(0x08, telegram.mid(5, 145).toHex().constData()));
    Interpreter in;
    Store(in, telegram);
    QCOMPARE(in.CountRecords(), 14);
    QCOMPARE(in.RecordPositions()[10], 80);
    QCOMPARE(in.RecordPositions()[11], 115);
    QVERIFY(in.GetRecord(13));
    QCOMPARE(in.CurrentRecord().Description, "cooling energy");
}

void TestRecordWalk::otherKindsHaveNoRecords_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::newRow("acknowledgement") << QByteArray("\xE5");
    QTest::newRow("CI 78h") << AsBytes(LongFrame(0x08, "05 78 01 13 05"));
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
