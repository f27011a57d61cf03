// The exchange of the link layer on virtual time: time-outs, answers and
// their checks, echo, stray bytes, line errors and retries.

#include "link_fixture.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestMbSioExchange : public QObject {
    Q_OBJECT
private slots:
    void noAnswerTakesTheAnswerTimeOut_data();
    void noAnswerTakesTheAnswerTimeOut();
    void validAnswerEndsAtItsLastByte();
    void answerAcrossManyNotifications();
    void echoOnlyIsNoAnswer();
    void noiseBeforeAnswerIsRetriedWithToggledFcb();
    void failedCheckEndsAtTheDecidingByte_data();
    void failedCheckEndsAtTheDecidingByte();
    void lineErrorDecidesTheTimeOut_data();
    void lineErrorDecidesTheTimeOut();
    void lineErrorWithoutBytesIsNoAnswer();
    void framingErrorThenValidFrameIsOk();
    void garbledAnswerBacksOffBeforeTheRetry();
    void endlessSenderEndsAtTheLongestFrame();
    void bytesAfterAFailedCheckAreNotAnAnswer();
    void singleCharAnswers_data();
    void singleCharAnswers();
    void longFrameIsNoAnswerToSndNke();
    void writeFailureEndsAtOnce();
    void idleBytesAreBounded();
    void retryCountZeroMakesOneAttempt();
    void bytesNotTakenGoToTheStrayReceiver_data();
    void bytesNotTakenGoToTheStrayReceiver();
};

void TestMbSioExchange::noAnswerTakesTheAnswerTimeOut_data() {
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<int>("additionalMs");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<qint64>("perAttemptMs");
    QTest::addColumn<int>("fixedBaud"); // 0: the port runs at the rate set
    QTest::newRow("2400 baud, three attempts") << 3 << 0 << 3 << qint64{1160} << 0;
    QTest::newRow("2400 baud, 500 ms more") << 3 << 500 << 3 << qint64{1660} << 0;
    QTest::newRow("300 baud") << 0 << 0 << 1 << qint64{2283} << 0;
    QTest::newRow("65535 ms more does not wrap") << 3 << 65535 << 1 << qint64{66695} << 0;
    QTest::newRow("gateway at 300 baud, 9600 set, 500 ms more")
        << 5 << 500 << 1 << qint64{2783} << 300;
}

void TestMbSioExchange::noAnswerTakesTheAnswerTimeOut() {
    QFETCH(int, baudIndex);
    QFETCH(int, additionalMs);
    QFETCH(int, attempts);
    QFETCH(qint64, perAttemptMs);
    QFETCH(int, fixedBaud);
    LinkFixture f;
    f.line.fixedBaud = fixedBaud != 0 ? std::optional<qint32>(fixedBaud) : std::nullopt;
    QVERIFY(f.sio->SetBaud(baudIndex));
    f.sio->SetAdditionalTimeoutMs(static_cast<std::uint16_t>(additionalMs));
    f.sio->SetRetryCount(static_cast<std::uint8_t>(attempts));
    f.openPort();

    QCOMPARE(f.sio->ReqUD2(5), LinkResult::NoAnswer);
    QCOMPARE(f.clock.now(), attempts * perAttemptMs);
    QCOMPARE(static_cast<int>(f.line.writes.size()), attempts);
    for (int i = 0; i < attempts; ++i) {
        QCOMPARE(f.line.writes[static_cast<std::size_t>(i)].at, i * perAttemptMs);
        // A failed exchange leaves the FCB as it was: the same telegram again.
        QCOMPARE(f.line.writes[static_cast<std::size_t>(i)].bytes, Hex("107B058016"));
    }
    QCOMPARE(f.sio->RxLength(), std::uint16_t{0});
    QCOMPARE(f.sio->FcbBit(), std::uint8_t{1});
}

void TestMbSioExchange::validAnswerEndsAtItsLastByte() {
    LinkFixture f;
    const QByteArray answer = AnswerFrame(5, 0x04);
    f.answerEveryWrite(answer, 50);

    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    // The port was closed: opened, RTS and DTR on, 2000 ms to settle.
    QCOMPARE(f.line.events,
             (QStringList{"0 dtr off", "0 rts off", "0 open COM1", "0 rts on", "0 dtr on",
                          "2000 purge rx", "2000 write 10 7B 05 80 16"}));
    QCOMPARE(f.clock.now(), qint64{2050});
    QCOMPARE(f.sio->RxFrame(), answer);
    QCOMPARE(f.sio->TxBuffer(), Hex("107B058016"));
    QCOMPARE(f.sio->FcbBit(), std::uint8_t{0});
    QCOMPARE(f.sio->SlaveMedium(), std::uint8_t{0x04});
    QVERIFY(f.sio->FrameHexText().empty());
    QCOMPARE(f.sio->RawHexText().size(), static_cast<std::size_t>(answer.size() * 3));

    // The next request carries the toggled FCB.
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    QCOMPARE(f.line.writes.back().bytes, Hex("105B056016"));
    QCOMPARE(f.sio->FcbBit(), std::uint8_t{1});
}

