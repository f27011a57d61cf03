// SPDX-License-Identifier: GPL-3.0-or-later
// Reading STX meters on virtual time, each read compared with its golden rows
// and trace, and the formatting of register values: the cases are in
// data/stx/reads.txt and data/stx/formatting.txt.
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "operations/stx_values.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include "common/data_rows.h"
#include "common/scripted_prompter.h"

#include <QFile>
#include <QTest>

using namespace quorven;
using quorven::testing::AddRowsFromFile;
using quorven::testing::ScriptedPrompter;

namespace {

const QString kData = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/operations/data/stx/");

QStringList Lines(const QString& name) {
    QFile file(kData + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("cannot read ") + name};
    }
    QString text = QString::fromUtf8(file.readAll());
    text.chop(text.endsWith(u'\n') ? 1 : 0);
    return text.split(u'\n');
}

} // namespace

class TestStxMeters : public QObject {
    Q_OBJECT
private slots:
    void readOut_data() {
        AddRowsFromFile(kData + QStringLiteral("reads.txt"),
                        {"testedBefore", "address", "selection", "counted", "elapsedMs", "golden"});
    }
    void readOut();
    void formatting_data() {
        AddRowsFromFile(kData + QStringLiteral("formatting.txt"),
                        {"operation", "raw", "code", "range", "flowFlag", "expected"});
    }
    void formatting();
};

void TestStxMeters::readOut() {
    QFETCH(QString, testedBefore);
    QFETCH(QString, address);
    QFETCH(QString, selection);
    QFETCH(QString, counted);
    QFETCH(QString, elapsedMs);
    QFETCH(QString, golden);
    const auto meter = static_cast<std::uint8_t>(address.toInt());
    sim::BusDescription description = sim::DemoBusDescription();
    QString error;
    const auto testMeters = sim::LoadBusFile(
        QStringLiteral(QUORVEN_SOURCE_DIR "/tests/common/stx-meters.json"), &error);
    QVERIFY2(testMeters, qPrintable(error));
    description.meters.insert(description.meters.end(), testMeters->meters.begin(),
                              testMeters->meters.end());
    VirtualClock clock;
    sim::SimulatedBus bus(clock, description);
    ScriptedPrompter prompter;
    Station station(prompter);
    station.AttachLink(clock, bus, QStringLiteral("COM1"));
    if (!testedBefore.isEmpty()) {
        QVERIFY(station.STXTest(static_cast<std::uint8_t>(testedBefore.toInt())));
    }
    station.trace().clear();
    ReadContext& read = station.readContext();
    read.installationPlace = QStringLiteral("Hőközpont STX");
    read.dateText = QStringLiteral("01.02.24");
    read.timeText = QStringLiteral("12:00:00");
    read.primaryAddressText = address;
    read.idText = QStringLiteral("00471100");
    read.recordSelection = selection;
    const qint64 start = clock.now();

    QCOMPARE(station.STXToGrid(meter), counted == QStringLiteral("true"));

    QCOMPARE(clock.now() - start, elapsedMs.toLongLong());
    const GridModel& data = station.tables().dataTable();
    QStringList rows;
    for (int row = 1; row < data.RowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < data.ColCount(); ++column) {
            cells << data.Cell(column, row);
        }
        rows << cells.join(u',');
    }
    QCOMPARE(rows, Lines(golden + QStringLiteral(".csv")));
    QCOMPARE(station.tables().dataWritePosition(), data.RowCount());
    QCOMPARE(station.trace().lines(), Lines(golden + QStringLiteral(".trace")));
    QCOMPARE(station.link().Settings().parity, Parity::Even);
}

void TestStxMeters::formatting() {
    QFETCH(QString, operation);
    QFETCH(QString, raw);
    QFETCH(QString, code);
    QFETCH(QString, range);
    QFETCH(QString, flowFlag);
    QFETCH(QString, expected);
    const std::uint32_t rawValue = raw.toUInt();
    const int codeNumber = code.toInt();
    const bool flow = flowFlag == QStringLiteral("true");
    StxMeterDescription meter;
    meter.SXREG09 = static_cast<std::uint8_t>(codeNumber);
    meter.rangeFlag = range == QStringLiteral("true");
    meter.mjFlag = operation.endsWith(QStringLiteral("MJ"));
    StxValue value = SXEnergy(rawValue, meter);
    if (operation == QStringLiteral("counter")) {
        value = SXCounter(rawValue, codeNumber);
    } else if (operation == QStringLiteral("volume")) {
        value = SXVolume(rawValue, codeNumber);
    } else if (operation == QStringLiteral("power")) {
        value = SXPower(rawValue, meter, flow);
    } else if (operation == QStringLiteral("flow")) {
        value = SXFlow(rawValue, meter, flow);
    } else if (operation == QStringLiteral("temperature")) {
        value = StxTemperature(static_cast<std::uint16_t>(rawValue));
    }

    QCOMPARE(QString::fromStdString(value.text + " " + value.unit), expected);
}

QTEST_GUILESS_MAIN(TestStxMeters)
#include "test_stx_meters.moc"
