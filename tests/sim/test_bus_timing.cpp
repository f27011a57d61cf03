// The simulated bus on the wire: when bytes arrive, echo and noise, baud rate
// and parity, answers that collide, purging, and ports that outlive the bus.
#include "bus_master.h"
#include "meters.h"

#include "link/frames.h"
#include "sim/simulated_port.h"

#include <QTest>

#include <algorithm>
#include <bit>

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

bool EvenParityBit(std::uint8_t b) {
    return (std::popcount(b) & 1) != 0;
}

} // namespace

class TestBusTiming : public QObject {
    Q_OBJECT
private slots:
    void acknowledgementArrivesAfterRequestDelayAndOneCharacter_data();
    void acknowledgementArrivesAfterRequestDelayAndOneCharacter();
    void answerBytesFollowEachOtherAtWireSpeed();
    void echoRepeatsEveryByteAsItIsSent();
    void writesQueueBehindEachOther();
    void noiseArrivesBeforeTheAnswer();
    void meterHearsOnlyItsOwnRateAndParity_data();
    void meterHearsOnlyItsOwnRateAndParity();
    void masterAtNoParityReadsEvenParityAnswersWithFramingErrors();
    void answersInStepCombineBitByBit();
    void answersOutOfStepGiveFramingErrors();
    void everyMeterAnswersTheTestAddress();
    void purgedTransmissionNeverReachesTheMeters();
    void closedPortNeitherSendsNorReceives();
    void portsOnOneBusAllHearTheLine();
    void portThatOutlivesItsBusFailsCleanly();
    void unreadBytesAreBoundedAndTheRestReportedLost();
};

void TestBusTiming::acknowledgementArrivesAfterRequestDelayAndOneCharacter_data() {
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<double>("delayMs");
    QTest::addColumn<qint64>("arrivalMs");
    // SND_NKE: 5 characters of 11 bits, the reply delay, then E5h's 11 bits.
    QTest::newRow("2400 baud, 20 ms: 22.92 + 20 + 4.58") << 2400 << 20.0 << qint64(48);
    QTest::newRow("300 baud, 20 ms: 183.33 + 20 + 36.67") << 300 << 20.0 << qint64(240);
    QTest::newRow("9600 baud, no delay: 5.73 + 1.15") << 9600 << 0.0 << qint64(7);
    QTest::newRow("38400 baud, 0.5 ms: 1.43 + 0.5 + 0.29") << 38400 << 0.5 << qint64(3);
    QTest::newRow("2400 baud, 137.5 ms (330 bit times): exactly 165")
        << 2400 << 137.5 << qint64(165);
}

void TestBusTiming::acknowledgementArrivesAfterRequestDelayAndOneCharacter() {
    QFETCH(qint32, baud);
    QFETCH(double, delayMs);
    QFETCH(qint64, arrivalMs);
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678", {WaterAnswer(1)}, baud, delayMs)}));
    BusMaster master(bus, clock, baud);

    QCOMPARE(master.send(BuildSndNke(1)), Ack());

    QCOMPARE(ArrivalTimes(master), std::vector<qint64>{arrivalMs});
}

void TestBusTiming::answerBytesFollowEachOtherAtWireSpeed() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678")}));
    BusMaster master(bus, clock);

    const QByteArray answer = master.send(BuildReqUd2(1, true));

    // The answer starts at 22.917 ms + 20 ms; byte k is complete 4.583 ms
    // (11 bits at 2400 baud) after byte k-1, seen at the next millisecond.
    QCOMPARE(answer.size(), WaterAnswer(1000).size());
    const std::vector<qint64> times = ArrivalTimes(master);
    QCOMPARE(times.front(), 48);
    QCOMPARE(times[1], 53);
    QCOMPARE(times[2], 57);
    // Byte n (from 1) is complete at (515 + 55 n) / 12 ms.
    const qint64 n = answer.size();
    QCOMPARE(times.back(), (515 + 55 * n + 11) / 12);
}

