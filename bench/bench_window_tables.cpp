// What the window does with a long data table: sizing its columns after a
// read-out (measured on the first and last rows only) and printing it as text.
// The table has 1,000,000 rows of 14 columns, as a long logging session
// leaves it; printing is measured on 2,000 rows into a PDF file.
#include "app/grid_view.h"
#include "app/table_printer.h"
#include "tables/grid_model.h"
#include "tables/table_layouts.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace quorven;

namespace {

std::unique_ptr<GridModel> MakeDataTable(int rows) {
    std::vector<CompactRow> all;
    all.reserve(static_cast<std::size_t>(rows) + 1);
    std::string text;
    std::vector<std::uint32_t> ends;
    const auto cell = [&](const std::string& s) {
        text += s;
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    };
    for (std::string_view h : kDataHeaders) {
        cell(std::string(h));
    }
    all.emplace_back(text, ends);
    for (int r = 1; r <= rows; ++r) {
        text.clear();
        ends.clear();
        cell("Beép.hely " + std::to_string(r % 250));
        cell("06.12.24");
        cell("12:34:56");
        cell(std::to_string(r % 250));
        cell("0499" + std::to_string(1000 + r % 9000));
        cell("EFE");
        cell(std::to_string(r % 7 + 1));
        cell(std::to_string(r * 13 % 100000) + "." + std::to_string(r % 1000));
        cell("m^3");
        cell(r % 7 == 0 ? "M-Bus state" : "volume");
        cell("instant.");
        cell("0");
        cell(std::to_string(r % 3));
        cell("0");
        all.emplace_back(text, ends);
    }
    auto model = std::make_unique<GridModel>(kDataColumnCount);
    model->ReplaceRows(std::move(all), kDataColumnCount);
    return model;
}

void BM_SizeColumnsMillionRows(benchmark::State& state) {
    static const auto model = MakeDataTable(1'000'000);
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
    const auto model = MakeDataTable(static_cast<int>(state.range(0)));
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
