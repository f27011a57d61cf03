// SPDX-License-Identifier: GPL-3.0-or-later
// The link object and its reporter around the exchanges (the exchanges
// themselves are the link scripts of test_link_scripts): line settings,
// ending an exchange by destroying the object, the reporter's pauses and
// result classes, and the trace, which keeps its newest lines up to its limit.
#include "common/scripted_line.h"
#include "common/scripted_prompter.h"
#include "link/mb_sio.h"
#include "link/trace.h"
#include "link/virtual_clock.h"
#include "operations/link_reporter.h"
#include "operations/link_texts.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quorven;
using namespace quorven::testing;

namespace {

struct Fixture {
    VirtualClock clock;
    ScriptedLine line{clock};
    std::unique_ptr<TMB_Sio> sio = std::make_unique<TMB_Sio>(clock, line);
    Trace trace;
    ScriptedPrompter prompter;
    LinkReporter reporter{trace, prompter, clock, *sio};
};

QStringList Numbered(int from, int to) {
    QStringList lines;
    for (int i = from; i <= to; ++i) {
        lines.append(QString::number(i));
    }
    return lines;
}

} // namespace

class TestMbSioControl : public QObject {
    Q_OBJECT
private slots:
    void lineSettings();
    void destroyingTheObjectEndsTheExchangeWithOne();
    void destroyEndsTheExchangeWithOne();
    void destroyDuringTheSettlingPause();
    void strayBytesAreATelegramError();
    void waitTakesExactlyItsTime();
    void waitOfZeroReturns();
    void waitsDoNotShareATimer();
    void keepsTheNewestLines_data();
    void keepsTheNewestLines();
    void clearStartsAgain();
};

void TestMbSioControl::lineSettings() {
    Fixture f;
    // The object starts at 2400 baud 8E1.
    QCOMPARE(f.sio->Settings(), (LineSettings{2400, 8, Parity::Even, 1}));
    QVERIFY(f.sio->SetBaud(0));
    f.sio->SetParityNone();
    f.sio->OpenPort();
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

void TestMbSioControl::destroyingTheObjectEndsTheExchangeWithOne() {
    Fixture f;
    f.sio->OpenPort();
    const auto killer = f.clock.callAfter(500, [&] { f.sio.reset(); });
    TMB_Sio* sio = f.sio.get();
    QCOMPARE(sio->ReqUD2(5), LinkResult::Aborted);
    QCOMPARE(f.clock.now(), qint64{500});
    QVERIFY(!f.sio);
    QVERIFY(!f.line.isOpen());
}

void TestMbSioControl::destroyEndsTheExchangeWithOne() {
    Fixture f;
    f.sio->OpenPort();
    const auto stopper = f.clock.callAfter(500, [&] { f.sio->Destroy(); });
    QCOMPARE(f.sio->ReqUD2(5), LinkResult::Aborted);
    QCOMPARE(f.clock.now(), qint64{500});
    QCOMPARE(f.sio->LastResult(), LinkResult::Aborted);
    QVERIFY(!f.sio->IsPortOpen());
    QCOMPARE(f.line.events.filter(" write ").size(), 1);
    // Nothing runs on after: no timer left, no further attempt, no new exchange.
    QCOMPARE(f.clock.pendingTimers(), std::size_t{0});
    QCOMPARE(f.sio->SndNke(1), LinkResult::Aborted);
    QCOMPARE(f.line.events.filter(" write ").size(), 1);
}

void TestMbSioControl::destroyDuringTheSettlingPause() {
    Fixture f;
    const auto killer = f.clock.callAfter(700, [&] { f.sio.reset(); });
    TMB_Sio* sio = f.sio.get();
    QCOMPARE(sio->ReqUD2(5), LinkResult::Aborted);
    QCOMPARE(f.clock.now(), qint64{700});
    QVERIFY(f.line.events.filter(" write ").isEmpty());
}

// A valid answer after stray bytes counts as a telegram error, not as OK.
void TestMbSioControl::strayBytesAreATelegramError() {
    QCOMPARE(ResultClassOf(LinkResult::OkAfterStrayBytes), ResultClass::TelegramError);
}

void TestMbSioControl::waitTakesExactlyItsTime() {
    Fixture s;
    s.clock.advanceBy(123);
    s.reporter.Wait_ms(2000);
    QCOMPARE(s.clock.now(), qint64{2123});
    s.reporter.Wait_ms(65535);
    QCOMPARE(s.clock.now(), qint64{2123 + 65535});
    QCOMPARE(s.clock.pendingTimers(), std::size_t{0});
}

void TestMbSioControl::waitOfZeroReturns() {
    Fixture s;
    s.reporter.Wait_ms(0);
    QCOMPARE(s.clock.now(), qint64{0});
}

void TestMbSioControl::waitsDoNotShareATimer() {
    Fixture s;
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

void TestMbSioControl::keepsTheNewestLines_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("appended");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("dropped");
    QTest::newRow("at the limit") << 5 << 5 << Numbered(1, 5) << 0;
    QTest::newRow("one over drops the first") << 5 << 6 << Numbered(2, 6) << 1;
    QTest::newRow("many times over") << 5 << 1000 << Numbered(996, 1000) << 995;
    QTest::newRow("a limit below one is one") << 0 << 2 << Numbered(2, 2) << 1;
}

void TestMbSioControl::keepsTheNewestLines() {
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

void TestMbSioControl::clearStartsAgain() {
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

QTEST_GUILESS_MAIN(TestMbSioControl)
#include "test_mb_sio_control.moc"
