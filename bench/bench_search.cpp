// SPDX-License-Identifier: GPL-3.0-or-later
// The searches on the simulated bus, on virtual time: the primary search of an
// empty bus (whose virtual duration must be exactly the sum of its waits and
// time-outs) and of a bus of 250 meters, and the secondary search of a bus of
// 100 meters with random identification numbers. The counters give the
// virtual time each covers and, for the secondary search, the masks tried;
// the benchmark's own time is the real time.
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "sim/simulated_bus.h"

#include <benchmark/benchmark.h>

#include <QRegularExpression>

#include <random>
#include <set>

using namespace quorven;
using namespace quorven::sim;

namespace {

// Answers the erase question Yes.
class Yes final : public Prompter {
public:
    void showMessage(const QString&, const QString&) override {}
    Answer askYesNo(const QString&, const QString&) override { return Answer::Yes; }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Yes; }
    QString fileToOpen(const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&) override { return {}; }
};

// A water meter's answer; the bus puts each meter's address and number in.
const QByteArray kTelegram =
    QByteArray::fromHex("681515680801727856341224230107000000000C13452301007816");

MeterDescription Meter(int address, IdBytes id) {
    MeterDescription m;
    m.address = static_cast<std::uint8_t>(address);
    m.id = id;
    m.telegrams = {kTelegram};
    m.replyDelayMs = kDefaultReplyDelayMs;
    return m;
}

// The primary search of an empty bus at 2400 baud without SND_NKE: the port
// opened (2000 ms) and the pause before the pass (2000 ms), SND_NKE to 255
// without answer (a 5-byte telegram: (5 + 30) * 11000 / 2400 + 1000 = 1160 ms)
// and 1000 ms, then per address one REQ_UD2 without answer (1160 ms) and
// 50 ms, and the port closed (300 ms).
constexpr qint64 kEmptyBusMs = 2000 + 2000 + 1160 + 1000 + 250 * (1160 + 50) + 300;

struct Run {
    qint64 virtualMs = 0;
    int slaves = 0;
    int masks = 0;
};

Run Search(const BusDescription& description, bool secondary) {
    VirtualClock clock;
    SimulatedBus bus(clock, description);
    Yes yes;
    Station station(yes);
    station.AttachLink(clock, bus, QStringLiteral("COM0"));
    station.options().SND_NKE_CheckBox = false;
    Run run;
    static const QRegularExpression kMask(QStringLiteral("^[0-9F]{8}$"));
    QObject::connect(&station.trace(), &Trace::lineAppended, [&run](const QString& line) {
        run.masks += kMask.match(line).hasMatch() ? 1 : 0;
    });
    const qint64 start = clock.now();
    if (secondary) {
        station.IDS_ButtonClick();
    } else {
        station.PS_ButtonClick();
    }
    run.virtualMs = clock.now() - start;
    run.slaves = station.tables().SlaveCount();
    return run;
}

void Report(benchmark::State& state, const Run& run) {
    state.counters["virtual_s"] = static_cast<double>(run.virtualMs) / 1000.0;
    state.counters["meters_found"] = run.slaves;
}

void PrimarySearchEmptyBus(benchmark::State& state) {
    Run run;
    for (auto _ : state) {
        run = Search(BusDescription{}, false);
    }
    if (run.virtualMs != kEmptyBusMs) {
        state.SkipWithError("the virtual duration is not the sum of the waits and time-outs");
    }
    Report(state, run);
    state.counters["expected_virtual_s"] = static_cast<double>(kEmptyBusMs) / 1000.0;
}
BENCHMARK(PrimarySearchEmptyBus)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrimarySearchFullBus(benchmark::State& state) {
    BusDescription description;
    for (int a = 1; a <= 250; ++a) {
        description.meters.push_back(
            Meter(a, {static_cast<std::uint8_t>(a % 100), 0x00, 0x00, 0x10}));
    }
    Run run;
    for (auto _ : state) {
        run = Search(description, false);
    }
    if (run.slaves != 250) {
        state.SkipWithError("not every meter was found");
    }
    Report(state, run);
}
BENCHMARK(PrimarySearchFullBus)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 meters, all at primary address 0, with different random numbers of
// decimal digits (the same ones every run).
BusDescription RandomIdBus() {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> digit(0, 9);
    std::set<IdBytes> ids;
    while (ids.size() < 100) {
        IdBytes id{};
        for (std::uint8_t& b : id) {
            b = static_cast<std::uint8_t>(digit(random) << 4 | digit(random));
        }
        ids.insert(id);
    }
    BusDescription description;
    for (const IdBytes& id : ids) {
        description.meters.push_back(Meter(0, id));
    }
    return description;
}

void SecondarySearchRandomIds(benchmark::State& state) {
    const BusDescription description = RandomIdBus();
    Run run;
    for (auto _ : state) {
        run = Search(description, true);
    }
    if (run.slaves != 100) {
        state.SkipWithError("not every meter was found");
    }
    Report(state, run);
    state.counters["masks"] = run.masks;
}
BENCHMARK(SecondarySearchRandomIds)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
