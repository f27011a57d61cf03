// SPDX-License-Identifier: GPL-3.0-or-later
// Port names, the port map and the ports it hands out.

#include "common/scripted_line.h"
#include "link/port_map.h"
#include "link/posix_serial_port.h"
#include "link/system_port_factory.h"
#include "link/system_ports.h"
#include "link/virtual_clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void portNumbers_data();
    void portNumbers();
    void resolve();
    void mapValues_data();
    void mapValues();
    void nameThatIsNoPortIsRefused();
    void simulatedNames();
    void missingDeviceNamesPortAndReason();
    void deviceThatIsNoTerminal();
    void stableNamesFollowLinks();
};

void TestPortMap::portNumbers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("COM255") << "COM255" << 255;
    QTest::newRow("COM0") << "COM0" << 0;
    QTest::newRow("COM256") << "COM256" << 0;
    QTest::newRow("leading zero") << "COM01" << 0;
    QTest::newRow("lower case") << "com1" << 0;
    QTest::newRow("blank after") << "COM1 " << 0;
    QTest::newRow("other digits") << QString::fromUtf8("COM\u0661") << 0;
    QTest::newRow("path") << "COM1/../../etc/passwd" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestPortMap::portNumbers() {
    QFETCH(QString, name);
    QFETCH(int, number);
    QCOMPARE(ComPortNumber(name), number);
}

void TestPortMap::resolve() {
    PortMap map;
    QVERIFY(map.add("com3", "/dev/ttyUSB0"));
    QCOMPARE(map.resolve("COM1").device, QString("/dev/ttyS0"));
    QCOMPARE(map.resolve("COM255").device, QString("/dev/ttyS254"));
    // A later entry for the same port wins.
    QVERIFY(map.add("COM3", "/dev/ttyACM0"));
    QCOMPARE(map.resolve("COM3").device, QString("/dev/ttyACM0"));
    map.setSimulateAll(true);
    QVERIFY(map.resolve("COM3").simulated);
    QVERIFY(map.resolve("COM200").simulated);
}

void TestPortMap::mapValues_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("target"); // where COM7 then leads; its system port when refused
    QTest::newRow("device") << "/dev/ttyUSB0"
                            << "/dev/ttyUSB0";
    QTest::newRow("simulated bus in any case") << " SIM "
                                               << "sim";
    QTest::newRow("relative device") << "ttyUSB0"
                                     << "/dev/ttyS6";
    QTest::newRow("host name") << "tcp://gw.example:10001"
                               << "tcp://gw.example:10001";
    QTest::newRow("scheme in any case, IPv6, speed") << " TCP://[fd00::5]:2101?baud=14400"
                                                     << "tcp://[fd00::5]:2101?baud=14400";
    QTest::newRow("no port") << "tcp://gw"
                             << "/dev/ttyS6";
    QTest::newRow("port over 65535") << "tcp://gw:65536"
                                     << "/dev/ttyS6";
    QTest::newRow("speed the link has not") << "tcp://gw:1?baud=57600"
                                            << "/dev/ttyS6";
    QTest::newRow("other setting") << "tcp://gw:1?speed=2400"
                                   << "/dev/ttyS6";
    QTest::newRow("path") << "tcp://gw:1/dev/ttyS0"
                          << "/dev/ttyS6";
}

void TestPortMap::mapValues() {
    QFETCH(QString, value);
    QFETCH(QString, target);
    PortMap map;
    QCOMPARE(map.add("COM7", value), target != "/dev/ttyS6");
    QCOMPARE(map.resolve("COM7").text(), target);
}

void TestPortMap::nameThatIsNoPortIsRefused() {
    PortMap map;
    map.setSimulateAll(true);
    try {
        map.resolve("../../etc/passwd");
        QFAIL("no error");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QString("\"../../etc/passwd\" is not a serial port name (COM1 to COM255)"));
    }
}

void TestPortMap::simulatedNames() {
    PortMap map;
    map.add("COM4", "sim");
    VirtualClock clock;
    SystemPortFactory withoutBus(clock, map);
    try {
        withoutBus.createPort("COM4");
        QFAIL("no error");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QString("COM4 is mapped to the simulated bus, which is not loaded"));
    }
    testing::ScriptedLine bus(clock);
    SystemPortFactory withBus(clock, map, &bus);
    QVERIFY(withBus.createPort("COM4") != nullptr);
    QCOMPARE(bus.createdNames, QStringList{"COM4"});
    // Other names are system ports.
    auto system = withBus.createPort("COM5");
    QVERIFY(dynamic_cast<PosixSerialPort*>(system.get()) != nullptr);
    QCOMPARE(static_cast<PosixSerialPort*>(system.get())->device(), QString("/dev/ttyS4"));
}

void TestPortMap::missingDeviceNamesPortAndReason() {
    PortMap map;
    map.add("COM9", "/nonexistent/ttyQ9");
    VirtualClock clock;
    SystemPortFactory ports(clock, map);
    auto port = ports.createPort("COM9");
    try {
        port->open();
        QFAIL("no error");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QString("COM9 (/nonexistent/ttyQ9) cannot be opened: No such file or directory"));
    }
    QVERIFY(!port->isOpen());
    QCOMPARE(port->write("x"), qint64{-1});
}

void TestPortMap::deviceThatIsNoTerminal() {
    PosixSerialPort port("COM2", "/dev/null");
    try {
        port.open();
        QFAIL("no error");
    } catch (const PortError& e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith("COM2 (/dev/null) is not a serial port: "),
                 e.what());
    }
    QVERIFY(!port.isOpen());
}

void TestPortMap::stableNamesFollowLinks() {
    QTemporaryDir folder;
    QVERIFY(QFile::link("/dev/zero", folder.filePath("usb-other")));
    QVERIFY(QFile::link("/dev/null", folder.filePath("usb-FTDI_A1B2C3-if00")));
    std::vector<SystemPortInfo> ports{{.device = "/dev/null"}, {.device = "/dev/ttyS0"}};
    AddStableNames(ports, folder.path());
    QCOMPARE(ports[0].stableName, folder.filePath("usb-FTDI_A1B2C3-if00"));
    QCOMPARE(ports[1].stableName, QString());
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "test_port_map.moc"
