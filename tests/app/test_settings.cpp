// The settings file (its INI rules and the values read from it and written
// back), the command line and the program's own options.
#include "app/program_options.h"
#include "app/settings.h"

#include "app/command_line.h"
#include "app/ini_file.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using Kind = CommandAction::Kind;

Q_DECLARE_METATYPE(std::vector<CommandAction>)

namespace {

CommandAction Flag(Kind k, bool on) {
    return {k, on, {}, 0};
}
CommandAction Text(Kind k, const QString& t) {
    return {k, false, t, 0};
}
CommandAction Number(Kind k, int n) {
    return {k, false, {}, n};
}

const QString kProgram = "/opt/quorven/quorven";

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void keywords_data();
    void keywords();
    void port_data();
    void port();
    void numbers_data();
    void numbers();
    void writeBack();
    void programOptions_data();
    void programOptions();
    void settingsFileName();
    void configFolder();
    void read_data();
    void read();
    void write_data();
    void write();
    void portsEntries();
    void saveReplacesAtomically();
    void writeProtected();
    void noParameters();
    void parse_data();
    void parse();
    void state_data();
    void state();
};

void TestSettings::keywords_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("sndNke");
    QTest::addColumn<bool>("multiTel");
    QTest::addColumn<bool>("appReset");
    QTest::addColumn<bool>("mdk");
    QTest::addColumn<bool>("ids");
    QTest::addColumn<bool>("pulse");
    QTest::newRow("every keyword, mixed case")
        << QByteArray("[Data]\nREADMODE=snd_nke\nRESETMODE=AppRes\nTELMODE=MULTITEL\n"
                      "RTSMODE=mdk\nIDSMODE=Enhanced\nTelpuls=1\n")
        << true << true << true << true << true << true;
    QTest::newRow("other words leave the boxes unchecked")
        << QByteArray("[Data]\nREADMODE=NONE\nRTSMODE=MDK2\nTelpuls=yes\n") << false << false
        << false << false << false << false;
}

void TestSettings::keywords() {
    QFETCH(QByteArray, file);
    QStringList report;
    const AppSettings s = ReadSettings(IniFile::fromBytes(file), &report);
    QTEST(s.sndNke, "sndNke");
    QTEST(s.multiTel, "multiTel");
    QTEST(s.appReset, "appReset");
    QTEST(s.mdk, "mdk");
    QTEST(s.enhancedIds, "ids");
    QTEST(s.pulseDial, "pulse");
}

void TestSettings::port_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("port");
    QTest::newRow("COM12") << "COM12" << 12;
    QTest::newRow("COM255") << "COM255" << 255;
    QTest::newRow("COM0") << "COM0" << 0;
    QTest::newRow("COM256") << "COM256" << 0;
    QTest::newRow("COM1000, too long") << "COM1000" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("not a number") << "COMx" << 0;
    QTest::newRow("lower case") << "com3" << 3;
}

void TestSettings::port() {
    QFETCH(QString, value);
    QTEST(PortFromSetting(value), "port");
    QStringList report;
    const auto s =
        ReadSettings(IniFile::fromBytes("[Data]\nMB1Port=" + value.toUtf8() + "\n"), &report);
    QTEST(s.port, "port");
}

void TestSettings::numbers_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QStringList>("report");
    QTest::newRow("not numbers: defaults, reported, reading goes on")
        << QByteArray("[Data]\nSTXRETRIES=five\nTIMEOUT=1O0\n") << 5 << 0
        << QStringList{"Bad value \"five\" for STXRETRIES in settings file, default 5 used",
                       "Bad value \"1O0\" for TIMEOUT in settings file, default 0 used"};
    QTest::newRow("retries kept in 1..255")
        << QByteArray("[Data]\nSTXRETRIES=0\n") << 1 << 0
        << QStringList{"Value 0 for STXRETRIES in settings file out of range, 1 used"};
    QTest::newRow("time-out is 16 bits")
        << QByteArray("[Data]\nTIMEOUT=70000\n") << 5 << 65535
        << QStringList{"Value 70000 for TIMEOUT in settings file out of range, 65535 used",
                       "Additional timeout 65535 ms"};
    QTest::newRow("blanks around a number")
        << QByteArray("[Data]\nSTXRETRIES= 7 \n") << 7 << 0 << QStringList{};
    QTest::newRow("huge number is bad, not wrapped")
        << QByteArray("[Data]\nTIMEOUT=99999999999999999999999\n") << 5 << 0
        << QStringList{"Bad value \"99999999999999999999999\" for TIMEOUT in settings file, "
                       "default 0 used"};
}

