// SPDX-License-Identifier: GPL-3.0-or-later
// One operation at a time, on virtual time against the demonstration bus: an
// operation waiting in a real exchange refuses the others, gives everything
// back when an error leaves it, and holds off the window's close. Every
// control of the windows has its row in the handler table, and enters as the
// row says.
#include "window_fixture.h"

#include "app/grid_view.h"
#include "app/lamp.h"
#include "app/modem_window.h"
#include "app/zoom_window.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "operations/station.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using namespace quorven;
using namespace quorven::testing;

class TestOperationFrame : public QObject {
    Q_OBJECT
private slots:
    void othersRefusedWhileExchangeWaits();
    void everyControlHasItsRow();
    void dialogsLeaveExchangeGoing_data();
    void dialogsLeaveExchangeGoing();
    void controlsEnterByTheirRow_data();
    void controlsEnterByTheirRow();
    void errorGivesEverythingBack_data();
    void errorGivesEverythingBack();
    void closeWaitsForExchange();
};

namespace {

struct Frame {
    explicit Frame(bool ownDialogs = false)
        : w((f.ownDialogs = ownDialogs,
             f.start({}, &clock, [](StartupConfig& c) { c.simulate = true; }))) {}

    VirtualClock clock;
    WindowFixture f;
    TForm1& w;
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

namespace {

// The windows by the names the handler table knows them by.
QList<QWidget*> Windows(TForm1& w) {
    return {&w, w.Form2(), w.Form4()};
}

// The window a control belongs to: the nearest of the windows above it (the
// zoom and modem windows are the main window's children).
QWidget* OwnerOf(QObject* control, const QList<QWidget*>& windows) {
    for (QObject* o = control->parent(); o != nullptr; o = o->parent()) {
        if (windows.contains(o)) {
            return static_cast<QWidget*>(o);
        }
    }
    return nullptr;
}

// Every control of the window a user can trigger: buttons (check boxes too)
// and menu items. Separators, the items that open a menu, the view's corner
// button and Qt's own parts ("qt_...", such as the menu bar's extension
// button) are no handlers of ours.
QList<QObject*> Triggers(QWidget* window, const QList<QWidget*>& windows) {
    QList<QObject*> found;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (qstrcmp(b->metaObject()->className(), "QTableCornerButton") != 0) {
            found.append(b);
        }
    }
    for (QAction* a : window->findChildren<QAction*>()) {
        if (!a->isSeparator() && a->menu() == nullptr) {
            found.append(a);
        }
    }
    found.removeIf([&](QObject* c) {
        return OwnerOf(c, windows) != window || c->objectName().startsWith(QLatin1String("qt_"));
    });
    return found;
}

QObject* Control(TForm1& w, const HandlerRow& row) {
    for (QWidget* window : Windows(w)) {
        if (window->objectName().toStdString() == row.window) {
            return window->findChild<QObject*>(
                QString::fromUtf8(row.control.data(), qsizetype(row.control.size())));
        }
    }
    return nullptr;
}

} // namespace

void TestOperationFrame::everyControlHasItsRow() {
    WindowFixture f;
    TForm1& w = f.start();
    for (QWidget* window : Windows(w)) {
        const std::string name = window->objectName().toStdString();
        for (QObject* control : Triggers(window, Windows(w))) {
            const std::string control_name = control->objectName().toStdString();
            QVERIFY2(FindHandler(name, control_name) != nullptr,
                     qPrintable(QString("%1 \"%2\" (%3) has no row in the handler table")
                                    .arg(window->objectName(), control->objectName(),
                                         control->metaObject()->className())));
        }
    }
    // And no row names a control that is not there.
    for (const HandlerRow& row : HandlerTable()) {
        QVERIFY2(Control(w, row) != nullptr, row.control.data());
    }
}

void TestOperationFrame::controlsEnterByTheirRow_data() {
    QTest::addColumn<int>("handler");
    for (const HandlerRow& row : HandlerTable()) {
        if (row.enters != Enters::Free) {
            QTest::newRow(row.control.data()) << int(row.handler);
        }
    }
}

void TestOperationFrame::controlsEnterByTheirRow() {
    // A bus command or a table edit triggered while an exchange waits is
    // refused with the note, asks nothing and leaves the exchange alone.
    QFETCH(int, handler);
    const HandlerRow& row = RowOf(Handler(handler));
    Frame f;
    f.f.prompter.fileNames = {f.f.path("list.csv")};
    f.f.prompter.answers = {Prompter::Answer::Yes};
    f.w.station().tables().AppendSlave("COM1");
    f.w.AdvStringGrid1->setCurrentIndex(f.w.AdvStringGrid1->model()->index(1, 0));
    const GridModel& slaves = f.w.station().tables().slaveList();
    const int slaveRows = slaves.RowCount();
    f.readMeter([&] {
        f.w.StatusBar1->clearMessage();
        QObject* control = Control(f.w, row);
        QVERIFY(control != nullptr);
        if (auto* action = qobject_cast<QAction*>(control)) {
            action->trigger();
        } else {
            qobject_cast<QAbstractButton*>(control)->click();
        }
        QCOMPARE(f.w.StatusBar1->currentMessage(), OperationScope::kRefusedNote);
    });
    QVERIFY(f.f.prompter.asked.empty());
    QCOMPARE(slaves.RowCount(), slaveRows);
    QCOMPARE(int(f.result), 0);
}

void TestOperationFrame::dialogsLeaveExchangeGoing_data() {
    QTest::addColumn<QString>("control");
    for (const char* control : {"Save1_Button", "Save2_Button", "Print1_Button", "Print2_Button",
                                "About1", "Modem_Button"}) {
        QTest::newRow(control) << QString(control);
    }
}

void TestOperationFrame::dialogsLeaveExchangeGoing() {
    // A free handler's dialog, opened while an exchange waits, has no event
    // loop of its own: the exchange ends in its time while the dialog stays.
    QFETCH(QString, control);
    Frame quiet;
    const qint64 alone = quiet.readMeter();

    Frame f(true);
    f.w.show();
    QPointer<QWidget> dialog;
    // Should a dialog wait in an event loop of its own, it is closed after a
    // while, and the exchange is late.
    QTimer unstick;
    unstick.setSingleShot(true);
    QObject::connect(&unstick, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    const qint64 elapsed = f.readMeter([&] {
        unstick.start(3000);
        QObject* trigger = f.w.findChild<QObject*>(control);
        QVERIFY(trigger != nullptr);
        if (auto* action = qobject_cast<QAction*>(trigger)) {
            action->trigger();
        } else {
            qobject_cast<QAbstractButton*>(trigger)->click();
        }
        dialog = QApplication::activeModalWidget();
    });
    QVERIFY2(dialog != nullptr && dialog->isVisible(), "the dialog is open");
    QCOMPARE(int(f.result), 0);
    QCOMPARE(elapsed, alone);
    dialog->close();
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
