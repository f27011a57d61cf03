// The link layer around the exchange: the port and its settings, the frame
// count bit, the telegrams each operation sends, and ending an exchange by
// destroying the object.

#include "link_fixture.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestMbSioControl : public QObject {
    Q_OBJECT
private slots:
    void setPortWithTheCurrentNameDoesNothing();
    void setPortSwitchesPorts();
    void setPortHoldsRtsOffInRtsOffMode();
    void portThatCannotBeOpenedThrows();
    void lineSettings();
    void telegramsOfEachOperation_data();
    void telegramsOfEachOperation();
    void sndUdRefusesMoreThan252Bytes();
    void fcbRules_data();
    void fcbRules();
    void broadcastSndNkeThenReqUd2CarriesFcb1();
    void destroyingTheObjectEndsTheExchangeWithOne();
    void destroyEndsTheExchangeWithOne();
    void destroyDuringTheSettlingPause();
};

void TestMbSioControl::setPortWithTheCurrentNameDoesNothing() {
    LinkFixture f;
    f.sio->SetPort("COM1");
    QVERIFY(f.line.events.isEmpty());
    QVERIFY(!f.sio->IsPortOpen());
    QCOMPARE(f.clock.now(), qint64{0});
    // The next operation opens it.
    QCOMPARE(f.sio->SndNke(1), LinkResult::NoAnswer);
    QVERIFY(f.line.events.contains("0 open COM1"));
}

void TestMbSioControl::setPortSwitchesPorts() {
    LinkFixture f;
    f.sio->SetPort("COM2");
    QCOMPARE(f.line.events,
             (QStringList{"0 dtr off", "0 rts off", "0 open COM2", "0 rts on", "0 dtr on"}));
    QCOMPARE(f.clock.now(), qint64{2000});
    QCOMPARE(f.sio->DeviceName(), QString("COM2"));

    // From an open port: closed, 300 ms to settle, the new one opened and 2000 ms.
    f.line.events.clear();
    f.sio->SetPort("COM3");
    QCOMPARE(f.line.events, (QStringList{"2000 close COM2", "2300 dtr on", "2300 rts on",
                                         "2300 open COM3", "2300 rts on", "2300 dtr on"}));
    QCOMPARE(f.clock.now(), qint64{4300});
    QCOMPARE(f.line.createdNames, (QStringList{"COM2", "COM3"}));

    // An open port is used as it is: no second settling pause.
    f.answerEveryWrite(AnswerFrame(), 40);
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    QCOMPARE(f.clock.now(), qint64{4340});
}

void TestMbSioControl::setPortHoldsRtsOffInRtsOffMode() {
    LinkFixture f;
    f.sio->SetRtsOffMode(true);
    QCOMPARE(f.sio->SndNke(255), LinkResult::NoAnswer);
    QCOMPARE(f.line.events.mid(2, 3), (QStringList{"0 open COM1", "0 rts off", "0 dtr on"}));
}

void TestMbSioControl::portThatCannotBeOpenedThrows() {
    LinkFixture f;
    f.line.failOpenText = "COM7 (/dev/ttyS6) cannot be opened: No such file or directory";
    try {
        f.sio->SetPort("COM7");
        QFAIL("no error");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), f.line.failOpenText);
    }
    // The name is taken; the next exchange tries again.
    QCOMPARE(f.sio->DeviceName(), QString("COM7"));
    QVERIFY_THROWS_EXCEPTION(PortError, f.sio->ReqUD2(1));
    QVERIFY(f.line.writes.empty());
    f.line.failOpenText.clear();
    QCOMPARE(f.sio->ReqUD2(1), LinkResult::NoAnswer);
}

void TestMbSioControl::lineSettings() {
    LinkFixture f;
    // The object starts at 2400 baud 8E1.
    QCOMPARE(f.sio->Settings(), (LineSettings{2400, 8, Parity::Even, 1}));
    QVERIFY(f.sio->SetBaud(0));
    f.sio->SetParityNone();
    f.openPort();
    // Settings made before the port existed reach it.
    QCOMPARE(f.line.settings(), (LineSettings{300, 8, Parity::None, 1}));
    // And on an open port at once.
    QVERIFY(f.sio->SetBaud(8));
    f.sio->SetParityEven();
    f.sio->SetStopBits1();
    QCOMPARE(f.line.settings(), (LineSettings{38400, 8, Parity::Even, 1}));
    QVERIFY(!f.sio->SetBaud(9)); // no such index: the rate stays
    QCOMPARE(f.sio->Settings().baudRate, 38400);
    // 14400 baud is timed as 2400 baud.
    QVERIFY(f.sio->SetBaud(6));
    QCOMPARE(f.sio->BaudRateValue(), 2400);
}

void TestMbSioControl::telegramsOfEachOperation_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("telegram");
    QTest::addColumn<qint64>("writtenAt");
    QTest::newRow("REQ_UD2 waits for the port") << "req" << Hex("107B058016") << qint64{2000};
    QTest::newRow("select waits for the port")
        << "select" << Hex("680B0B6873FD5278563412FFFFFFFFD216") << qint64{2000};
    QTest::newRow("SND_NKE") << "nke" << Hex("1040054516") << qint64{0};
    QTest::newRow("application reset") << "reset" << Hex("680303687305 50C816") << qint64{0};
    QTest::newRow("set primary address") << "snd" << Hex("680606687305 51017A07 4B16") << qint64{0};
}

