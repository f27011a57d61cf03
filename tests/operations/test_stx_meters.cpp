// Reading STX meters on virtual time: the demonstration bus's STX meter at 6
// and the test meters beside it (tests/common/stx-meters.json), each read
// compared with its golden rows and trace (data/stx/); and the formatting
// of register values.
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "operations/stx_values.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include "common/scripted_prompter.h"

#include <QFile>
#include <QTest>

using namespace quorven;
using quorven::testing::ScriptedPrompter;

namespace {

const QString kGolden = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/operations/data/stx/");

QStringList Lines(const QString& name) {
    QFile file(kGolden + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("cannot read ") + name};
    }
    QString text = QString::fromUtf8(file.readAll());
    text.chop(text.endsWith(u'\n') ? 1 : 0);
    return text.split(u'\n');
}

// The record numbers from..to joined by commas, without `except`.
QString Numbers(int from, int to, int except = 0) {
    QStringList numbers;
    for (int n = from; n <= to; ++n) {
        if (n != except) {
            numbers << QString::number(n);
        }
    }
    return numbers.join(u',');
}

} // namespace

class TestStxMeters : public QObject {
    Q_OBJECT
private slots:
    void readOut_data();
    void readOut();
    void formatting_data();
    void formatting();
};

void TestStxMeters::readOut_data() {
    QTest::addColumn<QList<int>>("testedBefore");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("counted");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("golden");
    // At 2400 baud an answered request takes 153 ms, one that is not 5 x 2000
    // ms; 40 ms pass before each request.
    QTest::newRow("standard meter, records 1 to 33")
        << QList<int>{} << 6 << Numbers(1, 33) << true << qint64{11 * 193} << "standard";
    QTest::newRow("standard meter, selection without 9")
        << QList<int>{} << 6 << Numbers(1, 33, 9) << true << qint64{11 * 193} << "without-9";
    QTest::newRow("counter variant numbers its rows on")
        << QList<int>{} << 7 << Numbers(1, 33) << true << qint64{6 * 193} << "counter";
    QTest::newRow("meter answering only its first block")
        << QList<int>{} << 8 << Numbers(1, 33) << false << qint64{193 + 2 * 10040}
        << "first-block-only";
    QTest::newRow("failed test after a counter meter starts from the standard variant")
        << QList<int>{7} << 8 << QStringLiteral("1") << false << qint64{193 + 2 * 10040}
        << "first-block-only";
    QTest::newRow("missing power block ends the read at the power row")
        << QList<int>{} << 9 << Numbers(1, 33) << false << qint64{4 * 193 + 10040}
        << "no-power-block";
}

void TestStxMeters::readOut() {
    QFETCH(QList<int>, testedBefore);
    QFETCH(int, address);
    QFETCH(QString, selection);
    QFETCH(bool, counted);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, golden);
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
    for (const int before : testedBefore) {
        QVERIFY(station.STXTest(static_cast<std::uint8_t>(before)));
    }
    station.trace().clear();
    ReadContext& read = station.readContext();
    read.installationPlace = QStringLiteral("Hőközpont STX");
    read.dateText = QStringLiteral("01.02.24");
    read.timeText = QStringLiteral("12:00:00");
    read.primaryAddressText = QString::number(address);
    read.idText = QStringLiteral("00471100");
    read.recordSelection = selection;
    const qint64 start = clock.now();

    QCOMPARE(station.STXToGrid(static_cast<std::uint8_t>(address)), counted);

    QCOMPARE(clock.now() - start, elapsedMs);
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

void TestStxMeters::formatting_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<quint32>("raw");
    QTest::addColumn<int>("code"); // SXVolume, SXCounter: the code; else SXREG09
    QTest::addColumn<bool>("range");
    QTest::addColumn<bool>("flowFlag");
    QTest::addColumn<QString>("expected");
    QTest::newRow("counter code 2 on 1234 counts 25s")
        << "counter" << 1234u << 2 << false << false << "308.50 l";
    QTest::newRow("counter of the largest pair in 64 bits")
        << "counter" << 0xFFFF'FFFFu << 0 << false << false << "10737418.2375 l";
    QTest::newRow("counter code 15 appends zeros")
        << "counter" << 7u << 15 << false << false << "70000 l";
    QTest::newRow("power q 7 on 15") << "power" << 15u << 7 << false << false << "1500 kW";
    QTest::newRow("power q 0 with range, no flow flag")
        << "power" << 15u << 0 << true << false << "0.15 kW";
    QTest::newRow("flow q 7 with range and flow flag")
        << "flow" << 15u << 0x0F << true << true << "150 l/h";
    QTest::newRow("temperature 12000")
        << "temperature" << 12000u << 0 << false << false << "60.000 °C";
    QTest::newRow("volume code 0 pads with zeros")
        << "volume" << 5u << 0 << false << false << "0.005 l";
    QTest::newRow("energy q 6 in MJ") << "energy MJ" << 1234u << 6 << false << false << "123.4 MJ";
}

void TestStxMeters::formatting() {
    QFETCH(QString, operation);
    QFETCH(quint32, raw);
    QFETCH(int, code);
    QFETCH(bool, range);
    QFETCH(bool, flowFlag);
    QFETCH(QString, expected);
    StxMeterDescription meter;
    meter.SXREG09 = static_cast<std::uint8_t>(code);
    meter.rangeFlag = range;
    meter.mjFlag = operation.endsWith(QStringLiteral("MJ"));
    StxValue value;
    if (operation == QStringLiteral("counter")) {
        value = SXCounter(raw, code);
    } else if (operation == QStringLiteral("volume")) {
        value = SXVolume(raw, code);
    } else if (operation == QStringLiteral("power")) {
        value = SXPower(raw, meter, flowFlag);
    } else if (operation == QStringLiteral("flow")) {
        value = SXFlow(raw, meter, flowFlag);
    } else if (operation == QStringLiteral("temperature")) {
        value = StxTemperature(static_cast<std::uint16_t>(raw));
    } else {
        value = SXEnergy(raw, meter);
    }

    QCOMPARE(QString::fromStdString(value.text + " " + value.unit), expected);
}

QTEST_GUILESS_MAIN(TestStxMeters)
#include "test_stx_meters.moc"
