// The STX request on virtual time: against STX meters on the simulated bus
// (bytes, results, attempts, durations, the line put back), and the ways out
// of a request that never reaches the bus.
#include "link_fixture.h"

#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

Q_DECLARE_METATYPE(quorven::Parity)

namespace {

// The answer of the meter at 1 to a request for block 00FFh.
const char* const kAnswerOf1 = "010310000300000000000000000000E24000015134";
// The request for block 00FFh at address 4, where nobody answers.
const char* const kRequestTo4 = "040300FF00087469";

} // namespace

class TestMbSioStx : public QObject {
    Q_OBJECT
private slots:
    void requestOnTheBus_data();
    void requestOnTheBus();
    void lineIsPutBackWhenThePortCannotBeOpened();
    void exchangesRefuseEachOther_data();
    void exchangesRefuseEachOther();
};

void TestMbSioStx::requestOnTheBus_data() {
    QTest::addColumn<bool>("echo");
    QTest::addColumn<Parity>("parity");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<qint64>("elapsedMs");
    // 8 + 21 characters of 11 bits at 2400 baud and the meter's 20 ms; each
    // attempt that hears nothing takes 2000 ms.
    const qint64 answered = 153;
    QTest::newRow("request and answer, address 1 block 00FFh")
        << false << Parity::Even << 5 << 1 << 0 << Hex("010300FF0008743C") << Hex(kAnswerOf1)
        << answered;
    QTest::newRow("echoing interface: answer accepted behind the echo at 29 bytes")
        << true << Parity::Even << 5 << 1 << 0 << Hex("010300FF0008743C") << Hex(kAnswerOf1)
        << answered;
    QTest::newRow("answer from another address accepted")
        << false << Parity::Even << 5 << 2 << 0 << Hex("020300FF0008740F")
        << Hex("090310000300000000000000000000E2400001B355") << answered;
    QTest::newRow("8N1 before the request, 8N1 after it")
        << false << Parity::None << 5 << 1 << 0 << Hex("010300FF0008743C") << Hex(kAnswerOf1)
        << answered;
    QTest::newRow("silence is asked StxRetryCount times")
        << false << Parity::Even << 5 << 4 << 254 << Hex(kRequestTo4) << QByteArray()
        << qint64{10000};
    QTest::newRow("StxRetryCount 0 makes one attempt")
        << false << Parity::Even << 0 << 4 << 254 << Hex(kRequestTo4) << QByteArray()
        << qint64{2000};
    QTest::newRow("echo and a silent meter: 248 after one attempt")
        << true << Parity::Even << 5 << 4 << 248 << Hex(kRequestTo4) << Hex(kRequestTo4)
        << qint64{2000};
    QTest::newRow("M-Bus meter hears parity errors and stays silent")
        << false << Parity::Even << 1 << 3 << 254 << Hex("030300FF000875DE") << QByteArray()
        << qint64{2000};
}

void TestMbSioStx::requestOnTheBus() {
    QFETCH(bool, echo);
    QFETCH(Parity, parity);
    QFETCH(int, retries);
    QFETCH(int, address);
    QFETCH(int, result);
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, received);
    QFETCH(qint64, elapsedMs);
    QString error;
    auto description = sim::LoadBusFile(
        QStringLiteral(QUORVEN_SOURCE_DIR "/tests/common/stx-meters.json"), &error);
    QVERIFY2(description, qPrintable(error));
    description->echo = echo;
    VirtualClock clock;
    sim::SimulatedBus bus(clock, *description);
    TMB_Sio sio(clock, bus);
    sio.SetStxRetryCount(static_cast<std::uint8_t>(retries));
    parity == Parity::None ? sio.SetParityNone() : sio.SetParityEven();
    const LineSettings before = sio.Settings();
    sio.OpenPort();

    QCOMPARE(int{sio.StxReadRegisters(static_cast<std::uint8_t>(address), 0x00FF)}, result);
    QCOMPARE(clock.now(), elapsedMs);
    QCOMPARE(sio.TxBuffer().toHex(), sent.toHex());
    QCOMPARE(sio.RxFrame().toHex(), received.toHex());
    QCOMPARE(sio.Settings(), before);
    QCOMPARE(sio.ReceiveMode(), ReceiveModes::MBus);
    // The M-Bus goes on at the settings it had.
    sio.SetRetryCount(1);
    QCOMPARE(sio.ReqUD2(3), parity == Parity::Even ? LinkResult::Ok : LinkResult::NoAnswer);
}

void TestMbSioStx::lineIsPutBackWhenThePortCannotBeOpened() {
    LinkFixture f;
    f.sio->SetParityNone();
    f.line.failOpenText = "COM1 cannot be opened";

    QVERIFY_THROWS_EXCEPTION(PortError, f.sio->StxReadRegisters(1, 0x00FF));

    QCOMPARE(f.sio->Settings(), (LineSettings{2400, 8, Parity::None, 1}));
    QCOMPARE(f.line.settings(), f.sio->Settings());
    QCOMPARE(f.sio->ReceiveMode(), ReceiveModes::MBus);
    QVERIFY(!f.sio->ExchangeWaiting());
    QVERIFY(f.line.writes.empty());
}

void TestMbSioStx::exchangesRefuseEachOther_data() {
    QTest::addColumn<bool>("stxWaits");
    QTest::newRow("REQ_UD2 while an STX request waits") << true;
    QTest::newRow("STX request while a REQ_UD2 waits") << false;
}

void TestMbSioStx::exchangesRefuseEachOther() {
    QFETCH(bool, stxWaits);
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    f.sio->SetStxRetryCount(1);
    int refused = -1;
    LineSettings during;
    const auto intruder = f.clock.callAfter(100, [&] {
        refused = stxWaits ? f.sio->ReqUD2(5) : f.sio->StxReadRegisters(1, 0x00FF);
        during = f.line.settings();
    });

    stxWaits ? f.sio->StxReadRegisters(1, 0x00FF) : f.sio->ReqUD2(5);

    QCOMPARE(refused, int{LinkResult::Aborted});
    QCOMPARE(f.sio->LastResult(), LinkResult::NoAnswer);
    QCOMPARE(f.line.writes.size(), std::size_t{1});
    QCOMPARE(during.parity, stxWaits ? Parity::Odd : Parity::Even);
    QCOMPARE(f.line.settings().parity, Parity::Even);
}

QTEST_GUILESS_MAIN(TestMbSioStx)
#include "test_mb_sio_stx.moc"
