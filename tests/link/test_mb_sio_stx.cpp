// SPDX-License-Identifier: GPL-3.0-or-later
// The STX request on virtual time: against STX meters on the simulated bus
// (bytes, results, attempts, durations, the line put back; the cases are in
// data/stx-requests.txt), and the ways out of a request that never reaches
// the bus.
#include "common/scripted_line.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"

#include "common/data_rows.h"

#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// The link on a scripted line, on virtual time.
struct LinkFixture {
    quorven::VirtualClock clock;
    quorven::testing::ScriptedLine line{clock};
    std::unique_ptr<quorven::TMB_Sio> sio = std::make_unique<quorven::TMB_Sio>(clock, line);
    void openPort() { sio->OpenPort(); }
};

} // namespace

class TestMbSioStx : public QObject {
    Q_OBJECT
private slots:
    void requestOnTheBus_data() {
        AddRowsFromFile(
            QStringLiteral(QUORVEN_SOURCE_DIR "/tests/link/data/stx-requests.txt"),
            {"echo", "parity", "retries", "address", "result", "sent", "received", "elapsedMs"});
    }
    void requestOnTheBus();
    void lineIsPutBackWhenThePortCannotBeOpened();
    void portRefusingTheLineBackFailsAfterTheRequest();
    void portFailingDuringTheRequestEndsItAtOnce();
    void exchangesRefuseEachOther_data();
    void exchangesRefuseEachOther();
};

void TestMbSioStx::requestOnTheBus() {
    QFETCH(QString, echo);
    QFETCH(QString, parity);
    QFETCH(QString, retries);
    QFETCH(QString, address);
    QFETCH(QString, result);
    QFETCH(QString, sent);
    QFETCH(QString, received);
    QFETCH(QString, elapsedMs);
    const bool even = parity == QStringLiteral("even");
    QString error;
    auto description = sim::LoadBusFile(
        QStringLiteral(QUORVEN_SOURCE_DIR "/tests/common/stx-meters.json"), &error);
    QVERIFY2(description, qPrintable(error));
    description->echo = echo == QStringLiteral("true");
    VirtualClock clock;
    sim::SimulatedBus bus(clock, *description);
    TMB_Sio sio(clock, bus);
    sio.SetStxRetryCount(static_cast<std::uint8_t>(retries.toInt()));
    even ? sio.SetParityEven() : sio.SetParityNone();
    const LineSettings before = sio.Settings();
    sio.OpenPort();

    QCOMPARE(int{sio.StxReadRegisters(static_cast<std::uint8_t>(address.toInt()), 0x00FF)},
             result.toInt());
    QCOMPARE(clock.now(), elapsedMs.toLongLong());
    QCOMPARE(sio.TxBuffer().toHex().toUpper(), sent.toLatin1());
    QCOMPARE(sio.RxFrame().toHex().toUpper(), received.toLatin1());
    QCOMPARE(sio.Settings(), before);
    QCOMPARE(sio.ReceiveMode(), ReceiveModes::MBus);
    // The M-Bus goes on at the settings it had.
    sio.SetRetryCount(1);
    QCOMPARE(sio.ReqUD2(3), even ? LinkResult::Ok : LinkResult::NoAnswer);
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
    QVERIFY(f.line.events.filter(" write ").isEmpty());
}

void TestMbSioStx::portRefusingTheLineBackFailsAfterTheRequest() {
    // The device goes while the request waits: putting the M-Bus settings
    // back fails. The request ends, the line is put back as far as the link
    // goes, the port is closed, and the port's error comes after.
    LinkFixture f;
    f.openPort();
    f.sio->SetStxRetryCount(1);
    const auto pulled =
        f.clock.callAfter(100, [&] { f.line.failSettingsText = "COM1 (/dev/ttyUSB0) is gone"; });

    QVERIFY_THROWS_EXCEPTION(PortError, f.sio->StxReadRegisters(1, 0x00FF));

    QCOMPARE(f.clock.now(), 2000);
    QCOMPARE(f.sio->Settings(), (LineSettings{2400, 8, Parity::Even, 1}));
    QCOMPARE(f.sio->ReceiveMode(), ReceiveModes::MBus);
    QVERIFY(!f.sio->ExchangeWaiting());
    QVERIFY(!f.sio->IsPortOpen());
    // Opened again, the port gets the M-Bus settings before anything is sent.
    f.line.failSettingsText.clear();
    f.sio->SetRetryCount(1);
    QCOMPARE(f.sio->SndNke(5), LinkResult::NoAnswer);
    QCOMPARE(f.line.settings(), (LineSettings{2400, 8, Parity::Even, 1}));
}

void TestMbSioStx::portFailingDuringTheRequestEndsItAtOnce() {
    LinkFixture f;
    f.openPort();
    f.sio->SetStxRetryCount(5);
    f.line.faultAt(300, "COM1 (/dev/ttyUSB0) is gone: Input/output error");

    QCOMPARE(f.sio->StxReadRegisters(1, 0x00FF), LinkResult::WriteFailed);

    QCOMPARE(f.clock.now(), 300);
    QVERIFY(!f.sio->IsPortOpen());
    QCOMPARE(f.sio->Settings().parity, Parity::Even);
    QCOMPARE(f.sio->ReceiveMode(), ReceiveModes::MBus);
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
    QCOMPARE(f.line.events.filter(" write ").size(), 1);
    QCOMPARE(during.parity, stxWaits ? Parity::Odd : Parity::Even);
    QCOMPARE(f.line.settings().parity, Parity::Even);
}

QTEST_GUILESS_MAIN(TestMbSioStx)
#include "test_mb_sio_stx.moc"
