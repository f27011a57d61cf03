// Data information and data fields: DIF and DIFEs, each data field coding,
// each variable-length range, records the rules cannot decode, byte order.
#include "record_rows.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// Record `index` of a CI 76h (high byte first) telegram.
void AddHighByteFirst(const char* name, const char* records, const char* description,
                      const char* value, const char* unit) {
    AddRecordRow(name, VariableTelegram(records, true), 0, description, value, unit);
}

} // namespace

class TestDataFields : public QObject {
    Q_OBJECT
private slots:
    void dataInformation_data();
    void dataInformation() { CompareRecord(); }
    void numbers_data();
    void numbers() { CompareRecord(); }
    void datesAndTimes_data();
    void datesAndTimes() { CompareRecord(); }
    void variableLength_data();
    void variableLength() { CompareRecord(); }
    void undecodableRecordsAreSkipped_data();
    void undecodableRecordsAreSkipped() { CompareRecord(); }
    void highByteFirst_data();
    void highByteFirst() { CompareRecord(); }
};

void TestDataFields::dataInformation_data() {
    AddRecordColumns();
    const char* v = "volume";
    AddRecord("84h 40h: subunit 1", "84 40 13 D2040000", 0, v, "1234", "l", {"instant.", 0, 0, 1});
    AddRecord("C4h 01h: storage 3", "C4 01 13 D2040000", 0, v, "1234", "l", {"instant.", 3, 0, 0});
    AddRecord("DIFE 10h: tariff 1", "84 10 13 D2040000", 0, v, "1234", "l", {"instant.", 0, 1, 0});
    AddRecord("14h maximum", "14 13 D2040000", 0, v, "1234", "l", {"maximum"});
    AddRecord("second DIFE", "84 80 7F 13 D2040000", 0, v, "1234", "l", {"instant.", 480, 12, 2});
    AddRecord("fourth DIFE: storage bit 16 dropped", "84 8F 8F 8F 0F 13 D2040000", 0, v, "1234",
              "l", {"instant.", 65534, 0, 0});
    AddRecord("fifth DIFE ignored", "84 80 80 80 80 7F 13 D2040000", 0, v, "1234", "l");
    AddRecord("eleventh byte is the VIF", "84 80 80 80 80 80 80 80 80 80 80 13 D2040000", 0, v,
              "1234", "l");
}

void TestDataFields::numbers_data() {
    AddRecordColumns();
    const char* v = "volume";
    AddRecord("code 0: no data", "00 13 01 13 05", 0, v, "", "l");
    AddRecord("code 0: next record", "00 13 01 13 05", 1, v, "5", "l");
    AddRecord("code 8: selection", "08 13 01 13 05", 1, v, "5", "l");
    AddRecord("8-bit -1", "01 13 FF", 0, v, "-1", "l");
    AddRecord("24-bit smallest", "03 13 000080", 0, v, "-8388608", "l");
    AddRecord("48-bit negative", "06 13 010000000080", 0, v, "-140737488355327", "l");
    AddRecord("64-bit smallest", "07 13 0000000000000080", 0, v, "-9223372036854775808", "l");
    AddRecord("64-bit largest, e+1", "07 93 77 FFFFFFFFFFFFFF7F", 0, v, "92233720368547758070",
              "l");
    AddRecord("real", "05 5B 0000C03F", 0, "flow temperature", "1.500", "°C");
    AddRecord("real, scaled", "05 5A 0000C03F", 0, "flow temperature", "0.150", "°C");
    AddRecord("BCD 8 digits, e-2", "0C 14 34120000", 0, v, "000012.34", "m^3");
    AddRecord("BCD 12 digits", "0E 13 120000000000", 0, v, "000000000012", "l");
    AddRecord("BCD negative", "0C 15 341200F0", 0, v, "-000123.4", "m^3");
    AddRecord("BCD not decimal", "0C 13 AAAA0000", 0, v, "0000AAAA", "");
    AddRecord("hexadecimal 64-bit", "07 FD 17 0102030405060708", 0, "error flags",
              "$0807060504030201", "");
    AddRecord("hexadecimal with BCD code is BCD", "0A FD 17 3412", 0, "error flags", "1234", "");
}

