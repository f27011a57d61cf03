// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file (its INI rules and the values read from it and written
// back), the command line and the program's own options.
#include "app/program_options.h"
#include "app/settings.h"
#include "common/golden.h"

#include "app/command_line.h"
#include "app/ini_file.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;

using quorven::testing::ReadFile;

namespace {

const QString kProgram = "/opt/quorven/quorven";

const QString kFiles = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/app/settings");

// Compares the lines with the file (QUORVEN_UPDATE_GOLDEN, common/golden.h).
void CompareWithFile(const QStringList& lines, const QString& path) {
    quorven::testing::CompareGolden(lines.join('\n').toUtf8() + '\n', path);
}

QString YesNo(bool on) {
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void port_data();
    void port();
    void programOptions_data();
    void programOptions();
    void settingsFileName();
    void configFolder();
    void write_data();
    void write();
    void saveReplacesAtomically();
    void writeProtected();
    void files_data();
    void files();
    void commandLines();
};

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
    // Nor does an installed program's folder, even where it can be written.
    QCOMPARE(ConfigFolder("", "/usr/bin", user.path()), user.path());
    QCOMPARE(ConfigFolder("", "/usr/local/bin/", user.path()), user.path());
}

// Line breaks are removed from a value written, so no value starts a section.
void TestSettings::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("line breaks removed from a value")
        << QByteArray("[Data]\nTelnr=1\n") << "Data"
        << "Telnr"
        << "12\r\n[Evil]\nX=3" << QByteArray("[Data]\nTelnr=12[Evil]X=3\n");
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

// Settings files in settings/: each read and written back, compared with
// NAME.out: the report, the values read, the ports, and the file as written.
void TestSettings::files_data() {
    QTest::addColumn<QString>("base");
    for (const QString& name : QDir(kFiles).entryList({"*.ini"}, QDir::Files, QDir::Name)) {
        QTest::newRow(qPrintable(name)) << kFiles + "/" + name.chopped(4);
    }
}

void TestSettings::files() {
    QFETCH(QString, base);
    IniFile ini = IniFile::fromBytes(ReadFile(base + ".ini"));
    QStringList out;
    const AppSettings s = ReadSettings(ini, &out);
    out << QStringLiteral("port %1, Telini \"%2\", Telnr \"%3\", pulse dial %4")
               .arg(s.port)
               .arg(s.modemInit, s.phoneNumber, YesNo(s.pulseDial));
    out << QStringLiteral(
               "SND_NKE %1, application reset %2, Multi Tel. %3, MDK %4, enhanced IDS %5")
               .arg(YesNo(s.sndNke), YesNo(s.appReset), YesNo(s.multiTel), YesNo(s.mdk),
                    YesNo(s.enhancedIds));
    out << QStringLiteral("STX retries %1, additional time-out %2 ms, cycle time \"%3\", separator "
                          "\"%4\"")
               .arg(s.stxRetries)
               .arg(s.additionalTimeoutMs)
               .arg(s.cycleTime, s.csvSeparator);
    for (const auto& [name, device] : s.portDevices) {
        out << "port " + name + " = " + device;
    }
    WriteSettings(ini, s);
    out << "written back:" << QString::fromUtf8(ini.toBytes()).replace('\r', "\\r").split('\n');
    CompareWithFile(out, base + ".out");
}

// Each line of settings/command-lines.txt is one command line, its switches
// separated by " | " ("(none)": no switches); what the parser makes of each
// is in command-lines.out.
void TestSettings::commandLines() {
    static const char* const kKinds[] = {
        "SND_NKE",      "Multi Tel.", "application reset", "pulse dial",  "no parity",
        "phone number", "modem init", "cycle time",        "search baud", "port"};
    QStringList out;
    for (const QString& line : QString::fromUtf8(ReadFile(kFiles + "/command-lines.txt"))
                                   .split('\n', Qt::SkipEmptyParts)) {
        const CommandLine c = ParseCommandLine(line == "(none)" ? QStringList{} : line.split(" | "),
                                               kProgram, "/opt/quorven/slist.csv");
        out << "> " + line << "valid " + YesNo(c.valid) << c.lines;
        for (const CommandAction& a : c.actions) {
            out << QStringLiteral("= %1: flag %2, text \"%3\", number %4")
                       .arg(kKinds[int(a.kind)], YesNo(a.flag), a.text)
                       .arg(a.number);
        }
        out << QStringLiteral("modem %1, logging %2, stay open %3, date stamp %4, log file \"%5\", "
                              "slave file \"%6\"")
                   .arg(YesNo(c.state.modemStart), YesNo(c.state.autoLogging),
                        YesNo(c.state.stayOpen), YesNo(c.state.dateStamp), c.state.logFileName,
                        c.state.slaveFile);
        if (c.state.endsProgram) {
            out << "ends the program";
        }
    }
    CompareWithFile(out, kFiles + "/command-lines.out");
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
