// SPDX-License-Identifier: GPL-3.0-or-later
// The wire: characters as bits on a wired-AND line and a UART that samples
// them (clean lines, wrong settings, breaks and collisions), and the bus's
// ports on it: writes queued, purged and cut by a close, several ports on one
// bus, ports that outlive the bus, bounded receive buffers. (When bytes arrive
// is in the golden buses of test_bus_golden.)
#include "sim/wire.h"

#include "bus_master.h"
#include "link/frames.h"
#include "meters.h"
#include "sim/simulated_port.h"
#include <QTest>

using namespace quorven;
using namespace quorven::sim;
using namespace quorven::sim::test;

namespace {

struct Sender {
    Tick start = 0;
    LineSettings format;
    QByteArray bytes;
};

LineSettings Format(qint32 baud, Parity parity = Parity::Even) {
    return LineSettings{baud, 8, parity, 1};
}

// Bit times at 2400 baud, in ticks.
constexpr Tick kBit2400 = kTicksPerSecond / 2400;

} // namespace

Q_DECLARE_METATYPE(Sender)

namespace {

std::vector<qint64> ArrivalTimes(const BusMaster& master) {
    std::vector<qint64> times;
    for (const Arrival& a : master.arrivals) {
        times.push_back(a.ms);
    }
    return times;
}

} // namespace

class TestWire : public QObject {
    Q_OBJECT
private slots:
    void receiverMakesOfTheLine_data();
    void receiverMakesOfTheLine();
    void unfinishedCharacterIsNotReceivedYet();
    void writesQueueBehindEachOther();
    void purgedTransmissionNeverReachesTheMeters();
    void closedPortNeitherSendsNorReceives();
    void portsOnOneBusAllHearTheLine();
    void portThatOutlivesItsBusFailsCleanly();
    void unreadBytesAreBoundedAndTheRestReportedLost();
};

void TestWire::receiverMakesOfTheLine_data() {
    QTest::addColumn<QList<Sender>>("senders");
    QTest::addColumn<LineSettings>("receiver");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("errors");
    const QByteArray none(4, 0);
    QTest::newRow("same settings: every byte clean")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("68E500FF")}} << Format(2400)
        << QByteArray::fromHex("68E500FF") << none;
    QTest::newRow("8N1 receiver: a parity bit 0 is a missing stop bit")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("0F07")}} << Format(2400, Parity::None)
        << QByteArray::fromHex("0F07") << QByteArray::fromHex("0800");
    QTest::newRow("8E1 receiver, 8N1 sender: the stop bit read as parity")
        << QList{Sender{0, Format(2400, Parity::None), QByteArray::fromHex("07")},
                 Sender{20 * kBit2400, Format(2400, Parity::None), QByteArray::fromHex("0F")}}
        << Format(2400) << QByteArray::fromHex("070F") << QByteArray::fromHex("0004");
    QTest::newRow("a whole character of space is a break")
        << QList{Sender{0, Format(300), QByteArray::fromHex("00")}} << Format(2400)
        << QByteArray::fromHex("00") << QByteArray::fromHex("10");
    QTest::newRow("pulses shorter than half a bit are no start bits")
        << QList{Sender{0, Format(38400), QByteArray::fromHex("FF")}} << Format(2400)
        << QByteArray() << QByteArray();
    QTest::newRow("in step: the bytes combine by AND, parity bits too")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("68")},
                 Sender{0, Format(2400), QByteArray::fromHex("0F")}}
        << Format(2400) << QByteArray::fromHex("08") << QByteArray::fromHex("04");
    QTest::newRow("5.5 bits out of step: a start bit inside the data")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("FF")},
                 Sender{11 * kBit2400 / 2, Format(2400), QByteArray::fromHex("FF")}}
        << Format(2400) << QByteArray::fromHex("EFFF") << QByteArray::fromHex("0404");
    QTest::newRow("9.5 bits out of step: a data bit on the stop bit")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("FF")},
                 Sender{19 * kBit2400 / 2, Format(2400), QByteArray::fromHex("FE")}}
        << Format(2400) << QByteArray::fromHex("FF") << QByteArray::fromHex("08");
}

void TestWire::receiverMakesOfTheLine() {
    QFETCH(QList<Sender>, senders);
    QFETCH(LineSettings, receiver);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, errors);
    WireLine line;
    for (const Sender& s : senders) {
        line.add(Transmission(s.start, s.format, s.bytes, 1));
    }
    UartReceiver uart(receiver, 0);

    QByteArray heard;
    QByteArray flags;
    for (const ReceivedCharacter& c : uart.receiveUntil(line, kTicksPerSecond)) {
        heard.append(static_cast<char>(c.byte));
        flags.append(static_cast<char>(c.errors));
    }

    QCOMPARE(heard.toHex(' '), bytes.toHex(' '));
    QCOMPARE(flags.toHex(' '), errors.toHex(' '));
}

void TestWire::unfinishedCharacterIsNotReceivedYet() {
    WireLine line;
    line.add(Transmission(0, Format(2400), QByteArray::fromHex("1068"), 1));
    UartReceiver uart(Format(2400), 0);

    QCOMPARE(uart.receiveUntil(line, 11 * kBit2400 - 1).size(), std::size_t{0});
    QCOMPARE(uart.peek(line)->end, 11 * kBit2400);
    QCOMPARE(uart.receiveUntil(line, 11 * kBit2400).size(), std::size_t{1});
    QCOMPARE(uart.receiveUntil(line, kTicksPerSecond).size(), std::size_t{1});
    QVERIFY(!uart.peek(line));
}

void TestWire::writesQueueBehindEachOther() {
    OnBus t(Bus({}, true));

    t.master.port().write(Hex("0102"));
    t.clock.advanceBy(3);
    t.master.send(Hex("03"), 100);

    // The third byte waits for the first two: it ends after 3 × 11 bits.
    QCOMPARE(ArrivalTimes(t.master), (std::vector<qint64>{5, 10, 14}));
    QCOMPARE(t.master.received(), Hex("010203"));
}

void TestWire::purgedTransmissionNeverReachesTheMeters() {
    OnBus t(Bus({Meter(1, "12345678")}, true));

    t.master.port().write(BuildApplicationReset(1, true));
    t.clock.advanceBy(10);
    t.master.port().purgeTransmit();
    t.clock.advanceBy(1000);

    // Three characters had begun when the purge came and finish; the rest
    // never goes out, so the meter has nothing to answer.
    QCOMPARE(t.master.received(), Hex("680303"));
}

void TestWire::closedPortNeitherSendsNorReceives() {
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

void TestWire::portsOnOneBusAllHearTheLine() {
    OnBus t(Bus({Meter(1, "12345678")}));
    BusMaster com2(t.bus, t.clock);

    const QByteArray answer = t.master.send(BuildSndNke(1));

    QCOMPARE(answer, Ack());
    QCOMPARE(com2.received(), Ack());
}

void TestWire::portThatOutlivesItsBusFailsCleanly() {
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

void TestWire::unreadBytesAreBoundedAndTheRestReportedLost() {
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

QTEST_GUILESS_MAIN(TestWire)
#include "test_wire.moc"
