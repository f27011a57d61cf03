// The value-information tables: every region of the primary table, the two
// extension tables, the combinable VIFEs and the shape of the block itself.
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
    Vi("00h mWh", "00", "energy", "1234", "mWh");
    Vi("03h Wh", "03", "energy", "1234", "Wh");
    Vi("04h kWh, remainder -2", "04", "energy", "12.34", "kWh");
    Vi("06h kWh", "06", "energy", "1234", "kWh");
    Vi("07h MWh", "07", "energy", "12.34", "MWh");
    Vi("0Bh kJ", "0B", "energy", "1234", "kJ");
    Vi("0Fh GJ", "0F", "energy", "12.34", "GJ");
    Vi("10h ml", "10", "volume", "1234", "ml");
    Vi("13h l", "13", "volume", "1234", "l");
    Vi("15h m^3, one decimal", "15", "volume", "123.4", "m^3");
    Vi("17h km^3", "17", "volume", "12.34", "km^3");
    Vi("18h mass", "18", "mass", "1234", "*10^-3 Kg");
    Vi("1Bh mass, not scaled", "1B", "mass", "1234", "*10^0 Kg");
    Vi("1Fh mass", "1F", "mass", "1234", "*10^4 Kg");
    Vi("20h on time", "20", "on time", "1234", "seconds");
    Vi("22h on time", "22", "on time", "1234", "hours");
    Vi("27h operating time", "27", "operating time", "1234", "days");
    Vi("28h power mW", "28", "power", "1234", "mW");
    Vi("2Eh power kW", "2E", "power", "1234", "kW");
    Vi("30h power J/h", "30", "power", "1234", "J/h");
    Vi("35h power MJ/h", "35", "power", "123.4", "MJ/h");
    Vi("38h ml/h", "38", "volume flow", "1234", "ml/h");
    Vi("3Bh l/h", "3B", "volume flow", "1234", "l/h");
    Vi("3Fh km^3/h", "3F", "volume flow", "12.34", "km^3/h");
    Vi("40h ml/min", "40", "volume flow", "123.4", "ml/min");
    Vi("43h l/min", "43", "volume flow", "123.4", "l/min");
    Vi("47h m^3/min", "47", "volume flow", "1234", "m^3/min");
    Vi("48h nm^3/s", "48", "volume flow", "1234", "nm^3/s");
    Vi("4Ah ml/s", "4A", "volume flow", "123.4", "ml/s");
    Vi("4Fh m^3/s", "4F", "volume flow", "12.34", "m^3/s");
    Vi("50h mass flow", "50", "mass flow", "1234", "*10^-3Kg/h");
    Vi("57h mass flow", "57", "mass flow", "1234", "*10^4Kg/h");
    Vi("58h flow temperature m°C", "58", "flow temperature", "1234", "m°C");
    Vi("5Ah flow temperature", "5A", "flow temperature", "123.4", "°C");
    Vi("5Bh flow temperature °C", "5B", "flow temperature", "1234", "°C");
    Vi("5Dh return temperature", "5D", "return temperature", "12.34", "°C");
    Vi("60h temperature difference", "60", "temperature difference", "1234", "mK");
    Vi("63h temperature difference", "63", "temperature difference", "1234", "K");
    Vi("66h external temperature", "66", "external temperature", "123.4", "°C");
    Vi("68h pressure", "68", "pressure", "1234", "mbar");
    Vi("6Bh pressure", "6B", "pressure", "1234", "bar");
    Vi("6Eh HCA", "6E", "HCA-Unit", "1234", "HCA");
    Vi("6Fh reserved", "6F", "reserved", "1234", "");
    Vi("70h averaging duration", "70", "averaging duration", "1234", "seconds");
    Vi("73h averaging duration", "73", "averaging duration", "1234", "days");
    Vi("75h actuality duration", "75", "actuality duration", "1234", "minutes");
    Vi("78h fabrication", "78", "fabrication #", "1234", "");
    Vi("79h identification", "79", "identification #", "1234", "");
    Vi("7Ah bus address", "7A", "bus address", "1234", "");
    Vi("7Bh nothing", "7B", "", "1234", "");
    Vi("7Dh nothing", "7D", "", "1234", "");
    Vi("7Eh any VIF", "7E", "any VIF", "1234", "");
    Vi("extension bit ignored", "93 00", "volume", "1234", "l");
    AddRecord("6Ch with a 1-byte field is a number", "01 6C 05", 0, "time point", "5", "");
    AddRecord("6Dh with a BCD field is a number", "0C 6D 78563412", 0, "time point", "12345678",
              "");
}