void TestSettings::numbers() {
    QFETCH(QByteArray, file);
    QStringList report;
    const AppSettings s = ReadSettings(IniFile::fromBytes(file + "TIMEINTERVAL=9\n"), &report);
    QTEST(int(s.stxRetries), "retries");
    QTEST(int(s.additionalTimeoutMs), "timeout");
    QTEST(report, "report");
    QCOMPARE(s.cycleTime, QString("9")); // the keys after the bad ones are still read
}

void TestSettings::writeBack() {
    AppSettings s;
    s.port = 12;
    s.modemInit = "ATZ";
    s.phoneNumber = "0612345\r\n67";
    s.pulseDial = true;
    s.sndNke = false;
    s.appReset = true;
    s.multiTel = true;
    s.mdk = true;
    s.enhancedIds = true;
    s.cycleTime = "1 2 0";
    s.csvSeparator = ";x";
    s.stxRetries = 9; // read only: never written
    IniFile ini;
    WriteSettings(ini, s);
    QCOMPARE(QString::fromUtf8(ini.toBytes()).split(ini.lineEnd()),
             QStringList({"[Data]", "MB1Port=COM12", "Telini=ATZ", "Telnr=061234567", "Telpuls=1",
                          "READMODE=", "RESETMODE=APPRES", "TELMODE=MULTITEL", "RTSMODE=MDK",
                          "IDSMODE=ENHANCED", "TIMEINTERVAL=120", "CSVSEPARATOR=;", ""}));

    s = AppSettings();
    s.port = 0;
    IniFile ini2;
    WriteSettings(ini2, s);
    QCOMPARE(*ini2.value(u"Data", u"MB1Port"), QString());
    QCOMPARE(*ini2.value(u"Data", u"READMODE"), QString("SND_NKE"));
    QCOMPARE(*ini2.value(u"Data", u"Telpuls"), QString("0"));
}

void TestSettings::programOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("configDir");
    QTest::addColumn<QStringList>("switches");
    QTest::newRow("simulate the demonstration bus") << QStringList{"--simulate", "/L"} << true << ""
                                                    << "" << QStringList{"/L"};
    QTest::newRow("simulate a file, config dir")
        << QStringList{"/c:3", "--simulate=bus.json", "--config-dir=/tmp/q", "/l"} << true
        << "bus.json"
        << "/tmp/q" << QStringList{"/c:3", "/l"};
    QTest::newRow("import is the program's own")
        << QStringList{"--import=t.hex", "/N"} << false << ""
        << "" << QStringList{"/N"};
    QTest::newRow("similar names are switches")
        << QStringList{"--simulated", "--config-dirx=1"} << false << ""
        << "" << QStringList{"--simulated", "--config-dirx=1"};
}

void TestSettings::programOptions() {
    QFETCH(QStringList, args);
    const auto o = ParseProgramOptions(args);
    QTEST(o.simulate, "simulate");
    QTEST(o.simulationFile, "file");
    QTEST(o.configDir, "configDir");
    QTEST(o.switches, "switches");
}

void TestSettings::settingsFileName() {
    QCOMPARE(SettingsFileName("C:/Tools/Quorven.EXE"), QString("quorven.ini"));
    QCOMPARE(SettingsFileName("/usr/bin/quorven"), QString("quorven.ini"));
    QCOMPARE(SettingsFileName("/opt/q/quorven.v2.bin"), QString("quorven.v2.ini"));
}

void TestSettings::configFolder() {
    QTemporaryDir program;
    QTemporaryDir user;
    QCOMPARE(ConfigFolder("", program.path(), user.path()), QDir(program.path()).absolutePath());
    QCOMPARE(ConfigFolder(user.path() + "/explicit", program.path(), user.path()),
             user.path() + "/explicit");
    // A program folder that is not there (or not writable) falls back to the user's.
    QCOMPARE(ConfigFolder("", program.path() + "/gone", user.path()), user.path());
}

// Every lookup is of a key in section "Data".
void TestSettings::read_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("expected"); // invalid: no value
    const QByteArray data = "[data]\r\nMB1Port=COM3\r\nCSVSEPARATOR=;\r\n";
    QTest::newRow("section and key ignore case") << data << "mb1port" << QVariant("COM3");
    QTest::newRow("semicolon is a value, not a comment") << data << "CSVSEPARATOR" << QVariant(";");
    QTest::newRow("missing key") << data << "Telnr" << QVariant();
    QTest::newRow("value kept literally: blanks, quotes, equals")
        << QByteArray("[Data]\nTelini=  \"AT&F=1\" ; x\n") << "Telini"
        << QVariant("  \"AT&F=1\" ; x");
    QTest::newRow("blanks around key and section")
        << QByteArray("  [ Data ]  \n  TIMEINTERVAL =  5\n") << "TIMEINTERVAL" << QVariant("  5");
    QTest::newRow("first of a repeated key wins")
        << QByteArray("[Data]\nA=1\nA=2\n") << "A" << QVariant("1");
    QTest::newRow("key of another section not found")
        << QByteArray("[Ports]\nMB1Port=COM9\n[Data]\nX=1\n") << "MB1Port" << QVariant();
    QTest::newRow("comment lines skipped")
        << QByteArray("[Data]\n;MB1Port=COM2\n#MB1Port=COM4\nMB1Port=COM5") << "MB1Port"
        << QVariant("COM5");
    QTest::newRow("old Mac line ends") << QByteArray("[Data]\rA=1\rB=2\r") << "B" << QVariant("2");
    QTest::newRow("UTF-8 value") << QByteArray("[Data]\nTelnr=mérö\n") << "Telnr"
                                 << QVariant(QString::fromUtf8("mérö"));
}

