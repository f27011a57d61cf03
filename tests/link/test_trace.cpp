// The trace keeps its newest lines up to its limit and drops the oldest.
#include "link/trace.h"

#include <QSignalSpy>
#include <QTest>

using namespace quorven;

namespace {

QStringList Numbered(int from, int to) {
    QStringList lines;
    for (int i = from; i <= to; ++i) {
        lines.append(QString::number(i));
    }
    return lines;
}

} // namespace

class TestTrace : public QObject {
    Q_OBJECT
private slots:
    void keepsTheNewestLines_data();
    void keepsTheNewestLines();
    void clearStartsAgain();
};

void TestTrace::keepsTheNewestLines_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("appended");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("dropped");
    QTest::newRow("at the limit") << 5 << 5 << Numbered(1, 5) << 0;
    QTest::newRow("one over drops the first") << 5 << 6 << Numbered(2, 6) << 1;
    QTest::newRow("many times over") << 5 << 1000 << Numbered(996, 1000) << 995;
    QTest::newRow("a limit below one is one") << 0 << 2 << Numbered(2, 2) << 1;
}

void TestTrace::keepsTheNewestLines() {
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

void TestTrace::clearStartsAgain() {
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

QTEST_GUILESS_MAIN(TestTrace)
#include "test_trace.moc"
