// SPDX-License-Identifier: GPL-3.0-or-later
// Where the port names lead: the listing of a settings file's [Ports] beside
// the system's serial ports, compared with its expected text, and the
// program's --list-ports, which prints it without a display.
#include "app/ini_file.h"
#include "app/port_catalog.h"
#include "app/settings.h"
#include "operations/station_ports.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace quorven;

namespace {

const QString kData = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/app/data/list-ports");

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : "(missing " + path + ")";
}

// This user may not open the converter on /dev/ttyUSB0 nor /dev/ttyACM0.
DeviceAccess NoAccessToUsb(const QString& device) {
    return device.startsWith("/dev/ttyUSB") || device.startsWith("/dev/ttyACM")
               ? DeviceAccess{true, "dialout"}
               : DeviceAccess{};
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
    const AppSettings settings = ReadSettings(IniFile::load(kData + "/quorven.ini"), &report);
    const PortMap map = BuildPortMap({settings.portDevices, false, {}}, &report);
    QCOMPARE(report.join('\n') + '\n', ReadText(kData + "/ignored.txt"));
    const PortCatalog catalog(map,
                              {{.device = "/dev/ttyS0", .portName = "ttyS0"},
                               {.device = "/dev/ttyUSB0",
                                .description = "FT232R USB UART",
                                .manufacturer = "FTDI",
                                .serialNumber = "A1B2C3",
                                .vendorId = 0x0403,
                                .productId = 0x6001},
                               {.device = "/dev/ttyACM0",
                                .description = "M-Bus Master",
                                .manufacturer = "Relay",
                                .vendorId = 0x1234,
                                .productId = 0x00AB,
                                .stableName = "/dev/serial/by-id/usb-Relay_M-Bus_Master-if00"}},
                              NoAccessToUsb);
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
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), ReadText(kData + "/ignored.txt"));
    // The machine's own serial ports vary; a gateway's line does not.
    const QString gatewayLine = ReadText(kData + "/listing.txt").section('\n', 4, 4) + '\n';
    QVERIFY(gatewayLine.startsWith("COM7 "));
    QVERIFY2(program.readAllStandardOutput().contains(gatewayLine.toUtf8()),
             qPrintable(gatewayLine));
}

QTEST_GUILESS_MAIN(TestPortCatalog)
#include "test_port_catalog.moc"
