// Value information: one row per decoding rule of the primary table, the two
// extension tables and the combinable VIFEs (scaling, units, dates, FFh and the
// VIFE limits), and the shape of the block itself.
#include "record_rows.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// A 32-bit record of 1234 with the given value information.
void Vi(const char* name, const char* valueInformation, const char* description, const char* value,
        const char* unit) {
    const std::string records = std::string("04 ") + valueInformation + " D2040000";
    AddRecord(name, records.c_str(), 0, description, value, unit);
}

} // namespace

class TestValueInformation : public QObject {
    Q_OBJECT
private slots:
    void primaryTable_data();
    void primaryTable() { CompareRecord(); }
    void firstExtension_data();
    void firstExtension() { CompareRecord(); }
    void secondExtension_data();
    void secondExtension() { CompareRecord(); }
    void combinableVifes_data();
    void combinableVifes() { CompareRecord(); }
    void blockShape_data();
    void blockShape() { CompareRecord(); }
};

void TestValueInformation::primaryTable_data() {
    AddRecordColumns();
    Vi("04h kWh, remainder -2", "04", "energy", "12.34", "kWh");
    Vi("07h MWh", "07", "energy", "12.34", "MWh");
    Vi("15h m^3, one decimal", "15", "volume", "123.4", "m^3");
    Vi("1Bh mass, not scaled", "1B", "mass", "1234", "*10^0 Kg");
    Vi("22h on time", "22", "on time", "1234", "hours");
    Vi("5Ah flow temperature", "5A", "flow temperature", "123.4", "°C");
    Vi("6Fh reserved", "6F", "reserved", "1234", "");
    Vi("79h identification", "79", "identification #", "1234", "");
    Vi("7Bh nothing", "7B", "", "1234", "");
    Vi("7Eh any VIF", "7E", "any VIF", "1234", "");
    Vi("extension bit ignored", "93 00", "volume", "1234", "l");
    AddRecord("6Ch with a 1-byte field is a number", "01 6C 05", 0, "time point", "5", "");
    AddRecord("6Dh with a BCD field is a number", "0C 6D 78563412", 0, "time point", "12345678",
              "");
}

void TestValueInformation::firstExtension_data() {
    AddRecordColumns();
    Vi("00h MWh, one decimal", "FB 00", "energy", "123.4", "MWh");
    Vi("03h reactive energy x10", "FB 03", "reactive energy", "12340", "kVARh");
    Vi("24h USgal./min", "FB 24", "volume flow", "1.234", "USgal./min");
    Vi("61h temperature difference", "FB 61", "temperature difference", "12.34", "°F");
    Vi("76h temperature limit °C", "FB 76", "temperature limit", "123.4", "°C");
    Vi("7Fh max power", "FB 7F", "cumul. count max power", "12.34", "MW");
    Vi("04h reserved", "FB 04", "reserved", "1234", "");
}

void TestValueInformation::secondExtension_data() {
    AddRecordColumns();
    Vi("00h credit", "FD 00", "Credit", "1.234", "Euro");
    Vi("1Dh response delay", "FD 1D", "response delay time", "1234", "bittimes");
    Vi("47h voltage", "FD 47", "voltage", "12.34", "V");
    Vi("59h current", "FD 59", "current", "1234", "mA");
    Vi("74h battery life", "FD 74", "remaining battery life time", "1234", "days");
    Vi("19h reserved", "FD 19", "reserved", "1234", "");
    AddRecord("17h error flags", "02 FD 17 3412", 0, "error flags", "$1234", "");
    AddRecord("30h tariff start, date and time", "04 FD 30 3B17FF2C", 0, "start of tariff",
              "31.12.23 23:59 Win  V", "");
    AddRecord("71h RSSI", "01 FD 71 C8", 0, "RF level units (RSSI)", "-56", "dBm");
}

void TestValueInformation::combinableVifes_data() {
    AddRecordColumns();
    Vi("22h per hour", "93 22", "volume per hour", "1234", "l/hour");
    Vi("chain A2h 3Bh", "93 A2 3B", "volume per hour accumulation positiv", "1234", "l/hour");
    Vi("28h replaces", "93 28", "increment per input pulse on channel 0", "1234", "l");
    Vi("3Dh keeps the unit", "93 3D", "volume", "1234", "l");
    Vi("55h duration", "93 55", "volume last duration of lower limit exceed", "1234", "minutes");
    Vi("60h duration of first", "93 60", "volume duration of first ", "1234", "seconds");
    Vi("duration turns a date into a number", "ED 50",
       "time point first duration of lower limit exceed", "1234", "seconds");
    Vi("70h exponent -6", "93 70", "volume", "0.001234", "l");
    Vi("77h exponent +1", "93 77", "volume", "12340", "l");
    Vi("78h correction", "93 78", "volume additive correction constant", "1.234", "l");
    Vi("7Dh 10^3", "93 7D", "volume", "1234", "10^3 l");
    Vi("FFh shows its bytes", "93 FF 92 05", "volume specific $9205", "1234", "l");
    Vi("FFh after another VIFE", "93 A2 FF 01", "volume per hour specific $01", "1234", "l/hour");
    Vi("FFh consumes a VIFE-like byte", "93 FF 81 22", "volume specific $8122", "1234", "l");
    Vi("FFh stops at the cursor limit", "93 80 80 80 80 80 80 80 80 FF 85", "volume specific $85",
       "1234", "l");
    Vi("ten VIFEs at most", "93 80 80 80 80 80 80 80 80 80 A2", "volume per hour", "1234",
       "l/hour");
    Vi("after FBh", "FB 80 74", "energy", "1.234", "MWh");
    AddRecord("39h start timepoint, date and time", "04 AB 39 3B17FF2C", 0,
              " start timepoint of power", "31.12.23 23:59 Win  V", "");
    AddRecord("6Fh end of last", "04 93 6F 3B17FF2C", 0, "volume end of last",
              "31.12.23 23:59 Win  V", "");
}

void TestValueInformation::blockShape_data() {
    AddRecordColumns();
    AddRecord("7Ch plain text, last byte first", "01 7C 03 616263 05", 0, "", "5", "cba");
    AddRecord("7Ch plain text, Latin-1", "01 7C 02 43B0 05", 0, "", "5", "°C");
    AddRecord("FCh plain text, then a VIFE", "01 FC 02 6261 74 05", 0, "", "0.05", "ab");
    AddRecord("FCh nine characters, no VIFE", "01 FC 09 616263646566676869 05", 0, "", "5",
              "ihgfedcba");
    AddRecord("7Fh manufacturer", "01 7F 05", 0, "man. specific", "5", "");
    AddRecord("FFh manufacturer, ten bytes at most", "01 FF 81 82 83 84 85 86 87 88 89 8A 05", 0,
              "man. specific $8182838485868788898A", "5", "");
}

QTEST_APPLESS_MAIN(TestValueInformation)
#include "test_value_information.moc"