void TestSettings::read() {
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QVariant, expected);
    const auto ini = IniFile::fromBytes(file);
    const auto v = ini.value(u"Data", key);
    QCOMPARE(v.has_value(), expected.isValid());
    if (v) {
        QCOMPARE(*v, expected.toString());
    }
    QCOMPARE(ini.toBytes(), file); // reading alone changes nothing
}

void TestSettings::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("existing key: only its value changes, spelling and CR LF kept")
        << QByteArray("; mine\r\n[data]\r\nmb1port=COM1\r\nOther=x\r\n") << "Data"
        << "MB1Port"
        << "COM7" << QByteArray("; mine\r\n[data]\r\nmb1port=COM7\r\nOther=x\r\n");
    QTest::newRow("new key after the section's last key, before the next section")
        << QByteArray("[Data]\nA=1\n\n[Ports]\nCOM3=sim\n") << "Data"
        << "B"
        << "2" << QByteArray("[Data]\nA=1\nB=2\n\n[Ports]\nCOM3=sim\n");
    QTest::newRow("new section appended")
        << QByteArray("[Ports]\r\nCOM3=sim") << "Data"
        << "A"
        << "1" << QByteArray("[Ports]\r\nCOM3=sim\r\n[Data]\r\nA=1\r\n");
    QTest::newRow("empty section gets its first key")
        << QByteArray("[Data]\n[Ports]\n") << "Data"
        << "A"
        << "1" << QByteArray("[Data]\nA=1\n[Ports]\n");
    QTest::newRow("line breaks removed from a value")
        << QByteArray("[Data]\nTelnr=1\n") << "Data"
        << "Telnr"
        << "12\r\n[Evil]\nX=3" << QByteArray("[Data]\nTelnr=12[Evil]X=3\n");
    QTest::newRow("unknown keys, comments and blank lines kept")
        << QByteArray("[Data]\n; note\nUnknown=?\n\nTelnr=1\n") << "Data"
        << "Telnr"
        << "2" << QByteArray("[Data]\n; note\nUnknown=?\n\nTelnr=2\n");
}

void TestSettings::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    auto ini = IniFile::fromBytes(before);
    ini.setValue(section, key, value);
    QCOMPARE(ini.toBytes(), after);
}

void TestSettings::portsEntries() {
    const auto ini = IniFile::fromBytes(
        "[Data]\nCOM1=no\n[ports]\nCOM3=/dev/ttyUSB0\n;COM5=x\ncom4=sim\nCOM3=again\n");
    const auto e = ini.entries(u"Ports");
    QCOMPARE(e.size(), 2);
    QCOMPARE(e[0].first, QString("COM3"));
    QCOMPARE(e[0].second, QString("/dev/ttyUSB0"));
    QCOMPARE(e[1].first, QString("com4"));
    QCOMPARE(e[1].second, QString("sim"));
}