void TestMbSioControl::telegramsOfEachOperation() {
    QFETCH(QString, operation);
    QFETCH(QByteArray, telegram);
    QFETCH(qint64, writtenAt);
    LinkFixture f;
    f.sio->SetRetryCount(1);
    if (operation == "req") {
        f.sio->ReqUD2(5);
    } else if (operation == "select") {
        f.sio->SelectById({0x78, 0x56, 0x34, 0x12});
    } else if (operation == "nke") {
        f.sio->SndNke(5);
    } else if (operation == "reset") {
        f.sio->ApplReset(5);
    } else {
        f.sio->SndUD(5, kCiDataSend, SetPrimaryAddressData(7));
    }
    QCOMPARE(f.line.writes.size(), std::size_t{1});
    QCOMPARE(f.line.writes[0].bytes.toHex(' '), telegram.toHex(' '));
    QCOMPARE(f.line.writes[0].at, writtenAt);
    QCOMPARE(f.sio->TxBuffer(), telegram);
}

void TestMbSioControl::sndUdRefusesMoreThan252Bytes() {
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    QCOMPARE(f.sio->SndUD(1, 0x51, QByteArray(253, '\0')), LinkResult::WriteFailed);
    QVERIFY(f.line.writes.empty());
    QVERIFY(f.sio->TxBuffer().isEmpty());
    f.answerEveryWrite(Hex("E5"));
    QCOMPARE(f.sio->SndUD(1, 0x51, QByteArray(252, '\0')), LinkResult::Ok);
    QCOMPARE(f.line.writes[0].bytes.size(), 252 + 9);
    QCOMPARE(f.line.writes[0].bytes.mid(1, 2), Hex("FFFF"));
}

void TestMbSioControl::fcbRules_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("fcbBefore");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("fcbAfter");
    QTest::newRow("E5h to SND_NKE leaves 1") << "nke" << 0 << true << 1;
    QTest::newRow("unanswered SND_NKE leaves 1") << "nke" << 0 << false << 1;
    QTest::newRow("E5h to SND_UD toggles 0 to 1") << "snd" << 0 << true << 1;
    QTest::newRow("unanswered SND_UD keeps 0") << "snd" << 0 << false << 0;
    QTest::newRow("E5h to select toggles") << "select" << 1 << true << 0;
    QTest::newRow("answered REQ_UD2 toggles") << "req" << 0 << true << 1;
}

void TestMbSioControl::fcbRules() {
    QFETCH(QString, operation);
    QFETCH(int, fcbBefore);
    QFETCH(bool, answered);
    QFETCH(int, fcbAfter);
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    f.sio->SetFcbBit(static_cast<std::uint8_t>(fcbBefore));
    if (answered) {
        f.answerEveryWrite(operation == "req" ? AnswerFrame() : Hex("E5"));
    }
    if (operation == "nke") {
        f.sio->SndNke(5);
    } else if (operation == "snd") {
        f.sio->SndUD(5, 0x51, Hex("017A07"));
    } else if (operation == "select") {
        f.sio->SelectById({1, 2, 3, 4});
    } else {
        f.sio->ReqUD2(5);
    }
    QCOMPARE(f.sio->LastResult(), answered ? LinkResult::Ok : LinkResult::NoAnswer);
    QCOMPARE(int(f.sio->FcbBit()), fcbAfter);
}

void TestMbSioControl::broadcastSndNkeThenReqUd2CarriesFcb1() {
    LinkFixture f;
    f.openPort();
    f.sio->SetFcbBit(0);
    QCOMPARE(f.sio->SndNke(255), LinkResult::NoAnswer);
    QCOMPARE(f.line.writes[0].bytes, Hex("1040FF3F16"));
    QCOMPARE(f.sio->ReqUD2(1), LinkResult::NoAnswer);
    QCOMPARE(f.line.writes.back().bytes, Hex("107B017C16"));
}

void TestMbSioControl::destroyingTheObjectEndsTheExchangeWithOne() {
    LinkFixture f;
    f.openPort();
    const auto killer = f.clock.callAfter(500, [&] { f.sio.reset(); });
    TMB_Sio* sio = f.sio.get();
    QCOMPARE(sio->ReqUD2(5), LinkResult::Aborted);
    QCOMPARE(f.clock.now(), qint64{500});
    QVERIFY(!f.sio);
    QVERIFY(!f.line.isOpen());
}

void TestMbSioControl::destroyEndsTheExchangeWithOne() {
    LinkFixture f;
    f.openPort();
    const auto stopper = f.clock.callAfter(500, [&] { f.sio->Destroy(); });
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Aborted);
    QCOMPARE(f.clock.now(), qint64{500});
    QCOMPARE(f.sio->LastResult(), LinkResult::Aborted);
    QVERIFY(!f.sio->IsPortOpen());
    QCOMPARE(f.line.writes.size(), std::size_t{1});
    // Nothing runs on after: no timer left, no further attempt, no new exchange.
    QCOMPARE(f.clock.pendingTimers(), std::size_t{0});
    QCOMPARE(f.sio->SndNke(1), LinkResult::Aborted);
    QCOMPARE(f.line.writes.size(), std::size_t{1});
}

void TestMbSioControl::destroyDuringTheSettlingPause() {
    LinkFixture f;
    const auto killer = f.clock.callAfter(700, [&] { f.sio.reset(); });
    TMB_Sio* sio = f.sio.get();
    QCOMPARE(sio->ReqUD2(5), LinkResult::Aborted);
    QCOMPARE(f.clock.now(), qint64{700});
    QVERIFY(f.line.writes.empty());
}

QTEST_GUILESS_MAIN(TestMbSioControl)
#include "test_mb_sio_control.moc"
