// SPDX-License-Identifier: GPL-3.0-or-later
// What the window does with a long data table: sizing its columns after a
// read-out (measured on the first and last rows only) and printing it as text.
// The table has 1,000,000 rows of 14 columns, as a long logging session
// leaves it; printing is measured on 2,000 rows into a PDF file.
#include "app/grid_view.h"
#include "app/table_printer.h"
#include "logging_table.h"
#include "tables/grid_model.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace quorven;

namespace {

void BM_SizeColumnsMillionRows(benchmark::State& state) {
    static const auto model = bench::MakeLoggingTable(1'000'000);
    GridView view;
    view.setModel(model.get());
    for (auto _ : state) {
        view.sizeColumns();
        benchmark::DoNotOptimize(view.columnWidth(9));
    }
    state.counters["rows"] = model->RowCount() - 1;
}
BENCHMARK(BM_SizeColumnsMillionRows)->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state) {
    const auto model = bench::MakeLoggingTable(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("data.pdf"));
        pages = PrintTable(*model, printer, DataTablePrintLayout(QApplication::font()));
    }
    state.counters["pages"] = pages;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PrintToPdf)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