void TestBusTiming::echoRepeatsEveryByteAsItIsSent() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678")}, true));
    BusMaster master(bus, clock);

    const QByteArray heard = master.send(BuildSndNke(1));

    QCOMPARE(heard, BuildSndNke(1) + Ack());
    QCOMPARE(ArrivalTimes(master), (std::vector<qint64>{5, 10, 14, 19, 23, 48}));
}

void TestBusTiming::writesQueueBehindEachOther() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({}, true));
    BusMaster master(bus, clock);

    master.port().write(Hex("0102"));
    clock.advanceBy(3);
    master.send(Hex("03"), 100);

    // The third byte waits for the first two: it ends after 3 × 11 bits.
    QCOMPARE(ArrivalTimes(master), (std::vector<qint64>{5, 10, 14}));
    QCOMPARE(master.received(), Hex("010203"));
}

void TestBusTiming::noiseArrivesBeforeTheAnswer() {
    BusDescription description = Bus({Meter(1, "12345678")});
    description.noise = Hex("00");
    VirtualClock clock;
    SimulatedBus bus(clock, description);
    BusMaster master(bus, clock);

    QCOMPARE(master.send(BuildSndNke(1)), Hex("00") + Ack());
    QCOMPARE(ArrivalTimes(master), (std::vector<qint64>{28, 48}));
    QVERIFY(master.lineErrors.empty());
}

void TestBusTiming::meterHearsOnlyItsOwnRateAndParity_data() {
    QTest::addColumn<qint32>("masterBaud");
    QTest::addColumn<bool>("evenParity");
    QTest::addColumn<bool>("answered");
    QTest::newRow("9600 8E1, the meter's own") << 9600 << true << true;
    QTest::newRow("2400 8E1") << 2400 << true << false;
    QTest::newRow("300 8E1") << 300 << true << false;
    QTest::newRow("38400 8E1") << 38400 << true << false;
    QTest::newRow("9600 8N1") << 9600 << false << false;
}

void TestBusTiming::meterHearsOnlyItsOwnRateAndParity() {
    QFETCH(qint32, masterBaud);
    QFETCH(bool, evenParity);
    QFETCH(bool, answered);
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678", {WaterAnswer(1)}, 9600)}));
    BusMaster master(bus, clock, masterBaud, evenParity ? Parity::Even : Parity::None);

    master.send(BuildReqUd2(1, true), 2000);
    master.send(BuildSndNke(1), 2000);

    QCOMPARE(!master.received().isEmpty(), answered);
}

void TestBusTiming::masterAtNoParityReadsEvenParityAnswersWithFramingErrors() {
    // At 8N1 the master takes the parity bit for the stop bit: every byte with
    // an even number of ones (parity bit 0) arrives with a framing error.
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678")}));
    BusMaster master(bus, clock, 2400, Parity::Even);

    // The meter needs 8E1: the master sends at 8E1, then listens at 8N1.
    master.port().write(BuildReqUd2(1, true));
    clock.advanceBy(30);
    master.port().setLineSettings({2400, 8, Parity::None, 1});
    master.arrivals.clear();
    master.lineErrors.clear();
    clock.advanceBy(1000);

    const QByteArray answer = master.received();
    QCOMPARE(answer.size(), WaterAnswer(1000).size());
    std::vector<std::uint8_t> expected; // 00h with its parity bit is all space: a break
    for (char b : answer) {
        if (!EvenParityBit(static_cast<std::uint8_t>(b))) {
            expected.push_back(b == 0 ? LineErrorFlag::Break : LineErrorFlag::Framing);
        }
    }
    QCOMPARE(master.lineErrors, expected);
}