void TestMbSioExchange::answerAcrossManyNotifications() {
    LinkFixture f;
    f.openPort();
    const QByteArray answer = AnswerFrame();
    // One byte every 40 ms: each byte restarts the inter-byte time-out.
    f.line.onWrite = [&](const QByteArray&) { f.line.sendAfter(100, answer, 40); };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    QCOMPARE(f.clock.now(), 100 + (answer.size() - 1) * qint64{40});
    QCOMPARE(f.sio->RxFrame(), answer);
}

void TestMbSioExchange::echoOnlyIsNoAnswer() {
    LinkFixture f;
    f.openPort();
    f.line.onWrite = [&](const QByteArray& written) { f.line.sendAfter(25, written, 5); };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::NoAnswer);
    QCOMPARE(f.clock.now(), qint64{3 * 1160});
    QVERIFY(f.sio->RawHexText().empty());
}

void TestMbSioExchange::noiseBeforeAnswerIsRetriedWithToggledFcb() {
    LinkFixture f;
    f.openPort();
    const QByteArray answer = AnswerFrame();
    int attempt = 0;
    f.line.onWrite = [&](const QByteArray&) {
        f.line.sendAfter(50, (attempt++ == 0 ? Hex("00") : QByteArray()) + answer);
    };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    QCOMPARE(f.line.writes.size(), std::size_t{2});
    QCOMPARE(f.line.writes[0].bytes, Hex("107B058016"));
    // 240 counts as an answer for the FCB, so the retry carries the toggled bit.
    QCOMPARE(f.line.writes[1].bytes, Hex("105B056016"));
    QCOMPARE(f.line.writes[1].at, qint64{50});
    QCOMPARE(f.sio->FcbBit(), std::uint8_t{1});

    // With one attempt the 240 stays.
    f.sio->SetRetryCount(1);
    attempt = 0;
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::OkAfterStrayBytes);
    QCOMPARE(f.sio->RxFrame(), answer);
}

void TestMbSioExchange::failedCheckEndsAtTheDecidingByte_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("decidingByte");
    QTest::addColumn<QString>("frameHexText");

    QByteArray badStop = AnswerFrame();
    badStop[badStop.size() - 1] = 0x17;
    QByteArray badSum = AnswerFrame();
    badSum[badSum.size() - 2] = static_cast<char>(badSum[badSum.size() - 2] + 1);
    const QByteArray tail = Hex("0872050000000000000000000016");

    QTest::newRow("L bytes 1Fh and 20h") << Hex("681F20") + tail << 247 << 3 << "68 1F 20 ";
    QTest::newRow("second start byte") << Hex("681F1F67") + tail << 246 << 4 << "68 1F 1F 67 ";
    QTest::newRow("stop byte") << badStop << 244 << int(badStop.size()) << "";
    QTest::newRow("checksum") << badSum << 245 << int(badSum.size()) << "";
}

void TestMbSioExchange::failedCheckEndsAtTheDecidingByte() {
    QFETCH(QByteArray, answer);
    QFETCH(int, result);
    QFETCH(int, decidingByte);
    QFETCH(QString, frameHexText);
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    f.line.onWrite = [&](const QByteArray&) { f.line.sendAfter(100, answer, 10); };

    QCOMPARE(int(f.sio->ReqUD2(5)), result);
    // Decided when the byte arrives, without waiting for the rest; no back-off.
    QCOMPARE(f.clock.now(), 100 + (decidingByte - 1) * qint64{10});
    QCOMPARE(f.sio->RxFrame(), answer.left(decidingByte));
    QCOMPARE(QString::fromStdString(f.sio->FrameHexText()), frameHexText);
    QCOMPARE(f.sio->FcbBit(), std::uint8_t{1});
}

