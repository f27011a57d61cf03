// The fixed data structure: two counters with their unit codes.
#include "record_rows.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// CI 73h (or 77h) telegram: status, the two medium/unit bytes, the counters.
QByteArray Fixed(const char* status, const char* units, const char* counters,
                 const char* ci = "73") {
    const std::string body =
        std::string("09 ") + ci + " 78563412 0A " + status + " " + units + " " + counters;
    return AsBytes(LongFrame(0x08, body.c_str()));
}

} // namespace

class TestFixedStructure : public QObject {
    Q_OBJECT
private slots:
    void counters_data();
    void counters() { CompareRecord(); }
    void twoRecordsOnly();
};

void TestFixedStructure::counters_data() {
    AddRecordColumns();
    const QByteArray bcd = Fixed("00", "05 00", "45230100 00000000");
    AddRecordRow("BCD kWh", bcd, 0, "energy", "    12345.00", "kWh");
    AddRecordRow("counter 2 in hms", bcd, 1, "time", "        0.00", "hms");
    const QByteArray stored = Fixed("00", "04 3E", "00000000 45230100");
    AddRecordRow("counter 2 stored in counter 1's unit", stored, 1, "energy", "     1234.50", "kWh",
                 {"instant.", 1, 0, 0});
    AddRecordRow("binary negative", Fixed("01", "05 05", "39300000 FFFFFFFF"), 1, "energy",
                 "       -1.00", "kWh");
    AddRecordRow("BCD not decimal", Fixed("00", "05 05", "4523010A 00000000"), 0, "energy",
                 "ungltig", "kWh");
    // Medium 11 (heat): medium bits 3 and 2 of the two bytes; read high byte first.
    AddRecordRow("high byte first (medium 11)", Fixed("00", "C5 85", "00012345 00000000"), 0,
                 "energy", "    12345.00", "kWh");
    AddRecordRow("temperature", Fixed("00", "38 00", "00250100 00000000"), 0, "temperature",
                 "       12.50", "øC");
    AddRecordRow("litres, divisor 100", Fixed("00", "27 00", "00250100 00000000"), 0, "volume",
                 "      125.00", " l");
    AddRecordRow("unit 63", Fixed("00", "3F 00", "01000000 00000000"), 0, "", "        1.00", "");
}

void TestFixedStructure::twoRecordsOnly() {
    Interpreter in;
    Store(in, Fixed("00", "05 00", "45230100 00000000"));
    QCOMPARE(in.CountRecords(), 2);
    QVERIFY(!in.MoreRecordsFollow());
    QVERIFY(in.RecordPositions().empty());
    QVERIFY(in.GetRecord(1));
    QVERIFY(!in.GetRecord(2));
    QCOMPARE(in.CurrentRecord().Description, "time");
}

QTEST_APPLESS_MAIN(TestFixedStructure)
#include "test_fixed_structure.moc"
