// SPDX-License-Identifier: GPL-3.0-or-later
// A log file of 1,000,000 rows opened for a chart and its series reduced to a
// view 1920 pixels wide: the goal is both together within 2 seconds. The
// log holds 20 meters of 8 records and a status row each, read every minute
// for about four days, as a long logging session leaves it.
//
// QUORVEN_BENCH_CHART=path keeps the file there.
#include "charts/chart_data.h"
#include "charts/chart_layout.h"
#include "charts/chart_reduce.h"
#include "tables/table_layouts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace quorven;

namespace {

constexpr int kRows = 1'000'000;
constexpr int kMeters = 20;
constexpr int kRecords = 8;
constexpr int kViewColumns = 1920;

QString g_file;

void WriteLog(const QString& path) {
    static const char* const kUnits[] = {"kWh", "m^3", "°C", "°C", "m^3/h", "W", "K", "hours"};
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::string text;
    for (std::size_t c = 0; c < kDataHeaders.size(); ++c) {
        text += kDataHeaders[c];
        text += c + 1 < kDataHeaders.size() ? "," : "\r\n";
    }
    const QDateTime start(QDate(2025, 1, 27), QTime(0, 0));
    int rows = 0;
    for (int cycle = 0; rows < kRows; ++cycle) {
        const QDateTime at = start.addSecs(cycle * 60LL);
        const std::string date = at.toString(QStringLiteral("dd.MM.yy")).toStdString();
        const std::string time = at.toString(QStringLiteral("hh:mm:ss")).toStdString();
        for (int m = 0; m < kMeters && rows < kRows; ++m) {
            for (int r = 0; r <= kRecords && rows < kRows; ++r, ++rows) {
                char value[32];
                if (r == kRecords) {
                    std::snprintf(value, sizeof value, "$00");
                } else {
                    std::snprintf(value, sizeof value, "%.3f",
                                  1000.0 * m + 100.0 * r + 50.0 * std::sin(cycle * 0.01 + m));
                }
                text += "Épület " + std::to_string(m) + "," + date + "," + time + "," +
                        std::to_string(m + 1) + "," + std::to_string(10000000 + m) + ",KAM," +
                        std::to_string(r + 1) + "," + value + "," +
                        (r == kRecords ? "" : kUnits[r]) + "," +
                        (r == kRecords ? "M-Bus state" : "energy") + ",instant.,0,0,0\r\n";
            }
        }
        if (text.size() > (1 << 20)) {
            f.write(text.data(), static_cast<qint64>(text.size()));
            text.clear();
        }
    }
    f.write(text.data(), static_cast<qint64>(text.size()));
}

std::size_t ReduceAll(const ChartData& data) {
    const auto series = SelectSeries(data, data.meters(), data.records());
    const ChartRange range = TimeRange(series);
    std::size_t drawn = 0;
    for (const ChartSeries* s : series) {
        drawn += ReducePoints(s->points, range, kViewColumns).size();
    }
    return drawn;
}

void BM_OpenLogForChart(benchmark::State& state) {
    std::size_t points = 0;
    for (auto _ : state) {
        const ChartData data = ReadChartFile(g_file, u',');
        points = data.pointCount();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_OpenLogForChart)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReduceEverySeries(benchmark::State& state) {
    const ChartData data = ReadChartFile(g_file, u',');
    std::size_t drawn = 0;
    for (auto _ : state) {
        drawn = ReduceAll(data);
        benchmark::DoNotOptimize(drawn);
    }
    state.counters["series"] = static_cast<double>(data.series().size());
    state.counters["points_drawn"] = static_cast<double>(drawn);
}
BENCHMARK(BM_ReduceEverySeries)->Unit(benchmark::kMillisecond);

// Opening and drawing as the chart window does it: the file read, every
// series reduced to the view.
void BM_OpenAndReduce(benchmark::State& state) {
    for (auto _ : state) {
        const ChartData data = ReadChartFile(g_file, u',');
        benchmark::DoNotOptimize(ReduceAll(data));
    }
    state.counters["file_MiB"] = static_cast<double>(QFileInfo(g_file).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_OpenAndReduce)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    g_file = qEnvironmentVariable("QUORVEN_BENCH_CHART");
    if (g_file.isEmpty()) {
        g_file = dir.filePath(QStringLiteral("log.csv"));
    }
    WriteLog(g_file);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
