// SPDX-License-Identifier: GPL-3.0-or-later
// Link-layer exchanges against the simulated bus on virtual time: a pass of
// the primary search over an empty bus (250 REQ_UD2 without answer) and 250
// answered REQ_UD2. The counters give the real (wall-clock) time per exchange
// and the virtual time the pass covers.
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include <benchmark/benchmark.h>

using namespace quorven;
using namespace quorven::sim;

namespace {

constexpr int kExchanges = 250;

void Report(benchmark::State& state, qint64 virtualMs) {
    state.counters["exchange"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kExchanges,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["virtual_s"] = static_cast<double>(virtualMs) / 1000.0;
}

// One pass of the primary search: REQ_UD2 to every address once.
void AddressPass(benchmark::State& state, const BusDescription& description) {
    qint64 virtualMs = 0;
    for (auto _ : state) {
        VirtualClock clock;
        SimulatedBus bus(clock, description);
        TMB_Sio sio(clock, bus);
        sio.OpenPort();
        sio.SetRetryCount(1);
        for (int address = 0; address < kExchanges; ++address) {
            benchmark::DoNotOptimize(sio.ReqUD2(static_cast<std::uint8_t>(address)));
        }
        virtualMs = clock.now();
    }
    Report(state, virtualMs);
}

void NoAnswerPass(benchmark::State& state) {
    AddressPass(state, BusDescription{});
}
BENCHMARK(NoAnswerPass)->Unit(benchmark::kMillisecond)->UseRealTime();

void AnsweredExchanges(benchmark::State& state) {
    qint64 virtualMs = 0;
    for (auto _ : state) {
        VirtualClock clock;
        SimulatedBus bus(clock, DemoBusDescription());
        TMB_Sio sio(clock, bus);
        sio.OpenPort();
        for (int i = 0; i < kExchanges; ++i) {
            // The water meter at 2: a 92-byte answer.
            if (sio.ReqUD2(2) != 0) {
                state.SkipWithError("the meter did not answer");
                return;
            }
        }
        virtualMs = clock.now();
    }
    Report(state, virtualMs);
}
BENCHMARK(AnsweredExchanges)->Unit(benchmark::kMillisecond)->UseRealTime();

// The primary search's pass over the demonstration bus: most addresses
// silent, six answering, two colliding at address 0.
void DemoBusPass(benchmark::State& state) {
    AddressPass(state, DemoBusDescription());
}
BENCHMARK(DemoBusPass)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
