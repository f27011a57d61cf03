// SPDX-License-Identifier: GPL-3.0-or-later
// A read-out of 250 meters on virtual time with every meter published to a
// local mosquitto broker, against the same read-out without publishing (the
// benchmark skips itself where mosquitto is absent).
//
// The counters: readout_ms, the read-out itself (the window would be free
// again after it); readout_cpu_ms, the processor time of the read-out's own
// thread (what publishing costs the thread of the window and the bus); delivered_ms, until the
// broker has acknowledged every message (the end of the program waits that long at most); received,
// the messages a subscriber got (must be 250).
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "publish/station_publishing.h"
#include "quiet_prompter.h"
#include "sim/bus_description.h"
#include "sim/simulated_bus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

using namespace quorven;

using bench::QuietPrompter;

namespace {

constexpr int kMeters = 250;
constexpr qint32 kBaud = 9600;

// A water meter's answer of 92 bytes; each meter's own identification number
// is written into it.
QByteArray Telegram(int meter) {
    QByteArray t = QByteArray::fromHex(
        "685656680801727100001277041407 0A3000000C78710000120D7C08444920 2E74737563 0A454C42"
        "59432054534554046D2B0D9811027C09656D6974202E746162F2100414 3D30000004947F1400000044"
        "14000000000F10011F2F16");
    t[5] = static_cast<char>(meter);
    t[7] = static_cast<char>(((meter / 10 % 10) << 4) | (meter % 10));
    t[8] = static_cast<char>(meter / 100);
    quint8 sum = 0;
    for (qsizetype i = 4; i < t.size() - 2; ++i) {
        sum = static_cast<quint8>(sum + static_cast<quint8>(t[i]));
    }
    t[t.size() - 2] = static_cast<char>(sum);
    return t;
}

sim::BusDescription Bus() {
    sim::BusDescription bus;
    for (int a = 1; a <= kMeters; ++a) {
        sim::MeterDescription m;
        m.address = static_cast<std::uint8_t>(a);
        m.id = {static_cast<std::uint8_t>(a), 0, 0, 0x10};
        m.baud = kBaud;
        m.telegrams = {Telegram(a)};
        m.replyDelayMs = sim::kDefaultReplyDelayMs;
        bus.meters.push_back(m);
    }
    return bus;
}

void FillList(Station& station) {
    GridModel& list = station.tables().slaveList();
    list.SetRowCount(kMeters + 1);
    for (int r = 1; r <= kMeters; ++r) {
        list.SetCell(1, r, QString::number(r));
        list.SetCell(3, r, QString::number(kBaud));
        list.SetCell(8, r, QStringLiteral("COM1"));
    }
}

// The processor time of the calling thread: the read-out's own share.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// mosquitto on a free port, and a subscriber counting what arrives.
struct LocalBroker {
    QTemporaryDir dir;
    quint16 port = 0;
    QProcess broker;
    QProcess subscriber;
    int probes = 0;

    // The lines the subscriber has written, the probes' too.
    int Received() const {
        QFile file(dir.filePath(QStringLiteral("received.txt")));
        return file.open(QIODevice::ReadOnly) ? static_cast<int>(file.readAll().count('\n')) : 0;
    }

    bool Start() {
        const QString mosquitto = QStandardPaths::findExecutable(
            QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        const QString sub = QStandardPaths::findExecutable(QStringLiteral("mosquitto_sub"));
        if (mosquitto.isEmpty() || sub.isEmpty()) {
            return false;
        }
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            port = probe.serverPort();
        }
        broker.start(mosquitto, {QStringLiteral("-p"), QString::number(port)});
        if (!WaitFor(
                [this] {
                    QTcpSocket socket;
                    socket.connectToHost(QHostAddress::LocalHost, port);
                    return socket.waitForConnected(100);
                },
                5000)) {
            return false;
        }
        // Into a file: a pipe nobody reads while the read-out runs would stop
        // the subscriber, and the broker drops what queues up for it.
        subscriber.setStandardOutputFile(dir.filePath(QStringLiteral("received.txt")));
        subscriber.start(sub,
                         {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                          QString::number(port), QStringLiteral("-q"), QStringLiteral("1"),
                          QStringLiteral("-t"), QStringLiteral("bench/+/+/+")});
        if (!subscriber.waitForStarted()) {
            return false;
        }
        // The subscription stands once a probe comes through.
        const QString pub = QStandardPaths::findExecutable(QStringLiteral("mosquitto_pub"));
        const bool ready = WaitFor(
            [&] {
                QProcess::execute(pub, {QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                                        QStringLiteral("-p"), QString::number(port),
                                        QStringLiteral("-t"), QStringLiteral("bench/0/probe/0"),
                                        QStringLiteral("-m"), QStringLiteral("probe")});
                return WaitFor([this] { return Received() > 0; }, 300);
            },
            10000);
        probes = Received();
        return ready;
    }
    ~LocalBroker() {
        subscriber.terminate();
        subscriber.waitForFinished();
        broker.terminate();
        broker.waitForFinished();
    }
};

void ReadOut(benchmark::State& state) {
    const bool publish = state.range(0) != 0;
    std::unique_ptr<LocalBroker> broker;
    if (publish) {
        broker = std::make_unique<LocalBroker>();
        if (!broker->Start()) {
            state.SkipWithError("mosquitto is not installed or does not start");
            return;
        }
    }
    double readoutMs = 0;
    double readoutCpuMs = 0;
    double deliveredMs = 0;
    int run = 0;
    for (auto _ : state) {
        QTemporaryDir store;
        VirtualClock clock;
        sim::SimulatedBus bus(clock, Bus());
        QuietPrompter prompter;
        Station station(prompter);
        station.AttachLink(clock, bus, QStringLiteral("COM0"));
        FillList(station);
        std::unique_ptr<StationPublishing> publishing;
        if (publish) {
            MqttSettings settings;
            settings.url = QStringLiteral("mqtt://127.0.0.1:%1").arg(broker->port);
            settings.topic = QStringLiteral("bench/%1").arg(++run);
            settings.clientId = QStringLiteral("bench-%1").arg(run);
            publishing = std::make_unique<StationPublishing>(station, settings, store.path());
            publishing->Start();
        }
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = ThreadCpuMs();
        station.MBRead_ButtonClick();
        readoutMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        readoutCpuMs += ThreadCpuMs() - cpuStart;
        if (publishing) {
            publishing->Finish(30000);
        }
        deliveredMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (station.tables().dataTable().RowCount() != 1 + kMeters * 8) {
            state.SkipWithError("not every meter was read");
            return;
        }
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["readout_ms"] = readoutMs / iterations;
    state.counters["readout_cpu_ms"] = readoutCpuMs / iterations;
    state.counters["delivered_ms"] = deliveredMs / iterations;
    if (publish) {
        int received = 0;
        WaitFor(
            [&] {
                received = broker->Received() - broker->probes;
                return received >= run * kMeters;
            },
            10000);
        state.counters["received"] = received / iterations;
        if (received != run * kMeters) {
            state.SkipWithError(("the broker got " + std::to_string(received) + " of " +
                                 std::to_string(run * kMeters) + " messages")
                                    .c_str());
        }
    }
}
BENCHMARK(ReadOut)
    ->ArgName("publish")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
