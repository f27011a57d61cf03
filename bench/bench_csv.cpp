// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading a data table of 1,000,000 rows of 14 columns, as a long
// logging session leaves it. Reports the file size and the process's peak
// memory; the load must stay well under twice the file size in memory.
//
// QUORVEN_BENCH_CSV=path keeps the file there (to compare other readers).
#include "logging_table.h"
#include "tables/csv_reader.h"
#include "tables/csv_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace quorven;

namespace {

constexpr int kRows = 1'000'000;

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

QString g_file;

void BM_LoadCsv(benchmark::State& state) {
    int rows = 0;
    for (auto _ : state) {
        GridModel table(kDataColumnCount);
        LoadCsv(table, g_file, u',');
        rows = table.RowCount();
        benchmark::DoNotOptimize(rows);
    }
    const double fileMiB = static_cast<double>(QFileInfo(g_file).size()) / (1024.0 * 1024.0);
    state.counters["rows"] = rows;
    state.counters["file_MiB"] = fileMiB;
    state.counters["peak_rss_MiB"] = PeakRssMiB();
    state.counters["peak_per_file"] = PeakRssMiB() / fileMiB;
    state.SetBytesProcessed(state.iterations() * QFileInfo(g_file).size());
}
BENCHMARK(BM_LoadCsv)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveCsv(benchmark::State& state) {
    GridModel table(kDataColumnCount);
    LoadCsv(table, g_file, u',');
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.csv");
    for (auto _ : state) {
        SaveCsv(table, path, u',');
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_SaveCsv)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const char* keep = std::getenv("QUORVEN_BENCH_CSV");
    g_file = keep ? QString::fromLocal8Bit(keep) : dir.filePath("data.csv");
    {
        // Made and saved first, then freed: the load below starts from an
        // empty table, as the program does.
        const std::unique_ptr<GridModel> table = bench::MakeLoggingTable(kRows);
        SaveCsv(*table, g_file, u',');
    }
    std::printf("data table file: %s, %lld bytes, peak RSS after making it %.1f MiB\n",
                qPrintable(g_file), static_cast<long long>(QFileInfo(g_file).size()), PeakRssMiB());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
