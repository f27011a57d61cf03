// The link layer against the simulated bus, end to end on virtual time:
// time-outs, answers, the FCB of a multi-telegram read, collisions, echo,
// noise, selection and address changes.
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
constexpr int kWaterAt2 = 1;
constexpr int kTwoTelegramsAt4 = 3;
constexpr int kColdWaterAt0 = 5;
constexpr int kWaterAt0 = 6;

IdBytes Id(const char* text) {
    return *IdTextToBytes(QString::fromLatin1(text));
}

// The link object on a bus, with the port open and settled.
struct Station {
    explicit Station(BusDescription description)
        : bus(clock, std::move(description)), sio(clock, bus) {
        sio.OpenPort();
    }
    // Runs one exchange and gives how long it took.
    template <typename Exchange> qint64 timed(Exchange exchange) {
        const qint64 start = clock.now();
        exchange();
        return clock.now() - start;
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
    void noAnswerTakesEveryAttemptsTimeOut_data();
    void noAnswerTakesEveryAttemptsTimeOut();
    void answerEndsWithItsLastByte();
    void multiTelegramReadFollowsTheFcb();
    void collisionsEndAsLineErrors_data();
    void collisionsEndAsLineErrors();
    void meterAtAddressZeroIsReadBySelection();
    void newPrimaryAddressIsAnsweredAtOnce();
    void meterAnswersOnlyAtItsBaudRate();
    void echoIsSkippedAndEchoAloneIsNoAnswer();
    void noiseBeforeTheAnswerIsRetriedWithToggledFcb();
};

void TestLinkOnBus::noAnswerTakesEveryAttemptsTimeOut_data() {
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<int>("additionalMs");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::newRow("2400 baud: 3 × 1160 ms") << 3 << 0 << qint64{3 * 1160};
    QTest::newRow("2400 baud and 500 ms more: 3 × 1660 ms") << 3 << 500 << qint64{3 * 1660};
    QTest::newRow("300 baud: 3 × 2283 ms") << 0 << 0 << qint64{3 * 2283};
    QTest::newRow("9600 baud: 3 × 1040 ms") << 5 << 0 << qint64{3 * 1040};
}

void TestLinkOnBus::noAnswerTakesEveryAttemptsTimeOut() {
    QFETCH(int, baudIndex);
    QFETCH(int, additionalMs);
    QFETCH(qint64, elapsedMs);
    Station station(DemoBusDescription());
    QVERIFY(station.sio.SetBaud(baudIndex));
    station.sio.SetAdditionalTimeoutMs(static_cast<std::uint16_t>(additionalMs));

    const qint64 elapsed = station.timed([&] { station.sio.ReqUD2(77); });

    QCOMPARE(station.sio.LastResult(), LinkResult::NoAnswer);
    QCOMPARE(elapsed, elapsedMs);
    QCOMPARE(station.sio.FcbBit(), std::uint8_t{1});
}

void TestLinkOnBus::answerEndsWithItsLastByte() {
    Station station(DemoBusDescription());

    const qint64 elapsed = station.timed([&] { station.sio.ReqUD2(2); });

    QCOMPARE(station.sio.LastResult(), LinkResult::Ok);
    const QByteArray expected = DemoAnswer(station.bus, kWaterAt2);
    QCOMPARE(station.sio.RxFrame(), expected);
    // 5 bytes out, 20 ms reply delay, n bytes back, 11 bits each at 2400 baud.
    const qint64 n = expected.size();
    QCOMPARE(elapsed, (515 + 55 * n + 11) / 12);
    QCOMPARE(station.sio.SlaveMedium(), std::uint8_t{0x07});
}

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
    QTest::newRow("REQ_UD2 answers a bit apart: framing error")
        << true << 20 + bit << int{LinkResult::FramingError} << qint64{1160 + 2000};
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

    const qint64 elapsed =
        station.timed([&] { request ? station.sio.ReqUD2(0) : station.sio.SndNke(0); });

    QCOMPARE(int{station.sio.LastResult()}, result);
    QCOMPARE(elapsed, elapsedMs);
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

void TestLinkOnBus::newPrimaryAddressIsAnsweredAtOnce() {
    Station station(DemoBusDescription());

    QCOMPARE(station.sio.SelectById(Id("00182007")), LinkResult::Ok);
    QCOMPARE(station.sio.SndUD(kSelectedSlaveAddress, kCiDataSend, SetPrimaryAddressData(42)),
             LinkResult::Ok);
    QCOMPARE(station.sio.ReqUD2(42), LinkResult::Ok);

    QCOMPARE(static_cast<int>(station.sio.RxFrame().at(5)), 42);
    QCOMPARE(station.sio.RxFrame().mid(7, 4), Hex("07201800"));
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

void TestLinkOnBus::echoIsSkippedAndEchoAloneIsNoAnswer() {
    Station echoing(Bus({Meter(1, "12345678")}, true));
    QCOMPARE(echoing.sio.ReqUD2(1), LinkResult::Ok);
    QCOMPARE(echoing.sio.RxFrame(),
             StampAnswer(WaterAnswer(1000), echoing.bus.meter(0).identity()));

    // A meter that sends the request back looks like an echo: no answer.
    MeterDescription echoOnly = Meter(9, "99999999", {});
    echoOnly.echoOnly = true;
    Station station(Bus({echoOnly}));
    station.sio.SetRetryCount(1);
    QCOMPARE(station.sio.ReqUD2(9), LinkResult::NoAnswer);
    QCOMPARE(station.sio.RxLength(), std::uint16_t{0});
}

void TestLinkOnBus::noiseBeforeTheAnswerIsRetriedWithToggledFcb() {
    BusDescription description =
        Bus({Meter(1, "12345678", {WaterAnswer(1, true), WaterAnswer(2)})});
    description.noise = Hex("00");
    Station station(description);

    station.sio.ReqUD2(1);

    // Each attempt gets the noise and a valid frame (240, not final); each
    // toggles the FCB, so the meter answers its telegrams in turn.
    QCOMPARE(station.sio.LastResult(), LinkResult::OkAfterStrayBytes);
    QCOMPARE(station.sio.RxFrame(),
             StampAnswer(WaterAnswer(1, true), station.bus.meter(0).identity()));
    QCOMPARE(station.bus.meter(0).telegramIndex(), 0);
    QCOMPARE(station.sio.FcbBit(), std::uint8_t{0});
}

QTEST_GUILESS_MAIN(TestLinkOnBus)
#include "test_link_on_bus.moc"