void TestDataFields::datesAndTimes_data() {
    AddRecordColumns();
    const char* t = "time point";
    AddRecord("type G", "02 6C FF2C", 0, t, "31.12.23", "");
    AddRecord("type G in 4 bytes", "04 6C FF2C 0000 01 13 05", 0, t, "31.12.23", "");
    AddRecord("type G in 4 bytes, next", "04 6C FF2C 0000 01 13 05", 1, "volume", "5", "l");
    AddRecord("type F", "04 6D 3B17FF2C", 0, t, "31.12.23 23:59 Win  V", "");
    AddRecord("type F summer, invalid", "04 6D BB97FF2C", 0, t, "31.12.23 23:59 Sum IV", "");
    AddRecord("type I", "06 6D 051E0CFF2C00", 0, t, "31.12.23 12:30:05 Win  V", "");
    AddRecord("time of day", "03 6D 050403", 0, t, " 3: 4: 5", "");
    AddRecord("12 BCD digits", "0E 6D 010203040506", 0, "time point (ABB only)", "060504030201",
              "");
}

void TestDataFields::variableLength_data() {
    AddRecordColumns();
    const char* v = "volume";
    AddRecord("text, last byte first", "0D 13 03 434241", 0, v, "ABC", "l");
    AddRecord("text with exponent", "0D 15 03 434241", 0, v, "ABC", "e-1 m^3");
    AddRecord("text with control bytes", "0D 13 04 00 0A 4241", 0, v, "AB  ", "l");
    AddRecord("empty text, next", "0D 13 00 01 13 05", 1, v, "5", "l");
    AddRecord("text, Latin-1", "0D 13 01 E9", 0, v, "é", "l");
    AddRecord("positive BCD", "0D 13 C2 4523", 0, v, "2345", "l");
    AddRecord("negative BCD", "0D 13 D2 4523", 0, v, "-2345", "l");
    AddRecord("negative BCD with F: one sign", "0D 13 D2 45F3", 0, v, "-345", "l");
    AddRecord("binary as transmitted", "0D 13 E3 010203", 0, v, "010203", "l");
    AddRecord("binary F0h, 16 bytes", "0D 13 F0 000102030405060708090A0B0C0D0E0F", 0, v,
              "000102030405060708090A0B0C0D0E0F", "l");
    AddRecord("binary F1h, 20 bytes, next",
              "0D 13 F1 0000000000000000000000000000000000000000 01 13 05", 1, v, "5", "l");
    AddRecord("double", "0D 13 F8 000000000000F83F", 0, v, "1.500", "l");
    AddRecord("double not scaled", "0D 15 F8 000000000000F83F", 0, v, "1.500", "m^3");
    AddRecord("FAh", "0D 13 FA 00 010203", 0, v, "xxx", "l");
    AddRecord("FAh: next record after the DIF", "0D 13 FA 00 010203", 1, "bus address", "197121",
              "", {"maximum"});
}

// A date-and-time field of the wrong size, or a hexadecimal one of code 5:
// the value stays empty and the record after it is found.
void TestDataFields::undecodableRecordsAreSkipped_data() {
    AddRecordColumns();
    const char* v = "volume";
    AddRecord("date and time in 2 bytes", "02 6D FF2C 01 13 05", 0, "time point", "", "");
    AddRecord("date and time in 2 bytes, next", "02 6D FF2C 01 13 05", 1, v, "5", "l");
    AddRecord("date and time in 1 byte, next", "01 AB 39 05 01 13 07", 1, v, "7", "l");
    AddRecord("date and time in 8 bytes, next", "07 FD 70 0102030405060708 01 13 05", 1, v, "5",
              "l");
    AddRecord("date and time, variable, next", "0D FD 70 02 AABB 01 13 05", 1, v, "5", "l");
    AddRecord("hexadecimal code 5", "05 FD 17 78563412 01 13 05", 0, "error flags", "$12345678",
              "");
}

void TestDataFields::highByteFirst_data() {
    AddRecordColumns();
    const char* v = "volume";
    AddHighByteFirst("32-bit", "04 13 000004D2", v, "1234", "l");
    AddHighByteFirst("BCD", "0C 13 00001234", v, "00001234", "l");
    AddHighByteFirst("real", "05 5B 3FC00000", "flow temperature", "1.500", "°C");
    AddHighByteFirst("type F", "04 6D 2CFF173B", "time point", "31.12.23 23:59 Win  V", "");
    AddHighByteFirst("type I unchanged", "06 6D 051E0CFF2C00", "time point",
                     "31.12.23 12:30:05 Win  V", "");
    AddHighByteFirst("text", "0D 13 03 414243", v, "ABC", "l");
    AddHighByteFirst("variable binary as transmitted", "0D 13 E3 010203", v, "010203", "l");
    AddHighByteFirst("double", "0D 13 F8 3FF8000000000000", v, "1.500", "l");
    AddHighByteFirst("plain-text unit still last byte first", "01 7C 03 616263 05", "", "5", "cba");
}

QTEST_APPLESS_MAIN(TestDataFields)
#include "test_data_fields.moc"