void TestMbSioExchange::lineErrorDecidesTheTimeOut_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("result");
    QTest::newRow("framing") << int(LineErrorFlag::Framing) << 252;
    QTest::newRow("parity") << int(LineErrorFlag::Parity) << 251;
    QTest::newRow("break") << int(LineErrorFlag::Break) << 250;
    QTest::newRow("other") << 0x01 << 249;
    QTest::newRow("framing before parity")
        << int(LineErrorFlag::Framing | LineErrorFlag::Parity) << 252;
    QTest::newRow("parity before break")
        << int(LineErrorFlag::Parity | LineErrorFlag::Break) << 251;
    QTest::newRow("no line error") << -1 << 248;
}

void TestMbSioExchange::lineErrorDecidesTheTimeOut() {
    QFETCH(int, flags);
    QFETCH(int, result);
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    // A garbled start: two slaves answering at once.
    f.line.onWrite = [&](const QByteArray&) {
        f.line.sendAfter(60, Hex("6802"));
        if (flags >= 0) {
            f.line.lineErrorAfter(60, static_cast<std::uint8_t>(flags));
        }
    };
    QCOMPARE(int(f.sio->ReqUD2(5)), result);
    // Inter-byte time-out after the last byte, then the 2000 ms back-off.
    QCOMPARE(f.clock.now(), qint64{60 + 1045 + 2000});
    QCOMPARE(f.sio->RxLength(), std::uint16_t{0});
    QVERIFY(f.sio->FrameHexText().empty());
    QCOMPARE(QString::fromStdString(f.sio->RawHexText()), QString("68 02 "));
}

void TestMbSioExchange::lineErrorWithoutBytesIsNoAnswer() {
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    f.line.onWrite = [&](const QByteArray&) { f.line.lineErrorAfter(60, LineErrorFlag::Framing); };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::NoAnswer);
    QCOMPARE(f.clock.now(), qint64{1160});
    QCOMPARE(f.sio->PendingLineError(), LinkResult::FramingError);
}

void TestMbSioExchange::framingErrorThenValidFrameIsOk() {
    LinkFixture f;
    f.openPort();
    f.line.onWrite = [&](const QByteArray&) {
        f.line.lineErrorAfter(40, LineErrorFlag::Framing);
        f.line.sendAfter(50, AnswerFrame());
    };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    QCOMPARE(f.clock.now(), qint64{50});
    QCOMPARE(f.line.writes.size(), std::size_t{1});
}

void TestMbSioExchange::garbledAnswerBacksOffBeforeTheRetry() {
    LinkFixture f;
    f.openPort();
    int attempt = 0;
    f.line.onWrite = [&](const QByteArray&) {
        if (attempt++ == 0) {
            f.line.sendAfter(60, Hex("68"));
            f.line.lineErrorAfter(60, LineErrorFlag::Parity);
        } else {
            f.line.sendAfter(60, AnswerFrame());
        }
    };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Ok);
    QCOMPARE(f.line.writes.size(), std::size_t{2});
    QCOMPARE(f.line.writes[1].at, qint64{60 + 1045 + 2000});
    // The retry repeats the telegram: a failed exchange leaves the FCB.
    QCOMPARE(f.line.writes[1].bytes, f.line.writes[0].bytes);
}

void TestMbSioExchange::endlessSenderEndsAtTheLongestFrame() {
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    // Both L bytes 0: the frame can never complete, and the slave keeps sending.
    QByteArray endless = Hex("68000068");
    endless.append(600, '\x55');
    f.line.onWrite = [&](const QByteArray&) {
        f.line.sendAfter(100, endless, 5);
        // A line error noted on the way does not change the verdict.
        f.line.lineErrorAfter(200, LineErrorFlag::Framing);
    };

    QCOMPARE(f.sio->ReqUD2(5), LinkResult::TimeoutAfterBytes);
    // Ended at the 261st byte, then the back-off.
    QCOMPARE(f.clock.now(), 100 + 260 * qint64{5} + 2000);
    QCOMPARE(f.sio->RxLength(), std::uint16_t{0});
    QVERIFY(f.sio->FrameHexText().empty());
    f.clock.advanceBy(10000);
    QVERIFY(f.sio->RawHexText().size() <= std::size_t{TMB_Sio::kRawHexTextBytes * 3});
}

void TestMbSioExchange::bytesAfterAFailedCheckAreNotAnAnswer() {
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    // A wrong length, then a complete frame in the same read.
    f.line.onWrite = [&](const QByteArray&) {
        f.line.sendAfter(100, Hex("681F20") + AnswerFrame());
    };
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::LengthsDiffer);
    QCOMPARE(f.sio->RxFrame(), Hex("681F20"));
    QCOMPARE(QString::fromStdString(f.sio->FrameHexText()), QString("68 1F 20 "));
    // The FCB stays for the repeated request.
    QCOMPARE(f.sio->FcbBit(), std::uint8_t{1});
}

