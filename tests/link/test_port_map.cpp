// Port names, the port map and the ports it hands out.

#include "common/scripted_line.h"
#include "link/port_map.h"
#include "link/posix_serial_port.h"
#include "link/system_port_factory.h"
#include "link/virtual_clock.h"

#include <QTest>

using namespace quorven;

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void portNumbers_data();
    void portNumbers();
    void resolve();
    void addRefusesWhatIsNoPortOrDevice_data();
    void addRefusesWhatIsNoPortOrDevice();
    void nameThatIsNoPortIsRefused();
    void simulatedNames();
    void missingDeviceNamesPortAndReason();
    void deviceThatIsNoTerminal();
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
    QVERIFY(map.add("COM3", "/dev/ttyUSB0"));
    QVERIFY(map.add("com4", " SIM "));
    QCOMPARE(map.resolve("COM3").device, QString("/dev/ttyUSB0"));
    QVERIFY(!map.resolve("COM3").simulated);
    QVERIFY(map.resolve("COM4").simulated);
    QCOMPARE(map.resolve("COM1").device, QString("/dev/ttyS0"));
    QCOMPARE(map.resolve("COM255").device, QString("/dev/ttyS254"));
    // A later entry for the same port wins.
    QVERIFY(map.add("COM3", "/dev/ttyACM0"));
    QCOMPARE(map.resolve("COM3").device, QString("/dev/ttyACM0"));
    map.setSimulateAll(true);
    QVERIFY(map.resolve("COM3").simulated);
    QVERIFY(map.resolve("COM200").simulated);
}

void TestPortMap::addRefusesWhatIsNoPortOrDevice_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("device");
    QTest::newRow("relative device") << "COM3"
                                     << "ttyUSB0";
    QTest::newRow("port 0") << "COM0"
                            << "/dev/ttyS0";
}

void TestPortMap::addRefusesWhatIsNoPortOrDevice() {
    QFETCH(QString, name);
    QFETCH(QString, device);
    PortMap map;
    QVERIFY(!map.add(name, device));
    QCOMPARE(map.resolve("COM3").device, QString("/dev/ttyS2"));
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
    SystemPortFactory withoutBus(map);
    try {
        withoutBus.createPort("COM4");
        QFAIL("no error");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QString("COM4 is mapped to the simulated bus, which is not loaded"));
    }
    VirtualClock clock;
    testing::ScriptedLine bus(clock);
    SystemPortFactory withBus(map, &bus);
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
    SystemPortFactory ports(map);
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

QTEST_GUILESS_MAIN(TestPortMap)
#include "test_port_map.moc"
