// The link layer against the simulated bus, end to end on virtual time: the
// FCB of a multi-telegram read, collisions, selection and the meter's baud
// rate. (Time-outs, echo and noise are test_mb_sio_exchange's.)
#include "link/link_result.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include "meters.h"

#include <QTest>

using namespace quorven;
using namespace quorven::sim;
using namespace quorven::sim::test;

namespace {

// The demonstration bus's meters, by their place in the file.
constexpr int kTwoTelegramsAt4 = 3;
constexpr int kColdWaterAt0 = 5;
constexpr int kWaterAt0 = 6;

// The link object on a bus, with the port open and settled.
struct Station {
    explicit Station(BusDescription description)
        : bus(clock, std::move(description)), sio(clock, bus) {
        sio.OpenPort();
    }
    VirtualClock clock;
    SimulatedBus bus;
    TMB_Sio sio;
};

QByteArray DemoAnswer(const SimulatedBus& bus, int meter, int telegram = 0) {
    return StampAnswer(bus.description()
                           .meters[static_cast<std::size_t>(meter)]
                           .telegrams[static_cast<std::size_t>(telegram)],
                       bus.meter(meter).identity());
}

} // namespace

class TestLinkOnBus : public QObject {
    Q_OBJECT
private slots:
    void multiTelegramReadFollowsTheFcb();
    void collisionsEndAsLineErrors_data();
    void collisionsEndAsLineErrors();
    void meterAtAddressZeroIsReadBySelection();
    void meterAnswersOnlyAtItsBaudRate();
};

void TestLinkOnBus::multiTelegramReadFollowsTheFcb() {
    Station station(DemoBusDescription());
    const QByteArray first = DemoAnswer(station.bus, kTwoTelegramsAt4, 0);
    const QByteArray second = DemoAnswer(station.bus, kTwoTelegramsAt4, 1);
    station.sio.SetFcbBit(1);

    QCOMPARE(station.sio.ReqUD2(4), LinkResult::Ok);
    QCOMPARE(station.sio.TxBuffer(), Hex("107B047F16"));
    QCOMPARE(station.sio.RxFrame(), first);
    QCOMPARE(static_cast<std::uint8_t>(first.at(first.size() - 3)), std::uint8_t{0x1F});

    QCOMPARE(station.sio.ReqUD2(4), LinkResult::Ok);
    QCOMPARE(station.sio.TxBuffer(), Hex("105B045F16"));
    QCOMPARE(station.sio.RxFrame(), second);

    // Set to 1 again, as before the first request of a read: unchanged from
    // the last request's FCB 0 is a toggle, so the meter starts over.
    station.sio.SetFcbBit(1);
    QCOMPARE(station.sio.ReqUD2(4), LinkResult::Ok);
    QCOMPARE(station.sio.RxFrame(), first);

    // The same FCB once more: the meter repeats what it sent last.
    station.sio.SetFcbBit(1);
    QCOMPARE(station.sio.ReqUD2(4), LinkResult::Ok);
    QCOMPARE(station.sio.RxFrame(), first);
}

void TestLinkOnBus::collisionsEndAsLineErrors_data() {
    QTest::addColumn<bool>("request");
    QTest::addColumn<double>("laterMeterDelayMs");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("elapsedMs");
    // The two meters at address 0 of the demonstration bus; the first answers
    // after 20 ms. One attempt; a garbled answer to REQ_UD2 backs off 2000 ms.
    const double bit = 1000.0 / 2400;
    QTest::newRow("REQ_UD2 answers 2.5 ms apart: framing error")
        << true << 22.5 << int{LinkResult::FramingError} << qint64{1160 + 2000};
    QTest::newRow("E5h answers a bit apart: parity error")
        << false << 20 + bit << int{LinkResult::ParityError} << qint64{1160};
    QTest::newRow("E5h answers five bits apart: framing error")
        << false << 20 + 5 * bit << int{LinkResult::FramingError} << qint64{1160};
}

void TestLinkOnBus::collisionsEndAsLineErrors() {
    QFETCH(bool, request);
    QFETCH(double, laterMeterDelayMs);
    QFETCH(int, result);
    QFETCH(qint64, elapsedMs);
    BusDescription description = DemoBusDescription();
    description.meters[kWaterAt0].replyDelayMs = laterMeterDelayMs;
    Station station(description);
    station.sio.SetRetryCount(1);

    const qint64 start = station.clock.now();
    request ? station.sio.ReqUD2(0) : station.sio.SndNke(0);

    QCOMPARE(int{station.sio.LastResult()}, result);
    QCOMPARE(station.clock.now() - start, elapsedMs);
    QVERIFY(!station.sio.RawHexText().empty());
}

void TestLinkOnBus::meterAtAddressZeroIsReadBySelection() {
    Station station(DemoBusDescription());

    QCOMPARE(station.sio.SelectById(Id("10020380")), LinkResult::Ok);
    QCOMPARE(station.sio.ReqUD2(kSelectedSlaveAddress), LinkResult::Ok);
    QCOMPARE(station.sio.RxFrame(), DemoAnswer(station.bus, kColdWaterAt0));

    QCOMPARE(station.sio.SelectById(Id("00182007")), LinkResult::Ok);
    QCOMPARE(station.sio.ReqUD2(kSelectedSlaveAddress), LinkResult::Ok);
    QCOMPARE(station.sio.RxFrame(), DemoAnswer(station.bus, kWaterAt0));
}

void TestLinkOnBus::meterAnswersOnlyAtItsBaudRate() {
    Station station(DemoBusDescription()); // the electricity meter at 3 talks 9600 baud
    station.sio.SetRetryCount(1);

    QCOMPARE(station.sio.ReqUD2(3), LinkResult::NoAnswer);
    QVERIFY(station.sio.SetBaud(5));
    QCOMPARE(station.sio.ReqUD2(3), LinkResult::Ok);
    station.sio.SetParityNone();
    QCOMPARE(station.sio.ReqUD2(3), LinkResult::NoAnswer);
}

QTEST_GUILESS_MAIN(TestLinkOnBus)
#include "test_link_on_bus.moc"
