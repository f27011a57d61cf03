// Where the port names lead: the listing of a settings file's [Ports] beside
// the system's serial ports, compared with its expected text, and the
// program's --list-ports, which prints it without a display.
#include "app/ini_file.h"
#include "app/port_catalog.h"
#include "app/port_config.h"
#include "app/settings.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace quorven;

namespace {

const QString kData = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/app/data/list-ports");

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : "(missing " + path + ")";
}

SystemPortInfo Port(const char* device, const char* description = "", const char* manufacturer = "",
                    const char* serial = "", std::optional<std::uint16_t> vendor = {},
                    std::optional<std::uint16_t> product = {}, const char* stableName = "") {
    const QString path = QString::fromLatin1(device);
    return {path,      path.section('/', -1), description, manufacturer, serial, vendor, product,
            stableName};
}

} // namespace

class TestPortCatalog : public QObject {
    Q_OBJECT
private slots:
    void listing();
    void programListsWithoutDisplay();
};

void TestPortCatalog::listing() {
    QStringList report;
    const AppSettings settings =
        ReadSettings(IniFile::load(kData + QStringLiteral("/quorven.ini")), &report);
    const PortMap map = BuildPortMap(settings, false, &report);
    const PortCatalog catalog(
        map, {Port("/dev/ttyS0"),
              Port("/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1B2C3", 0x0403, 0x6001),
              Port("/dev/ttyACM0", "M-Bus Master", "Relay", "", 0x1234, 0x00AB,
                   "/dev/serial/by-id/usb-Relay_M-Bus_Master-if00")});
    QCOMPARE(catalog.listing().join('\n') + '\n', ReadText(kData + "/listing.txt"));
}

void TestPortCatalog::programListsWithoutDisplay() {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(name);
    }
    program.setProcessEnvironment(env);
    program.start(QUORVEN_PROGRAM, {"--list-ports", "--config-dir=" + kData});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
    // The machine's own serial ports vary; the mapped names do not.
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QStringList mapped =
        ReadText(kData + "/listing.txt").split('\n').filter(QRegularExpression("^COM[789] "));
    QCOMPARE(mapped.size(), 3);
    for (const QString& line : mapped) {
        QVERIFY2(out.contains(line + '\n'), qPrintable(out));
    }
    QVERIFY(program.readAllStandardError().startsWith(
        "Ports: \"COM13=tcp://gateway-without-port\" in settings file ignored: "));
}

QTEST_GUILESS_MAIN(TestPortCatalog)
#include "test_port_catalog.moc"