void TestSettings::saveReplacesAtomically() {
    QTemporaryDir dir;
    const QString path = dir.filePath("quorven.ini");
    QVERIFY(IniFile::load(path).toBytes().isEmpty()); // missing file: empty

    auto ini = IniFile::fromBytes("[Data]\r\nA=1\r\n");
    ini.setValue("Data", "A", "2");
    QString error;
    QVERIFY(ini.save(path, &error));
    QCOMPARE(IniFile::load(path).toBytes(), QByteArray("[Data]\r\nA=2\r\n"));

    // A folder that is not there: the save fails with a reason, nothing is made.
    const QString bad = dir.filePath("missing/quorven.ini");
    QVERIFY(!ini.save(bad, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(bad));
}

void TestSettings::writeProtected() {
    QTemporaryDir dir;
    const QString path = dir.filePath("quorven.ini");
    QVERIFY(!IniFile::isWriteProtected(path)); // missing is not protected
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(!IniFile::isWriteProtected(path));
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QVERIFY(IniFile::isWriteProtected(path));
}

void TestSettings::noParameters() {
    const CommandLine c = ParseCommandLine({}, kProgram);
    QVERIFY(!c.valid);
    QVERIFY(c.lines.isEmpty());
    QVERIFY(c.actions.empty());
}

void TestSettings::parse_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines"); // after "Dir: "
    QTest::addColumn<std::vector<CommandAction>>("actions");

    QTest::newRow("lower-case port, baud and logging")
        << QStringList{"/c:3", "/b:300", "/l"} << true
        << QStringList{"Parameter: /C:3", "Parameter: /B:300", "Baudrate 300 baud", "Parameter: /L"}
        << std::vector<CommandAction>{Number(Kind::Port, 3), Number(Kind::SearchBaud, 1)};
    QTest::newRow("baud 4800 refused")
        << QStringList{"/B:4800", "/N"} << false
        << QStringList{"Parameter: /B:4800", "4800 baud not allowed!", "Parameter: /N"}
        << std::vector<CommandAction>{Flag(Kind::SndNke, true)};
    QTest::newRow("baud with leading zero refused")
        << QStringList{"/B:0300"} << false
        << QStringList{"Parameter: /B:0300", "0300 baud not allowed!"}
        << std::vector<CommandAction>{};
    QTest::newRow("COM 256 refused")
        << QStringList{"/C:256"} << false
        << QStringList{"Parameter: /C:256", "COM 256 not allowed!"} << std::vector<CommandAction>{};
    QTest::newRow("COM not a number refused, a later good one does not repair")
        << QStringList{"/C:x1", "/C:255"} << false
        << QStringList{"Parameter: /C:X1", "COM x1 not allowed!", "Parameter: /C:255"}
        << std::vector<CommandAction>{Number(Kind::Port, 255)};
    QTest::newRow("check boxes in order")
        << QStringList{"/u", "/NN", "/R", "/nr", "/NU"} << true
        << QStringList{"Parameter: /U", "Parameter: /NN", "Parameter: /R", "Parameter: /NR",
                       "Parameter: /NU"}
        << std::vector<CommandAction>{Flag(Kind::MultiTel, true), Flag(Kind::SndNke, false),
                                      Flag(Kind::AppReset, true), Flag(Kind::AppReset, false),
                                      Flag(Kind::MultiTel, false)};
    QTest::newRow("values keep their case")
        << QStringList{"/t:0036 1 234", "/k:at&f^M"} << true
        << QStringList{"Parameter: /T:0036 1 234", "Parameter: /K:AT&F^M"}
        << std::vector<CommandAction>{Text(Kind::PhoneNumber, "0036 1 234"),
                                      Text(Kind::ModemInit, "at&f^M")};
    QTest::newRow("cycle time: decimal taken, others ignored silently")
        << QStringList{"/I:60", "/I:1x", "/I:-5", "/I:123456"} << true
        << QStringList{"Parameter: /I:60", "Parameter: /I:1X", "Parameter: /I:-5",
                       "Parameter: /I:123456"}
        << std::vector<CommandAction>{Text(Kind::CycleTime, "60")};
    QTest::newRow("three characters without a value, or unknown, do nothing")
        << QStringList{"/MX", "/T:", "/Q", "x", "/NNX", "/LOG"} << true
        << QStringList{"Parameter: /MX", "Parameter: /T:",  "Parameter: /Q",
                       "Parameter: X",   "Parameter: /NNX", "Parameter: /LOG"}
        << std::vector<CommandAction>{};
}

void TestSettings::parse() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);
    const CommandLine c = ParseCommandLine(args, kProgram);
    QTEST(c.valid, "valid");
    lines.prepend("Dir: " + kProgram);
    QCOMPARE(c.lines, lines);
    QTEST(c.actions, "actions");
}

void TestSettings::state_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("modem");
    QTest::addColumn<bool>("logging");
    QTest::addColumn<bool>("stayOpen");
    QTest::addColumn<bool>("dateStamp");
    QTest::addColumn<QString>("logFile");
    QTest::addColumn<QString>("slaveFile");
    QTest::newRow("defaults") << QStringList{"/Q"} << false << false << false << false << "Log.csv"
                              << "";
    QTest::newRow("all of them") << QStringList{"/m", "/L",           "/x",
                                                "/A", "/Z:Daten.CSV", "/s:C:/M/Liste.csv"}
                                 << true << true << true << true << "Daten.CSV"
                                 << "C:/M/Liste.csv";
}

void TestSettings::state() {
    QFETCH(QStringList, args);
    const CommandLine c = ParseCommandLine(args, kProgram);
    QTEST(c.state.modemStart, "modem");
    QTEST(c.state.autoLogging, "logging");
    QTEST(c.state.stayOpen, "stayOpen");
    QTEST(c.state.dateStamp, "dateStamp");
    QTEST(c.state.logFileName, "logFile");
    QTEST(c.state.slaveFile, "slaveFile");
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
