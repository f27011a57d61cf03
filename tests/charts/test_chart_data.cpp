// SPDX-License-Identifier: GPL-3.0-or-later
// What a chart reads from the cells of a row, and the reduction of a series
// to the pixel columns of its view.
#include "charts/chart_data.h"
#include "charts/chart_layout.h"
#include "charts/chart_reduce.h"
#include "charts/chart_value.h"
#include "tables/table_layouts.h"

#include <QDateTime>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace quorven;

namespace {

CompactRow DataRow(const QString& place, const QString& date, const QString& time,
                   const QString& number, const QString& value, const QString& unit) {
    CompactRow row;
    row.setCell(kDataPlace, place.toStdString());
    row.setCell(kDataDate, date.toStdString());
    row.setCell(kDataTime, time.toStdString());
    row.setCell(kDataId, "12345678");
    row.setCell(kDataNumber, number.toStdString());
    row.setCell(kDataValue, value.toStdString());
    row.setCell(kDataUnit, unit.toStdString());
    row.setCell(kDataDescription, "energy");
    return row;
}

// The column of a point, as the reduction counts it.
int Column(double t, ChartRange r, int columns) {
    return std::min(static_cast<int>(std::floor((t - r.from) * columns / (r.to - r.from))),
                    columns - 1);
}

} // namespace

class TestChartData : public QObject {
    Q_OBJECT
private slots:
    void valueCells_data();
    void valueCells();
    void moments_data();
    void moments();
    void rowsMakeSeries();
    void reductionKeepsEveryColumnsExtremes_data();
    void reductionKeepsEveryColumnsExtremes();
    void twoUnitsToAChart();
};

void TestChartData::valueCells_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("number"); // "skipped" when the cell is no number
    QTest::newRow("integer") << "37351"
                             << "37351";
    QTest::newRow("decimals") << "561.08"
                              << "561.08";
    QTest::newRow("leading zeros of a BCD value") << "000012.34"
                                                  << "12.34";
    QTest::newRow("exponent applied: zeros appended") << "0000123400"
                                                      << "123400";
    QTest::newRow("negative BCD") << "-000123.4"
                                  << "-123.4";
    QTest::newRow("fixed counter, right-aligned") << "    12345.00"
                                                  << "12345";
    QTest::newRow("negative binary") << "-0.001"
                                     << "-0.001";
    QTest::newRow("point first") << ".5"
                                 << "0.5";
    QTest::newRow("hex digits of a BCD value that is not decimal") << "0000AAAA"
                                                                   << "skipped";
    QTest::newRow("E is a hex digit, no exponent") << "00001E05"
                                                   << "skipped";
    QTest::newRow("error row") << "Error"
                               << "skipped";
    QTest::newRow("error row of another ID") << "Error (ID)"
                                             << "skipped";
    QTest::newRow("status row") << "$00"
                                << "skipped";
    QTest::newRow("invalid fixed counter") << "ungltig"
                                           << "skipped";
    QTest::newRow("date value") << "31.01.25"
                                << "skipped";
    QTest::newRow("date and time value") << "31.01.25 08:05"
                                         << "skipped";
    QTest::newRow("two points") << "1.2.3"
                                << "skipped";
    QTest::newRow("decimal comma") << "12,5"
                                   << "skipped";
    QTest::newRow("empty") << ""
                           << "skipped";
    QTest::newRow("blanks only") << "   "
                                 << "skipped";
    QTest::newRow("sign alone") << "-"
                                << "skipped";
    QTest::newRow("point alone") << "."
                                 << "skipped";
    QTest::newRow("plus sign") << "+5"
                               << "skipped";
    QTest::newRow("infinity") << "inf"
                              << "skipped";
    QTest::newRow("not a number") << "nan"
                                  << "skipped";
    QTest::newRow("hexadecimal prefix") << "0x1A"
                                        << "skipped";
    QTest::newRow("blank inside") << "12 345"
                                  << "skipped";
    QTest::newRow("too large for a double") << QString(400, u'9') << "skipped";
}