void TestBusTiming::answersInStepCombineBitByBit() {
    // Two meters at address 0 with the same reply delay start their answers
    // in the same instant: space wins on the wire, so the master reads the AND
    // of both bytes, with a parity error where the parity bits disagree.
    const QByteArray first = WaterAnswer(0x00FF00FF);
    const QByteArray second = WaterAnswer(0x12345678);
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(0, "12345678", {first}), Meter(0, "12345678", {second})}));
    BusMaster master(bus, clock);

    const QByteArray heard = master.send(BuildReqUd2(0, true));

    QByteArray expected;
    int parityErrors = 0;
    const QByteArray a = StampAnswer(first, bus.meter(0).identity());
    const QByteArray b = StampAnswer(second, bus.meter(1).identity());
    for (int k = 0; k < a.size(); ++k) {
        const auto x = static_cast<std::uint8_t>(a[k]);
        const auto y = static_cast<std::uint8_t>(b[k]);
        const auto both = static_cast<std::uint8_t>(x & y);
        expected.append(static_cast<char>(both));
        parityErrors += EvenParityBit(both) != (EvenParityBit(x) && EvenParityBit(y)) ? 1 : 0;
    }
    QCOMPARE(heard.toHex(' '), expected.toHex(' '));
    QVERIFY(parityErrors > 0);
    QCOMPARE(static_cast<int>(master.lineErrors.size()), parityErrors);
    for (std::uint8_t flags : master.lineErrors) {
        QCOMPARE(flags, LineErrorFlag::Parity);
    }
}

void TestBusTiming::answersOutOfStepGiveFramingErrors() {
    // 2.5 ms apart at 2400 baud is six bit times: the later meter's start bits
    // fall into the earlier one's characters and its stop bits.
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(0, "12345678", {WaterAnswer(1)}, 2400, 20),
                                 Meter(0, "87654321", {WaterAnswer(2)}, 2400, 22.5)}));
    BusMaster master(bus, clock);

    const QByteArray heard = master.send(BuildReqUd2(0, true));

    QVERIFY(!heard.isEmpty());
    QCOMPARE(CheckLongFrame(heard) == LongFrameFault::None, false);
    QVERIFY(std::find(master.lineErrors.begin(), master.lineErrors.end(), LineErrorFlag::Framing) !=
            master.lineErrors.end());
    // Nothing is heard before the earlier answer starts.
    QCOMPARE(master.arrivals.front().ms, 48);
}

void TestBusTiming::everyMeterAnswersTheTestAddress() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678", {WaterAnswer(1)}, 2400, 20),
                                 Meter(2, "87654321", {WaterAnswer(2)}, 2400, 23)}));
    BusMaster master(bus, clock);

    master.send(BuildReqUd2(254, true));

    QVERIFY(!master.lineErrors.empty());
}

void TestBusTiming::purgedTransmissionNeverReachesTheMeters() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678")}, true));
    BusMaster master(bus, clock);

    master.port().write(BuildApplicationReset(1, true));
    clock.advanceBy(10);
    master.port().purgeTransmit();
    clock.advanceBy(1000);

    // Three characters had begun when the purge came and finish; the rest
    // never goes out, so the meter has nothing to answer.
    QCOMPARE(master.received(), Hex("680303"));
}

void TestBusTiming::closedPortNeitherSendsNorReceives() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678")}));
    BusMaster master(bus, clock);

    master.port().write(BuildReqUd2(1, true));
    clock.advanceBy(30);
    master.port().close();
    clock.advanceBy(1000);
    QVERIFY(master.arrivals.empty());
    QCOMPARE(master.port().write(BuildReqUd2(1, true)), qint64(-1));

    master.port().open();
    clock.advanceBy(1000);
    QVERIFY(master.arrivals.empty());
    QCOMPARE(master.port().bytesAvailable(), qint64(0));
}

void TestBusTiming::portsOnOneBusAllHearTheLine() {
    VirtualClock clock;
    SimulatedBus bus(clock, Bus({Meter(1, "12345678")}));
    BusMaster com1(bus, clock);
    BusMaster com2(bus, clock);

    const QByteArray answer = com1.send(BuildSndNke(1));

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