void TestValueInformation::firstExtension_data() {
    AddRecordColumns();
    Vi("00h MWh, one decimal", "FB 00", "energy", "123.4", "MWh");
    Vi("01h MWh", "FB 01", "energy", "1234", "MWh");
    Vi("02h reactive energy", "FB 02", "reactive energy", "1234", "kVARh");
    Vi("03h reactive energy x10", "FB 03", "reactive energy", "12340", "kVARh");
    Vi("08h GJ", "FB 08", "energy", "123.4", "GJ");
    Vi("11h k(m3)", "FB 11", "volume", "1234", "k(m3)");
    Vi("18h kt", "FB 18", "mass", "123.4", "kt");
    Vi("21h ft^3", "FB 21", "volume", "123.4", "ft^3");
    Vi("23h USgal.", "FB 23", "volume", "1234", "USgal.");
    Vi("24h USgal./min", "FB 24", "volume flow", "1.234", "USgal./min");
    Vi("25h USgal./min", "FB 25", "volume flow", "1234", "USgal./min");
    Vi("26h USgal./h", "FB 26", "volume flow", "1234", "USgal./h");
    Vi("28h MW", "FB 28", "power", "123.4", "MW");
    Vi("31h GJ/h", "FB 31", "power", "1234", "GJ/h");
    Vi("58h flow temperature", "FB 58", "flow temperature", "1234", "m°F");
    Vi("5Eh return temperature", "FB 5E", "return temperature", "123.4", "°F");
    Vi("61h temperature difference", "FB 61", "temperature difference", "12.34", "°F");
    Vi("67h external temperature", "FB 67", "external temperature", "1234", "°F");
    Vi("70h temperature limit °F", "FB 70", "temperature limit", "1234", "m°F");
    Vi("76h temperature limit °C", "FB 76", "temperature limit", "123.4", "°C");
    Vi("78h max power", "FB 78", "cumul. count max power", "1234", "mW");
    Vi("7Fh max power", "FB 7F", "cumul. count max power", "12.34", "MW");
    Vi("04h reserved", "FB 04", "reserved", "1234", "");
    Vi("32h reserved", "FB 32", "reserved", "1234", "");
}

