// SPDX-License-Identifier: GPL-3.0-or-later
// One operation at a time, on virtual time against the demonstration bus: an
// operation waiting in a real exchange refuses the others, gives everything
// back when an error leaves it, and holds off the window's close.
#include "window_fixture.h"

#include "app/lamp.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "operations/station.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <functional>
#include <stdexcept>

using namespace quorven;
using namespace quorven::testing;

class TestOperationFrame : public QObject {
    Q_OBJECT
private slots:
    void othersRefusedWhileExchangeWaits();
    void errorGivesEverythingBack_data();
    void errorGivesEverythingBack();
    void closeWaitsForExchange();
};

namespace {

struct Frame {
    VirtualClock clock;
    WindowFixture f;
    TForm1& w = f.start({}, &clock, [](StartupConfig& c) { c.simulate = true; });
    std::uint8_t result = 255;

    // Reads the heat meter at address 1 as one operation started from a tick;
    // `during` runs 2500 ms in, while the answer is on its way. Returns when
    // the operation's handler has returned; the virtual time it took.
    qint64 readMeter(const std::function<void()>& during = {},
                     const std::function<void()>& after = {}) {
        const qint64 start = clock.now();
        bool ended = false;
        const auto op = clock.callAfter(0, [&] {
            w.Guarded([&] {
                w.station().Run(Entry::Command, [&] {
                    w.link().SetPort("COM1");
                    result = w.link().ReqUD2(1);
                    if (after) {
                        after();
                    }
                });
            });
            ended = true;
        });
        const auto poke = clock.callAfter(2500, [&] {
            if (during) {
                during();
            }
        });
        clock.pumpUntil([&] { return ended; });
        return clock.now() - start;
    }
};

} // namespace

void TestOperationFrame::othersRefusedWhileExchangeWaits() {
    Frame quiet;
    const qint64 alone = quiet.readMeter();
    QCOMPARE(int(quiet.result), 0);

    Frame f;
    f.f.prompter.fileNames = {f.f.path("list.csv")};
    const qint64 elapsed = f.readMeter([&] {
        QVERIFY(f.w.link().ExchangeWaiting());
        QCOMPARE(f.w.Status_StaticText->text(), QString("foglalt"));
        QTest::mouseClick(f.w.Load1_Button, Qt::LeftButton);
        f.w.Appendslave1->trigger();
        QCOMPARE(int(f.w.link().ReqUD2(2)), int(LinkResult::Aborted)); // nothing sent
        QCOMPARE(f.w.StatusBar1->currentMessage(), OperationScope::kRefusedNote);
    });
    // Refused before any dialog, no row added, and the exchange went on as if
    // nothing had happened.
    QVERIFY(f.f.prompter.asked.empty());
    QCOMPARE(f.w.station().tables().slaveList().RowCount(), 1);
    QCOMPARE(int(f.result), 0);
    QCOMPARE(elapsed, alone);
    QCOMPARE(f.w.link().RxFrame(), quiet.w.link().RxFrame());
    QCOMPARE(f.w.Status_StaticText->text(), QString("szabad"));
    QVERIFY(!f.w.station().operationRunning());
}

void TestOperationFrame::errorGivesEverythingBack_data() {
    QTest::addColumn<bool>("modemConnected");
    QTest::newRow("port closed") << false;
    QTest::newRow("modem connection stays up") << true;
}

void TestOperationFrame::errorGivesEverythingBack() {
    QFETCH(bool, modemConnected);
    Frame f;
    f.w.station().runState().modemConnected = modemConnected;
    f.w.MBRead_Button->setEnabled(false);
    f.readMeter({}, [&] {
        QVERIFY(f.w.link().IsPortOpen());
        throw std::runtime_error("Cannot open file x.csv");
    });
    QCOMPARE(f.f.traceLines().last(), QString("Exception!"));
    QCOMPARE(f.f.prompter.asked.back().text, QString("Cannot open file x.csv"));
    QCOMPARE(f.w.link().IsPortOpen(), modemConnected);
    QCOMPARE(f.w.Status_StaticText->text(), QString("szabad"));
    QCOMPARE(f.w.Shape1->color(), QColor(Qt::green));
    QVERIFY(f.w.MBRead_Button->isEnabled());
    // The station is free for the next operation.
    QVERIFY(f.w.station().Run(Entry::TableEdit, [] {}));
}

void TestOperationFrame::closeWaitsForExchange() {
    Frame f;
    f.w.show();
    bool refused = false;
    f.readMeter([&] { refused = !f.w.close(); },
                [&] {
                    // Still whole after the close was asked for: nothing was freed.
                    QVERIFY(f.w.isVisible());
                    QVERIFY(f.w.closePending());
                    QVERIFY(!QFile::exists(f.f.path("slist.csv")));
                });
    QVERIFY(refused);
    QCOMPARE(int(f.result), 0);
    QVERIFY(f.w.station().runState().stop);
    QVERIFY(!f.w.isVisible());
    QVERIFY(QFile::exists(f.f.path("slist.csv")));
}

QTEST_MAIN(TestOperationFrame)
#include "test_operation_frame.moc"