void TestChartData::valueCells() {
    QFETCH(QString, cell);
    QFETCH(QString, number);
    const auto value = ChartNumber(cell.toStdString());
    QCOMPARE(value ? QString::number(*value, 'g', 15) : QStringLiteral("skipped"), number);
}

void TestChartData::moments_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("moment"); // yyyy-MM-dd hh:mm:ss, or "none"
    QTest::newRow("a reading") << "31.01.25"
                               << "08:05:03"
                               << "2025-01-31 08:05:03";
    QTest::newRow("without seconds") << "31.01.25"
                                     << "08:05"
                                     << "2025-01-31 08:05:00";
    QTest::newRow("leap day") << "29.02.24"
                              << "23:59:59"
                              << "2024-02-29 23:59:59";
    QTest::newRow("no leap day") << "29.02.25"
                                 << "00:00:00"
                                 << "none";
    QTest::newRow("month 13") << "01.13.25"
                              << "00:00:00"
                              << "none";
    QTest::newRow("hour 24") << "01.01.25"
                             << "24:00:00"
                             << "none";
    QTest::newRow("four-digit year") << "31.01.2025"
                                     << "08:05:03"
                                     << "none";
    QTest::newRow("12-hour clock") << "31.01.25"
                                   << "8:05:03 PM"
                                   << "none";
    QTest::newRow("empty time") << "31.01.25"
                                << ""
                                << "none";
}

void TestChartData::moments() {
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, moment);
    const auto ms = ChartMoment(date.toStdString(), time.toStdString());
    QCOMPARE(ms ? QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(*ms), Qt::UTC)
                      .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                : QStringLiteral("none"),
             moment);
}

void TestChartData::rowsMakeSeries() {
    ChartData data;
    data.AddRow(DataRow("A", "01.01.25", "00:00:10", "2", "5", "kWh"));
    data.AddRow(DataRow("A", "01.01.25", "00:00:30", "2", "7", "kWh"));
    data.AddRow(DataRow("A", "01.01.25", "00:00:20", "2", "6", "kWh")); // out of order
    data.AddRow(DataRow("A", "01.01.25", "00:00:20", "2", "6", "kWh")); // seen again
    data.AddRow(DataRow("B", "01.01.25", "00:00:10", "2", "1", "kWh"));
    data.AddRow(DataRow("A", "01.01.25", "00:00:10", "3", "0.5", "m^3"));
    data.AddRow(DataRow("A", "01.01.25", "00:00:10", "4", "Error", ""));
    data.AddRow(DataRow("A", "01.01.25", "00:00:10", "5", "$00", ""));
    data.AddRow(DataRow("A", "", "", "2", "8", "kWh"));
    data.AddRow(CompactRow()); // an empty row of the table: not counted

    QCOMPARE(data.series().size(), std::size_t{3});
    const ChartSeries& a2 = data.series()[0];
    QCOMPARE(a2.name(), QStringLiteral("A 12345678: 2 energy [kWh]"));
    QCOMPARE(a2.points.size(), std::size_t{3});
    QCOMPARE(a2.points[1].value, 6.0);
    QVERIFY(std::is_sorted(a2.points.begin(), a2.points.end(),
                           [](auto& p, auto& q) { return p.time < q.time; }));
    QCOMPARE(data.meters().size(), std::size_t{2});
    QCOMPARE(data.records().size(), std::size_t{2});
    QCOMPARE(data.rowsWithoutNumber(), std::size_t{2});
    QCOMPARE(data.rowsWithoutTime(), std::size_t{1});
    QCOMPARE(SkippedRowsNote(data), QStringLiteral("2 rows without a number were skipped; "
                                                   "1 rows without a date and time were skipped"));
}

