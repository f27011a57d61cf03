// SPDX-License-Identifier: GPL-3.0-or-later
// Appending to a full trace: every line drops the oldest one. The counter
// gives the time per appended line at the program's limit.
#include "link/trace.h"

#include <benchmark/benchmark.h>

using namespace quorven;

namespace {

void AppendToFullTrace(benchmark::State& state) {
    Trace trace;
    const QString line = QStringLiteral("68 3C 3C 68 08 01 72 45 23 01 00 2D 2C 01 04 ");
    for (qsizetype i = 0; i < Trace::kMaxLines; ++i) {
        trace.append(line);
    }
    for (auto _ : state) {
        trace.append(line);
    }
    state.counters["lines"] = static_cast<double>(trace.lines().size());
}
BENCHMARK(AppendToFullTrace);

} // namespace

BENCHMARK_MAIN();
