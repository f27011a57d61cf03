// SPDX-License-Identifier: GPL-3.0-or-later
// The read-out on virtual time against the simulated bus, through the
// station as the window drives it.
//
// FullBus: 250 meters at 9600 baud, one telegram each. The counters give the
// real time per meter (decoding and table filling included) and the virtual
// time of the read-out next to the sum of the wire times and the waits the
// read-out makes, which must agree to the millisecond.
//
// LoggingMemory: cycles of logging 10 meters into a log file, every row
// checked in the file; the counters give the process's resident memory after
// 100, 1000, 1300 and 2000 cycles and its peak. The tables and the log file
// cost nothing that grows; the text area keeps its newest 100,000 lines (80
// a cycle here, so it fills up at cycle 1250), after which the memory stays
// flat.
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "quiet_prompter.h"
#include "sim/bus_description.h"
#include "sim/simulated_bus.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

using namespace quorven;

using bench::QuietPrompter;

namespace {

// A water meter's answer of 92 bytes (L = 86).
const QByteArray kTelegram = QByteArray::fromHex(
    "685656680801727100001277041407 0A3000000C78710000120D7C08444920 2E74737563 0A454C4259432054"
    "534554046D2B0D9811027C09656D6974202E746162F2100414 3D30000004947F140000004414000000000F10"
    "011F2F16");

sim::BusDescription Bus(int meters, qint32 baud) {
    sim::BusDescription bus;
    for (int a = 1; a <= meters; ++a) {
        sim::MeterDescription m;
        m.address = static_cast<std::uint8_t>(a);
        m.id = {static_cast<std::uint8_t>(a), 0, 0, 0x10};
        m.baud = baud;
        m.telegrams = {kTelegram};
        m.replyDelayMs = sim::kDefaultReplyDelayMs;
        bus.meters.push_back(m);
    }
    return bus;
}

void FillList(Station& station, int meters, int baud) {
    GridModel& list = station.tables().slaveList();
    list.SetRowCount(meters + 1);
    for (int r = 1; r <= meters; ++r) {
        list.SetCell(1, r, QString::number(r));
        list.SetCell(3, r, QString::number(baud));
        list.SetCell(8, r, QStringLiteral("COM1"));
    }
}

// What the read-out waits, by the rules of the link and the read-out: the
// port's settle time, then per meter SND_NKE and REQ_UD2, each answered after
// the request's wire time and the reply delay and taking its own wire time,
// each followed by 200 ms; at the end the port closes and 500 ms pass.
qint64 ExpectedMs(int meters, qint32 baud, qint64 answerBytes) {
    const auto exchange = [baud](qint64 bytes) {
        return static_cast<qint64>(
            std::ceil(static_cast<double>(bytes) * 11 * 1000 / baud + sim::kDefaultReplyDelayMs));
    };
    const qint64 perMeter = exchange(5 + 1) + 200 + exchange(5 + answerBytes) + 200;
    return 2000 + meters * perMeter + 300 + 500;
}

void FullBus(benchmark::State& state) {
    constexpr int kMeters = 250;
    constexpr qint32 kBaud = 9600;
    qint64 virtualMs = 0;
    for (auto _ : state) {
        VirtualClock clock;
        sim::SimulatedBus bus(clock, Bus(kMeters, kBaud));
        QuietPrompter prompter;
        Station station(prompter);
        station.AttachLink(clock, bus, QStringLiteral("COM0"));
        FillList(station, kMeters, kBaud);
        const qint64 start = clock.now();
        station.MBRead_ButtonClick();
        virtualMs = clock.now() - start;
        if (station.tables().dataTable().RowCount() != 1 + kMeters * 8) {
            state.SkipWithError("not every meter was read");
            return;
        }
    }
    const qint64 expected = ExpectedMs(kMeters, kBaud, kTelegram.size());
    state.counters["meter"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kMeters,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["virtual_ms"] = static_cast<double>(virtualMs);
    state.counters["expected_ms"] = static_cast<double>(expected);
    if (virtualMs != expected) {
        state.SkipWithError("the virtual time is not the sum of wire times and waits");
    }
}
BENCHMARK(FullBus)->Unit(benchmark::kMillisecond)->UseRealTime();

// Resident and peak memory of the process, in MiB.
double StatusMiB(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(static_cast<qsizetype>(qstrlen(key)))
                       .trimmed()
                       .split(' ')
                       .front()
                       .toDouble() /
                   1024.0;
        }
    }
    return 0;
}

void LoggingMemory(benchmark::State& state) {
    constexpr int kMeters = 10;
    const int kCycles = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir;
        VirtualClock clock;
        sim::SimulatedBus bus(clock, Bus(kMeters, 9600));
        QuietPrompter prompter;
        prompter.file = dir.filePath(QStringLiteral("log.csv"));
        Station station(prompter);
        station.AttachLink(clock, bus, QStringLiteral("COM0"));
        FillList(station, kMeters, 9600);
        station.options().LogFile_CheckBox = true;
        station.options().PI_MaskEdit = QStringLiteral("0");
        int cycles = 0;
        QObject::connect(&station, &Station::dataTableFilled, [&] {
            ++cycles;
            if (cycles == 100 || cycles == 1000 || cycles == 1300 || cycles % 1000 == 0) {
                state.counters["rss_" + std::to_string(cycles) + "_MiB"] = StatusMiB("VmRSS:");
            }
        });
        station.Log_ButtonClick();
        clock.pumpUntil([&] { return cycles >= kCycles; });
        station.SStop_ButtonClick();
        clock.advanceBy(2000);
        QFile log(prompter.file);
        log.open(QIODevice::ReadOnly);
        qint64 lines = 0;
        while (!log.atEnd()) {
            lines += log.read(1 << 16).count('\n');
        }
        if (lines != 1 + qint64{kCycles} * kMeters * 8) {
            state.SkipWithError("the log file lost rows");
            return;
        }
        state.counters["peak_MiB"] = StatusMiB("VmHWM:");
        state.counters["virtual_h"] = static_cast<double>(clock.now()) / 3.6e6;
    }
}
BENCHMARK(LoggingMemory)
    ->Arg(1000)
    ->Arg(3000)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