void TestValueInformation::secondExtension_data() {
    AddRecordColumns();
    Vi("00h credit", "FD 00", "Credit", "1.234", "Euro");
    Vi("03h credit", "FD 03", "Credit", "1234", "Euro");
    Vi("06h debit", "FD 06", "Debit", "123.4", "Euro");
    Vi("08h access number", "FD 08", "access number", "1234", "");
    Vi("0Bh parameter set", "FD 0B", "parameter set id.", "1234", "");
    Vi("14h access code", "FD 14", "access code system operator", "1234", "");
    Vi("1Dh response delay", "FD 1D", "response delay time", "1234", "bittimes");
    Vi("20h first storage", "FD 20", "first storage # for cyclic storage", "1234", "");
    Vi("22h storage block", "FD 22", "size of storage block", "1234", "");
    Vi("26h storage interval", "FD 26", "storage interval", "1234", "hours");
    Vi("28h storage interval", "FD 28", "storage interval", "1234", "months");
    Vi("29h storage interval", "FD 29", "storage interval", "1234", "years");
    Vi("2Bh time point second", "FD 2B", "time point second", "1234", "seconds");
    Vi("2Fh since last readout", "FD 2F", "duration since last readout", "1234", "days");
    Vi("31h duration of tariff", "FD 31", "duration of tariff", "1234", "minutes");
    Vi("34h period of tariff", "FD 34", "period of tariff", "1234", "seconds");
    Vi("39h period of tariff", "FD 39", "period of tariff", "1234", "years");
    Vi("3Ah dimensionless", "FD 3A", "dimensionless", "1234", "");
    Vi("40h voltage", "FD 40", "voltage", "1234", "nV");
    Vi("43h voltage", "FD 43", "voltage", "1234", "µV");
    Vi("47h voltage", "FD 47", "voltage", "12.34", "V");
    Vi("4Fh voltage", "FD 4F", "voltage", "1234", "MV");
    Vi("50h current", "FD 50", "current", "1234", "pA");
    Vi("59h current", "FD 59", "current", "1234", "mA");
    Vi("5Fh current", "FD 5F", "current", "1234", "kA");
    Vi("60h reset counter", "FD 60", "reset counter", "1234", "");
    Vi("67h supplier information", "FD 67", "special supplier information", "1234", "");
    Vi("68h since last cumulation", "FD 68", "duration since last cumulation", "1234", "hours");
    Vi("6Fh battery", "FD 6F", "operating time battery", "1234", "years");
    Vi("74h battery life", "FD 74", "remaining battery life time", "1234", "days");
    Vi("75h times stopped", "FD 75", "#times the meter was stopped", "1234", "");
    Vi("19h reserved", "FD 19", "reserved", "1234", "");
    Vi("3Fh reserved", "FD 3F", "reserved", "1234", "");
    Vi("7Fh reserved", "FD 7F", "reserved", "1234", "");
    AddRecord("17h error flags", "02 FD 17 3412", 0, "error flags", "$1234", "");
    AddRecord("1Ah digital output", "04 FD 1A 78563412", 0, "digital output", "$12345678", "");
    AddRecord("1Bh digital input", "03 FD 1B 563412", 0, "digital input", "$123456", "");
    AddRecord("30h tariff start, date", "02 FD 30 FF2C", 0, "start of tariff", "31.12.23", "");
    AddRecord("30h tariff start, date and time", "04 FD 30 3B17FF2C", 0, "start of tariff",
              "31.12.23 23:59 Win  V", "");
    AddRecord("70h battery change", "04 FD 70 3B17FF2C", 0, "date and time of battery change",
              "31.12.23 23:59 Win  V", "");
    AddRecord("71h RSSI", "01 FD 71 C8", 0, "RF level units (RSSI)", "-56", "dBm");
}

