// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the demonstration bus logged for half an hour on virtual time:
// its series (names, point counts, first and last points), its charts (units
// per chart) and the rows it skipped, compared with demo-bus.chart.txt; the
// same rows saved as a log file and read back give the same chart.
#include "charts/chart_data.h"
#include "charts/chart_layout.h"
#include "common/golden.h"
#include "common/scripted_prompter.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "sim/simulated_bus.h"
#include "tables/csv_writer.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;

namespace {

QString Moment(double ms) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms), Qt::UTC)
        .toString(QStringLiteral("dd.MM.yy hh:mm:ss"));
}

QString PointText(const ChartPoint& p) {
    return Moment(p.time) + u' ' + QString::number(p.value, 'g', 15);
}

QByteArray Describe(const ChartData& data) {
    QString out = QStringLiteral("skipped: ") + SkippedRowsNote(data) + u'\n';
    for (const ChartSeries& s : data.series()) {
        out += QStringLiteral("series %1: %2 points, first %3, last %4\n")
                   .arg(s.name())
                   .arg(s.points.size())
                   .arg(PointText(s.points.front()), PointText(s.points.back()));
    }
    const auto panels = ArrangeCharts(SelectSeries(data, data.meters(), data.records()));
    for (std::size_t i = 0; i < panels.size(); ++i) {
        QStringList units;
        for (const QString& unit : panels[i].units) {
            units << (unit.isEmpty() ? QStringLiteral("(no unit)") : unit);
        }
        out += QStringLiteral("chart %1: %2, %3 series\n")
                   .arg(i + 1)
                   .arg(units.join(QStringLiteral(" | ")))
                   .arg(panels[i].series.size());
    }
    return out.toUtf8();
}

} // namespace

class TestDemoChart : public QObject {
    Q_OBJECT
private slots:
    void loggedDemoBus();
};

void TestDemoChart::loggedDemoBus() {
    VirtualClock clock;
    const auto bus = sim::SimulatedBus::demo(clock);
    testing::ScriptedPrompter prompter;
    Station station(prompter);
    station.AttachLink(clock, *bus, QStringLiteral("COM1"));
    station.wallClock().Start(QDateTime(QDate(2025, 1, 31), QTime(23, 40, 0)), clock);
    station.tables().LoadSlaveList(QStringLiteral(QUORVEN_SOURCE_DIR "/examples/slist-demo.csv"),
                                   u',', QStringLiteral("COM1"));
    station.options().PI_MaskEdit = QStringLiteral("600");
    station.Log_ButtonClick();
    clock.advanceBy(30 * 60 * 1000); // over midnight
    station.SStop_ButtonClick();
    clock.advanceBy(60 * 1000);

    const GridModel& table = station.tables().dataTable();
    ChartData data;
    data.AddRows(table, 1, table.RowCount() - 1);
    const QByteArray chart = Describe(data);
    testing::CompareGolden(chart,
                           QStringLiteral(QUORVEN_SOURCE_DIR "/tests/charts/demo-bus.chart.txt"));

    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    SaveCsv(table, log, u';');
    QCOMPARE(Describe(ReadChartFile(log, u';')), chart);
}

QTEST_GUILESS_MAIN(TestDemoChart)
#include "test_demo_chart.moc"
