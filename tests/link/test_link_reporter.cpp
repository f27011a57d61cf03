// The trace, which keeps its newest lines up to its limit, and the trace
// lines, message boxes, result classes and pauses around an exchange.

#include "common/scripted_prompter.h"
#include "link/link_reporter.h"
#include "link/link_texts.h"
#include "link/trace.h"
#include "link_fixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

QStringList Numbered(int from, int to) {
    QStringList lines;
    for (int i = from; i <= to; ++i) {
        lines.append(QString::number(i));
    }
    return lines;
}

} // namespace

class TestLinkReporter : public QObject {
    Q_OBJECT
private slots:
    void txProtocolOfReqUd2();
    void rxProtocol_data();
    void rxProtocol();
    void showErrorAfterAnExchange_data();
    void showErrorAfterAnExchange();
    void showErrorAfterAbort();
    void strayBytesAreATelegramError();
    void waitTakesExactlyItsTime();
    void waitOfZeroReturns();
    void waitsDoNotShareATimer();
    void keepsTheNewestLines_data();
    void keepsTheNewestLines();
    void clearStartsAgain();

private:
    struct Station : LinkFixture {
        Trace trace;
        ScriptedPrompter prompter;
        LinkReporter reporter{trace, prompter, clock, *sio};
    };
};

void TestLinkReporter::txProtocolOfReqUd2() {
    Station s;
    s.openPort();
    s.sio->SetRetryCount(1);
    s.sio->ReqUD2(1);
    s.reporter.TxProtocol(s.sio->TxBuffer());
    QCOMPARE(s.trace.lines(), (QStringList{"TX-buffer:", "10 7B 01 7C 16 "}));
}

void TestLinkReporter::rxProtocol_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("line");
    QTest::newRow("E5h") << Hex("E5") << "E5 ";
    QTest::newRow("nothing kept") << QByteArray() << "";
    QTest::newRow("noise only") << Hex("00") << "";
}

void TestLinkReporter::rxProtocol() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, line);
    Station s;
    s.openPort();
    s.sio->SetRetryCount(1);
    if (!answer.isEmpty()) {
        s.answerEveryWrite(answer);
    }
    s.sio->SndNke(1);
    s.reporter.RxProtocol(s.sio->RxBuffer());
    QCOMPARE(s.trace.lines(), (QStringList{"RX-buffer:", line}));
}

void TestLinkReporter::showErrorAfterAnExchange_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("caption"); // empty: no box
    QTest::newRow("0 adds nothing") << AnswerFrame() << QStringList{} << "";
    QTest::newRow("254") << QByteArray() << QStringList{"Error-data: ", "", ""}
                         << "Receive timeout";
    QTest::newRow("247 shows the frame bytes")
        << Hex("681F20") << QStringList{"Error-data: ", "68 1F 20 ", ""} << "Length error";
    QTest::newRow("240 is a communication error")
        << Hex("00") + AnswerFrame() << QStringList{"Error-data: ", "", ""} << "Aborting";
}

void TestLinkReporter::showErrorAfterAnExchange() {
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, lines);
    QFETCH(QString, caption);
    Station s;
    s.openPort();
    s.sio->SetRetryCount(1);
    if (!answer.isEmpty()) {
        s.answerEveryWrite(answer);
    }
    s.sio->ReqUD2(1);
    s.reporter.Show_Error();
    QCOMPARE(s.trace.lines(), lines);
    QVERIFY(s.sio->RawHexText().empty());
    QVERIFY(s.sio->FrameHexText().empty());
    if (caption.isEmpty()) {
        QVERIFY(s.prompter.asked.empty());
    } else {
        QCOMPARE(s.prompter.asked.size(), std::size_t{1});
        QCOMPARE(s.prompter.asked[0].kind, QString("message"));
        QCOMPARE(s.prompter.asked[0].caption, caption);
    }
}

void TestLinkReporter::showErrorAfterAbort() {
    Station s;
    s.openPort();
    s.sio->Destroy();
    s.reporter.Show_Error();
    QCOMPARE(s.trace.lines(), (QStringList{"Error-data: ", "", ""}));
    QVERIFY(s.prompter.asked.empty());
    // The port was closed by the abort, so there is nothing to purge.
    QVERIFY(!s.line.events.contains("0 purge tx"));
}

// A valid answer after stray bytes counts as a telegram error, not as OK.
void TestLinkReporter::strayBytesAreATelegramError() {
    QCOMPARE(ResultClassOf(LinkResult::OkAfterStrayBytes), ResultClass::TelegramError);
}

void TestLinkReporter::waitTakesExactlyItsTime() {
    Station s;
    s.clock.advanceBy(123);
    s.reporter.Wait_ms(2000);
    QCOMPARE(s.clock.now(), qint64{2123});
    s.reporter.Wait_ms(65535);
    QCOMPARE(s.clock.now(), qint64{2123 + 65535});
    QCOMPARE(s.clock.pendingTimers(), std::size_t{0});
}

void TestLinkReporter::waitOfZeroReturns() {
    Station s;
    s.reporter.Wait_ms(0);
    QCOMPARE(s.clock.now(), qint64{0});
}

void TestLinkReporter::waitsDoNotShareATimer() {
    Station s;
    std::vector<qint64> ended;
    // Another handler pauses while the first pause runs: each ends on its own time.
    const auto other = s.clock.callAfter(100, [&] {
        s.reporter.Wait_ms(500);
        ended.push_back(s.clock.now());
    });
    s.reporter.Wait_ms(1000);
    ended.push_back(s.clock.now());
    QCOMPARE(ended, (std::vector<qint64>{600, 1000}));
}

void TestLinkReporter::keepsTheNewestLines_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("appended");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("dropped");
    QTest::newRow("at the limit") << 5 << 5 << Numbered(1, 5) << 0;
    QTest::newRow("one over drops the first") << 5 << 6 << Numbered(2, 6) << 1;
    QTest::newRow("many times over") << 5 << 1000 << Numbered(996, 1000) << 995;
    QTest::newRow("a limit below one is one") << 0 << 2 << Numbered(2, 2) << 1;
}

void TestLinkReporter::keepsTheNewestLines() {
    QFETCH(int, limit);
    QFETCH(int, appended);
    QFETCH(QStringList, kept);
    QFETCH(int, dropped);
    Trace trace(nullptr, limit);
    QSignalSpy spy(&trace, &Trace::lineAppended);
    for (const QString& line : Numbered(1, appended)) {
        trace.append(line);
    }
    QCOMPARE(trace.lines(), kept);
    QCOMPARE(trace.droppedLines(), qint64{dropped});
    // The view hears of every line, also of those dropped later.
    QCOMPARE(spy.count(), appended);
    QCOMPARE(spy.last().at(0).toString(), kept.last());
}

void TestLinkReporter::clearStartsAgain() {
    Trace trace(nullptr, 2);
    for (const QString& line : Numbered(1, 4)) {
        trace.append(line);
    }
    QSignalSpy cleared(&trace, &Trace::cleared);
    trace.clear();
    QCOMPARE(cleared.count(), 1);
    QVERIFY(trace.lines().isEmpty());
    QCOMPARE(trace.droppedLines(), qint64{0});
    for (const QString& line : Numbered(5, 7)) {
        trace.append(line);
    }
    QCOMPARE(trace.lines(), Numbered(6, 7));
}

QTEST_GUILESS_MAIN(TestLinkReporter)
#include "test_link_reporter.moc"