void TestMbSioExchange::singleCharAnswers_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("fcbAfter");
    QTest::newRow("E5h") << Hex("E5") << 0 << 0;
    QTest::newRow("echo and E5h") << Hex("6803036873FF50C216E5") << 0 << 0;
    QTest::newRow("noise and E5h") << Hex("00E5") << 240 << 0;
    QTest::newRow("nothing") << QByteArray() << 254 << 1;
    QTest::newRow("noise only") << Hex("00") << 248 << 1;
}

void TestMbSioExchange::singleCharAnswers() {
    QFETCH(QByteArray, answer);
    QFETCH(int, result);
    QFETCH(int, fcbAfter);
    LinkFixture f;
    f.sio->SetRetryCount(1);
    f.line.onWrite = [&](const QByteArray&) {
        if (!answer.isEmpty()) {
            f.line.sendAfter(30, answer);
        }
    };
    // An application reset does not wait for the port to settle.
    QCOMPARE(int(f.sio->ApplReset(255)), result);
    QCOMPARE(f.line.writes.front().at, qint64{0});
    QCOMPARE(f.line.writes.front().bytes, Hex("6803036873FF50C216"));
    QCOMPARE(int(f.sio->FcbBit()), fcbAfter);
    if (result == 0 || result == 240) {
        QCOMPARE(f.sio->RxFrame(), Hex("E5"));
        QCOMPARE(f.clock.now(), qint64{30});
    }
}

void TestMbSioExchange::longFrameIsNoAnswerToSndNke() {
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    f.answerEveryWrite(AnswerFrame(), 30);
    QCOMPARE(f.sio->SndNke(5), LinkResult::TimeoutAfterBytes);
    QCOMPARE(f.sio->RxLength(), std::uint16_t{0});
}

void TestMbSioExchange::writeFailureEndsAtOnce() {
    LinkFixture f;
    f.openPort();
    f.line.failWrites = true;
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::WriteFailed);
    QCOMPARE(f.clock.now(), qint64{0});
    QCOMPARE(f.line.events, (QStringList{"0 purge rx", "0 write failed"}));
}

void TestMbSioExchange::idleBytesAreBounded() {
    LinkFixture f;
    f.openPort();
    f.line.sendAt(10, QByteArray(5000, '\x41'));
    f.clock.advanceBy(100);
    QCOMPARE(f.sio->RawHexText().size(), std::size_t{TMB_Sio::kRawHexTextBytes * 3});
    QCOMPARE(f.sio->RxLength(), std::uint16_t{0});
    f.sio->ClearRawHexText();
    QVERIFY(f.sio->RawHexText().empty());
}

void TestMbSioExchange::retryCountZeroMakesOneAttempt() {
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(0);
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::NoAnswer);
    QCOMPARE(f.line.writes.size(), std::size_t{1});
}

QTEST_GUILESS_MAIN(TestMbSioExchange)
#include "test_mb_sio_exchange.moc"

void TestMbSioExchange::bytesNotTakenGoToTheStrayReceiver_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("stray");
    QByteArray badStop = AnswerFrame();
    badStop[badStop.size() - 1] = 0x17;
    const QByteArray line = Hex("0D0A4E4F20434152524945520D0A"); // CR LF "NO CARRIER" CR LF
    QTest::newRow("echo and answer are taken") << Hex("107B058016") + AnswerFrame() << QByteArray();
    QTest::newRow("a line before the answer") << line + AnswerFrame() << line;
    QTest::newRow("a frame refused at its stop byte, then a line")
        << badStop + line << badStop + line;
    QTest::newRow("a frame cut off goes on at the time-out")
        << AnswerFrame().left(10) + line << AnswerFrame().left(10) + line;
}

void TestMbSioExchange::bytesNotTakenGoToTheStrayReceiver() {
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, stray);
    LinkFixture f;
    f.openPort();
    f.sio->SetRetryCount(1);
    QByteArray heard;
    f.sio->SetStrayReceiver([&heard](const QByteArray& bytes) { heard += bytes; });
    f.answerEveryWrite(answer);
    f.sio->ReqUD2(5);
    // Whatever comes while no exchange waits goes on as well.
    f.line.sendAfter(10, Hex("0D"));
    f.clock.advanceBy(100);
    QCOMPARE(heard.toHex(' '), (stray + Hex("0D")).toHex(' '));
}
