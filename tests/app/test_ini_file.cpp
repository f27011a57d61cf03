#include "app/ini_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void portsEntries();
    void saveReplacesAtomically();
    void writeProtected();
};

// Every lookup is of a key in section "Data".
void TestIniFile::read_data() {
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

void TestIniFile::read() {
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

void TestIniFile::write_data() {
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

void TestIniFile::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    auto ini = IniFile::fromBytes(before);
    ini.setValue(section, key, value);
    QCOMPARE(ini.toBytes(), after);
}

void TestIniFile::portsEntries() {
    const auto ini = IniFile::fromBytes(
        "[Data]\nCOM1=no\n[ports]\nCOM3=/dev/ttyUSB0\n;COM5=x\ncom4=sim\nCOM3=again\n");
    const auto e = ini.entries(u"Ports");
    QCOMPARE(e.size(), 2);
    QCOMPARE(e[0].first, QString("COM3"));
    QCOMPARE(e[0].second, QString("/dev/ttyUSB0"));
    QCOMPARE(e[1].first, QString("com4"));
    QCOMPARE(e[1].second, QString("sim"));
}

void TestIniFile::saveReplacesAtomically() {
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

void TestIniFile::writeProtected() {
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

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
