// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/virtual_clock.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <vector>

using namespace quorven;

class TestVirtualClock : public QObject {
    Q_OBJECT
private slots:
    void timersFireInOrderOfDueTime();
    void pumpUntilGivesUpWhenNothingIsLeft();
    void periodicTimerRepeatsAndStops();
    void destroyedTimerNeverFires();
    void nestedPumpingKeepsOrder();
    void postedEventsAreDelivered();
};

void TestVirtualClock::timersFireInOrderOfDueTime() {
    VirtualClock clock;
    std::vector<int> fired;
    auto late = clock.callAfter(300, [&] { fired.push_back(300); });
    auto early = clock.callAfter(100, [&] { fired.push_back(100); });
    auto same = clock.callAfter(100, [&] { fired.push_back(101); });
    clock.advanceBy(1000);
    QCOMPARE(fired, (std::vector<int>{100, 101, 300}));
    QCOMPARE(clock.now(), 1000);
}

void TestVirtualClock::pumpUntilGivesUpWhenNothingIsLeft() {
    VirtualClock clock;
    QVERIFY(!clock.pumpUntil([] { return false; }));
    QCOMPARE(clock.now(), 0);
}

void TestVirtualClock::periodicTimerRepeatsAndStops() {
    VirtualClock clock;
    auto timer = clock.createTimer();
    std::vector<qint64> ticks;
    timer->setSingleShot(false);
    timer->setCallback([&] {
        ticks.push_back(clock.now());
        if (ticks.size() == 2) {
            // A tick that waits: the ticks at 3000 and 4000 come while it
            // still runs and are skipped, not run inside it.
            bool done = false;
            const auto wait = clock.callAfter(2500, [&] { done = true; });
            clock.pumpUntil([&] { return done; });
        }
        if (ticks.size() == 3) {
            timer->stop();
        }
    });
    timer->start(1000);
    clock.advanceBy(10000);
    QCOMPARE(ticks, (std::vector<qint64>{1000, 2000, 5000}));
    QVERIFY(!timer->isActive());
}

void TestVirtualClock::destroyedTimerNeverFires() {
    VirtualClock clock;
    bool fired = false;
    auto timer = clock.callAfter(10, [&] { fired = true; });
    timer.reset();
    QCOMPARE(clock.pendingTimers(), std::size_t{0});
    clock.advanceBy(100);
    QVERIFY(!fired);
}

void TestVirtualClock::nestedPumpingKeepsOrder() {
    VirtualClock clock;
    std::vector<qint64> order;
    std::unique_ptr<ClockTimer> inner;
    bool innerDone = false;
    auto outer = clock.callAfter(100, [&] {
        inner = clock.callAfter(50, [&] {
            order.push_back(clock.now());
            innerDone = true;
        });
        clock.pumpUntil([&] { return innerDone; });
        order.push_back(clock.now());
    });
    auto other = clock.callAfter(120, [&] { order.push_back(-clock.now()); });
    clock.advanceBy(1000);
    QCOMPARE(order, (std::vector<qint64>{-120, 150, 150}));
}

void TestVirtualClock::postedEventsAreDelivered() {
    VirtualClock clock;
    bool delivered = false;
    QMetaObject::invokeMethod(
        qApp, [&] { delivered = true; }, Qt::QueuedConnection);
    QVERIFY(clock.pumpUntil([&] { return delivered; }));
    QCOMPARE(clock.now(), 0);
}

QTEST_GUILESS_MAIN(TestVirtualClock)
#include "test_virtual_clock.moc"