void TestChartData::reductionKeepsEveryColumnsExtremes_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("from"); // fractions of the series' time span
    QTest::addColumn<double>("to");
    QTest::newRow("whole series") << 100000 << 800 << 0.0 << 1.0;
    QTest::newRow("zoomed in") << 100000 << 640 << 0.3 << 0.35;
    QTest::newRow("columns wider than the points") << 1000 << 800 << 0.0 << 1.0;
    QTest::newRow("one column") << 5000 << 1 << 0.0 << 1.0;
    QTest::newRow("range beyond the series") << 5000 << 100 << -1.0 << 2.0;
}

void TestChartData::reductionKeepsEveryColumnsExtremes() {
    QFETCH(int, points);
    QFETCH(int, columns);
    QFETCH(double, from);
    QFETCH(double, to);
    // A swinging signal with single-point peaks, at uneven time steps.
    std::vector<ChartPoint> series;
    double t = 0;
    for (int i = 0; i < points; ++i) {
        t += double(1000 + (std::int64_t(i) * 7919) % 500);
        double v = std::sin(i * 0.01) * 50 + double(std::int64_t(i) * 104729 % 97) * 0.1;
        if (i % 4999 == 17) {
            v = (i % 2) ? 1e6 : -1e6;
        }
        series.push_back({t, v});
    }
    const ChartRange range{series.front().time + from * (t - series.front().time),
                           series.front().time + to * (t - series.front().time)};
    const auto reduced = ReducePoints(series, range, columns);

    QVERIFY(reduced.size() <= 2 * static_cast<std::size_t>(columns) + 2);
    // A part of the series, in order.
    auto at = series.begin();
    for (const ChartPoint& p : reduced) {
        at = std::find(at, series.end(), p);
        QVERIFY(at != series.end());
    }
    // Each column's lowest and highest value are drawn; so are the
    // neighbours just outside the range.
    std::vector<double> low(columns, 1e300), high(columns, -1e300);
    std::vector<double> lowDrawn(columns, 1e300), highDrawn(columns, -1e300);
    for (const ChartPoint& p : series) {
        if (p.time >= range.from && p.time <= range.to) {
            const int c = Column(p.time, range, columns);
            low[c] = std::min(low[c], p.value);
            high[c] = std::max(high[c], p.value);
        }
    }
    for (const ChartPoint& p : reduced) {
        if (p.time >= range.from && p.time <= range.to) {
            const int c = Column(p.time, range, columns);
            lowDrawn[c] = std::min(lowDrawn[c], p.value);
            highDrawn[c] = std::max(highDrawn[c], p.value);
        }
    }
    QCOMPARE(lowDrawn, low);
    QCOMPARE(highDrawn, high);
    if (series.front().time < range.from) {
        QVERIFY(reduced.front().time < range.from);
    }
    if (series.back().time > range.to) {
        QVERIFY(reduced.back().time > range.to);
    }
}

void TestChartData::twoUnitsToAChart() {
    ChartData data;
    const char* units[] = {"kWh", "m^3", "kWh", "°C", " l", "m^3"};
    for (int r = 0; r < 6; ++r) {
        data.AddRow(DataRow("A", "01.01.25", "00:00:10", QString::number(r + 1), "1", units[r]));
    }
    const auto series = SelectSeries(data, data.meters(), data.records());
    QCOMPARE(series.size(), std::size_t{6});
    const auto panels = ArrangeCharts(series);
    QCOMPARE(panels.size(), std::size_t{2});
    QCOMPARE(panels[0].units, (std::vector<QString>{"kWh", "m^3"}));
    QCOMPARE(panels[0].axis, (std::vector<int>{0, 1, 0, 1}));
    QCOMPARE(panels[1].units, (std::vector<QString>{"°C", "l"}));
    QCOMPARE(panels[1].series.size(), std::size_t{2});
    // Only what was picked.
    const ChartRecord second = data.records()[1];
    QCOMPARE(SelectSeries(data, data.meters(), std::span(&second, 1)).size(), std::size_t{1});
}

QTEST_GUILESS_MAIN(TestChartData)
#include "test_chart_data.moc"
