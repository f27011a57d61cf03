// The simulated bus's ports: writes queued, purged and cut by a close, several
// ports on one bus, ports that outlive the bus, bounded receive buffers.
// (When bytes arrive is in the golden buses of test_bus_golden; line settings
// and collisions are the wire model's tests.)
#include "bus_master.h"
#include "meters.h"

#include "link/frames.h"
#include "sim/simulated_port.h"

#include <QTest>

using namespace quorven;
using namespace quorven::sim;
using namespace quorven::sim::test;

namespace {

std::vector<qint64> ArrivalTimes(const BusMaster& master) {
    std::vector<qint64> times;
    for (const Arrival& a : master.arrivals) {
        times.push_back(a.ms);
    }
    return times;
}

} // namespace

class TestBusTiming : public QObject {
    Q_OBJECT
private slots:
    void writesQueueBehindEachOther();
    void purgedTransmissionNeverReachesTheMeters();
    void closedPortNeitherSendsNorReceives();
    void portsOnOneBusAllHearTheLine();
    void portThatOutlivesItsBusFailsCleanly();
    void unreadBytesAreBoundedAndTheRestReportedLost();
};

void TestBusTiming::writesQueueBehindEachOther() {
    OnBus t(Bus({}, true));

    t.master.port().write(Hex("0102"));
    t.clock.advanceBy(3);
    t.master.send(Hex("03"), 100);

    // The third byte waits for the first two: it ends after 3 × 11 bits.
    QCOMPARE(ArrivalTimes(t.master), (std::vector<qint64>{5, 10, 14}));
    QCOMPARE(t.master.received(), Hex("010203"));
}

void TestBusTiming::purgedTransmissionNeverReachesTheMeters() {
    OnBus t(Bus({Meter(1, "12345678")}, true));

    t.master.port().write(BuildApplicationReset(1, true));
    t.clock.advanceBy(10);
    t.master.port().purgeTransmit();
    t.clock.advanceBy(1000);

    // Three characters had begun when the purge came and finish; the rest
    // never goes out, so the meter has nothing to answer.
    QCOMPARE(t.master.received(), Hex("680303"));
}

void TestBusTiming::closedPortNeitherSendsNorReceives() {
    OnBus t(Bus({Meter(1, "12345678")}));

    t.master.port().write(BuildReqUd2(1, true));
    t.clock.advanceBy(30);
    t.master.port().close();
    t.clock.advanceBy(1000);
    QVERIFY(t.master.arrivals.empty());
    QCOMPARE(t.master.port().write(BuildReqUd2(1, true)), qint64(-1));

    t.master.port().open();
    t.clock.advanceBy(1000);
    QVERIFY(t.master.arrivals.empty());
    QCOMPARE(t.master.port().bytesAvailable(), qint64(0));
}

void TestBusTiming::portsOnOneBusAllHearTheLine() {
    OnBus t(Bus({Meter(1, "12345678")}));
    BusMaster com2(t.bus, t.clock);

    const QByteArray answer = t.master.send(BuildSndNke(1));

    QCOMPARE(answer, Ack());
    QCOMPARE(com2.received(), Ack());
}

void TestBusTiming::portThatOutlivesItsBusFailsCleanly() {
    VirtualClock clock;
    auto bus = std::make_unique<SimulatedBus>(clock, Bus({Meter(1, "12345678")}));
    std::unique_ptr<SerialPort> port = bus->createPort(QStringLiteral("COM7"));
    port->open();
    port->write(BuildReqUd2(1, true));

    bus.reset();
    clock.advanceBy(1000);

    QVERIFY(!port->isOpen());
    QCOMPARE(port->write(BuildReqUd2(1, true)), qint64(-1));
    try {
        port->open();
        QFAIL("open() succeeded without a bus");
    } catch (const PortError& error) {
        QVERIFY(QString::fromStdString(error.what()).startsWith(QStringLiteral("COM7")));
    }
}

void TestBusTiming::unreadBytesAreBoundedAndTheRestReportedLost() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({}, true));
    std::unique_ptr<SerialPort> port = bus.createPort(QStringLiteral("COM1"));
    port->setLineSettings({38400, 8, Parity::Even, 1});
    int lost = 0;
    port->onLineError = [&lost](std::uint8_t flags) { lost += flags == 0 ? 1 : 0; };
    port->open();

    port->write(QByteArray(SimulatedPort::kReceiveBufferBytes + 100, 0x55));
    clock.advanceBy(30000);

    QCOMPARE(port->bytesAvailable(), SimulatedPort::kReceiveBufferBytes);
    QCOMPARE(lost, 100);
}

QTEST_GUILESS_MAIN(TestBusTiming)
#include "test_bus_timing.moc"
