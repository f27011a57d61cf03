#include "app/program_options.h"
#include "app/settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;

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

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
