// SPDX-License-Identifier: GPL-3.0-or-later
// The station's link on the demonstration bus, on virtual time: an exchange
// through the station's link is traced by the station's reporter.
#include "link/link_result.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "sim/simulated_bus.h"

#include "common/scripted_prompter.h"

#include <QTest>

using namespace quorven;
using quorven::testing::ScriptedPrompter;

class TestStationLink : public QObject {
    Q_OBJECT
private slots:
    void reqUd2IsTracedByTheReporter();
};

void TestStationLink::reqUd2IsTracedByTheReporter() {
    VirtualClock clock;
    const auto bus = sim::SimulatedBus::demo(clock);
    ScriptedPrompter prompter;
    Station station(prompter);
    QVERIFY(!station.hasLink());
    station.AttachLink(clock, *bus, QStringLiteral("COM1"));
    TMB_Sio& link = station.link();
    QVERIFY(!link.IsPortOpen()); // opened when an operation needs it
    link.OpenPort();

    QCOMPARE(int(link.ReqUD2(1)), int(LinkResult::Ok));
    LinkReporter& reporter = station.reporter();
    reporter.TxProtocol(link.TxBuffer());
    reporter.RxProtocol(link.RxBuffer());
    reporter.Show_Error();
    QCOMPARE(int(reporter.Check_Error()), 0);

    const QStringList lines = station.trace().lines();
    QCOMPARE(lines.size(), 4); // a good answer adds no error lines
    QCOMPARE(lines.at(0), QString("TX-buffer:"));
    QCOMPARE(lines.at(1), QString("10 7B 01 7C 16 "));
    QCOMPARE(lines.at(2), QString("RX-buffer:"));
    // The heat meter at address 1 answers with a long frame from address 1.
    QVERIFY(lines.at(3).startsWith("68 "));
    QCOMPARE(lines.at(3).mid(5 * 3, 3), QString("01 "));
    QVERIFY(lines.at(3).endsWith("16 "));
    QCOMPARE(lines.at(3).size(), int(link.RxLength()) * 3);
    QVERIFY(prompter.asked.empty());
}

QTEST_GUILESS_MAIN(TestStationLink)
#include "test_station_link.moc"