void TestValueInformation::combinableVifes_data() {
    AddRecordColumns();
    Vi("22h per hour", "93 22", "volume per hour", "1234", "l/hour");
    Vi("chain A2h 3Bh", "93 A2 3B", "volume per hour accumulation positiv", "1234", "l/hour");
    Vi("20h per second", "93 20", "volume per second", "1234", "l/sec");
    Vi("27h per revolution", "93 27", "volume per revolution / measurement", "1234", "l/rev.");
    Vi("28h replaces", "93 28", "increment per input pulse on channel 0", "1234", "l");
    Vi("2Bh replaces", "93 2B", "increment per output pulse on channel 1", "1234", "l");
    Vi("2Dh per m^3", "93 2D", "volume per m^3", "1234", "l/m^3");
    Vi("33h per (K*l)", "93 33", "volume per (K*l)", "1234", "l/(K*l)");
    Vi("36h * sec", "93 36", "volume * sec", "1234", "l*s");
    Vi("38h sec/A", "93 38", "volume sec/A", "1234", "l*s/A");
    Vi("3Ah uncorrected", "93 3A", "volume uncorrected", "1234", "l");
    Vi("3Ch accumulation", "93 3C", "volume accumulation negativ", "1234", "l");
    Vi("3Dh keeps the unit", "93 3D", "volume", "1234", "l");
    Vi("05h does nothing", "93 05", "volume", "1234", "l");
    Vi("1Ch standard conform", "93 1C", "volume standard conform data content", "1234", "l");
    Vi("40h lower limit", "93 40", "volume lower limit", "1234", "l");
    Vi("41h exceeds", "93 41", "volume # of exceeds of lower limit", "1234", "");
    Vi("49h exceeds", "93 49", "volume # of exceeds of upper limit", "1234", "");
    Vi("44h nothing", "93 44", "volume", "1234", "l");
    Vi("50h duration", "93 50", "volume first duration of lower limit exceed", "1234", "seconds");
    Vi("55h duration", "93 55", "volume last duration of lower limit exceed", "1234", "minutes");
    Vi("5Ah duration", "93 5A", "volume first duration of upper limit exceed", "1234", "hours");
    Vi("5Fh duration", "93 5F", "volume last duration of upper limit exceed", "1234", "days");
    Vi("60h duration of first", "93 60", "volume duration of first ", "1234", "seconds");
    Vi("66h duration of last", "93 66", "volume duration of last ", "1234", "hours");
    Vi("duration turns a date into a number", "ED 50",
       "time point first duration of lower limit exceed", "1234", "seconds");
    Vi("68h", "93 68", "volume value during lower limit exceed", "1234", "l");
    Vi("69h", "93 69", "volume leakage values", "1234", "l");
    Vi("6Ch", "93 6C", "volume value during upper limit exceed", "1234", "l");
    Vi("6Dh", "93 6D", "volume overflow values", "1234", "l");
    Vi("70h exponent -6", "93 70", "volume", "0.001234", "l");
    Vi("74h exponent -2", "93 74", "volume", "12.34", "l");
    Vi("77h exponent +1", "93 77", "volume", "12340", "l");
    Vi("78h correction", "93 78", "volume additive correction constant", "1.234", "l");
    Vi("7Bh correction", "93 7B", "volume additive correction constant", "1234", "l");
    Vi("7Dh 10^3", "93 7D", "volume", "1234", "10^3 l");
    Vi("7Eh future value", "93 7E", "volume future value", "1234", "l");
    Vi("7Fh specific", "93 7F", "volume specific", "1234", "l");
    Vi("FFh shows its bytes", "93 FF 92 05", "volume specific $9205", "1234", "l");
    Vi("FFh after another VIFE", "93 A2 FF 01", "volume per hour specific $01", "1234", "l/hour");
    Vi("FFh consumes a VIFE-like byte", "93 FF 81 22", "volume specific $8122", "1234", "l");
    Vi("FFh stops at the cursor limit", "93 80 80 80 80 80 80 80 80 FF 85", "volume specific $85",
       "1234", "l");
    Vi("ten VIFEs at most", "93 80 80 80 80 80 80 80 80 80 A2", "volume per hour", "1234",
       "l/hour");
    Vi("after FBh", "FB 80 74", "energy", "1.234", "MWh");
    Vi("after FDh", "FD 88 20", "access number per second", "1234", "/sec");
    AddRecord("39h start timepoint, date and time", "04 AB 39 3B17FF2C", 0,
              " start timepoint of power", "31.12.23 23:59 Win  V", "");
    AddRecord("39h start timepoint, date", "02 AB 39 FF2C", 0, " start timepoint of power",
              "31.12.23", "");
    AddRecord("42h limit exceed", "04 93 42 3B17FF2C", 0,
              "volume begin of first lower limit exceed", "31.12.23 23:59 Win  V", "");
    AddRecord("43h limit exceed", "02 93 43 FF2C", 0, "volume end of first lower limit exceed",
              "31.12.23", "");
    AddRecord("46h limit exceed", "02 93 46 FF2C", 0, "volume begin of last lower limit exceed",
              "31.12.23", "");
    AddRecord("4Bh limit exceed", "02 93 4B FF2C", 0, "volume end of first upper limit exceed",
              "31.12.23", "");
    AddRecord("4Fh limit exceed", "02 93 4F FF2C", 0, "volume end of last upper limit exceed",
              "31.12.23", "");
    AddRecord("6Ah begin of first", "02 93 6A FF2C", 0, "volume begin of first", "31.12.23", "");
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
    AddRecord("FFh manufacturer", "01 FF 81 02 05", 0, "man. specific $8102", "5", "");
    AddRecord("FFh manufacturer, ten bytes at most", "01 FF 81 82 83 84 85 86 87 88 89 8A 05", 0,
              "man. specific $8182838485868788898A", "5", "");
}

QTEST_APPLESS_MAIN(TestValueInformation)
#include "test_value_information.moc"
