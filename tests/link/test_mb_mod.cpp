// SPDX-License-Identifier: GPL-3.0-or-later
// The modem driver against the simulated modem on virtual time, driven the
// way the station drives it. The scenarios, the caret-notation table and
// their expected timelines live in modem_scenarios.json.
#include "link/caret_notation.h"
#include "link/mb_mod.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace quorven;
using namespace quorven::sim;

namespace {

const char* const kEvents[] = {
    "OK",   "CONNECT",          "BUSY",          "NO CARRIER",     "NO DIALTONE", "ERROR", "VOICE",
    "RING", "command time-out", "dial time-out", "answer time-out"};
const char* const kStates[] = {"idle", "initialising", "dialling", "answering", "hanging up"};

QJsonObject Scenarios() {
    QFile file(QStringLiteral(QUORVEN_SOURCE_DIR "/tests/link/modem_scenarios.json"));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

// The demonstration bus's meters behind the scenario's modem.
BusDescription BusWithModem(const QJsonObject& modem) {
    const QJsonObject file{{"meters", QJsonArray()}, {"modem", modem}};
    QString error;
    const auto parsed = ParseBusDescription(QJsonDocument(file).toJson(), &error);
    if (!parsed) {
        qFatal("modem: %s", qPrintable(error));
    }
    BusDescription bus = DemoBusDescription();
    bus.modem = parsed->modem;
    return bus;
}

// The link object and the modem driver on one port, as the station has them:
// the driver is attached while it talks and detached on CONNECT.
struct Station {
    explicit Station(const QJsonObject& modem)
        : bus(clock, BusWithModem(modem)), sio(clock, bus, QStringLiteral("COM2")), mod(clock) {
        bus.onModemTrace = [this](const QString& line) { log(line); };
        mod.onEvent = [this](const ModemReport& r) {
            log(QStringLiteral("%1 (%2) %3")
                    .arg(kEvents[static_cast<int>(r.event)], kStates[static_cast<int>(r.state)],
                         r.line)
                    .trimmed());
            if (r.event == ModemEvent::Connect) {
                talk(false);
            }
        };
        sio.SetModemReceiver([this](const QByteArray& bytes) { mod.BytesReceived(bytes); });
        sio.SetRetryCount(1);
        sio.OpenPort();
        sio.SetRts(true);
        sio.SetDtr(true);
    }

    void log(const QString& line) { timeline << QString::number(clock.now()) + ' ' + line; }
    void talk(bool on) {
        on ? mod.Attach(sio.Port()) : mod.Detach();
        sio.SetReceiveMode(on ? ReceiveModes::Modem : ReceiveModes::MBus);
    }
    void waitWhile(ModemState state) {
        clock.pumpUntil([this, state] { return mod.State() != state; });
    }

    void step(const QString& text) {
        const QString verb = text.section(' ', 0, 0);
        const QString arg = text.section(' ', 1, 1);
        if (verb == "init") {
            talk(true);
            mod.SetString("INITCMD", arg);
            mod.Reset();
            mod.Init();
            waitWhile(ModemState::Initialising);
        } else if (verb == "dial") {
            mod.SetString("DIALCMD", arg);
            mod.Dial(text.section(' ', 2, 2));
        } else if (verb == "answer") {
            mod.Answer();
        } else if (verb == "wait") {
            waitWhile(mod.State());
        } else if (verb == "hangup") {
            talk(true);
            mod.Reset();
            const bool done = mod.Hangup();
            talk(false);
            log(QStringLiteral("hung up: %1").arg(done));
        } else if (verb == "read") {
            const int result = sio.ReqUD2(static_cast<std::uint8_t>(arg.toInt()));
            log(QStringLiteral("read %1: %2").arg(arg).arg(result));
        } else if (verb == "run") {
            clock.advanceBy(arg.toLongLong());
        } else if (verb == "listen" || verb == "detach") {
            talk(verb == "listen");
        } else if (verb == "set") {
            mod.SetString(arg, text.section(' ', 2, 2));
        } else if (verb == "feed") {
            mod.BytesReceived(DecodeCaretNotation(text.section(' ', 1)));
        } else {
            qFatal("unknown step %s", qPrintable(text));
        }
    }

    QStringList timeline; // first, so it outlives what writes to it
    VirtualClock clock;
    SimulatedBus bus;
    TMB_Sio sio;
    TMB_Mod mod;
};

QStringList Texts(const QJsonValue& value) {
    QStringList texts;
    for (const QJsonValue& item : value.toArray()) {
        texts << item.toString();
    }
    return texts;
}

} // namespace

class TestMbMod : public QObject {
    Q_OBJECT
private slots:
    void caretNotation_data();
    void caretNotation();
    void scenarios_data();
    void scenarios();
    void overlongLineIsCutAndItsRestDropped();
};

void TestMbMod::caretNotation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    for (const QJsonValue& row : Scenarios()["caret"].toArray()) {
        const QStringList cells = Texts(row);
        QTest::newRow(qPrintable(cells[0])) << cells[1] << cells[2].toUtf8();
    }
}

void TestMbMod::caretNotation() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(DecodeCaretNotation(text), bytes);
}

void TestMbMod::scenarios_data() {
    QTest::addColumn<QJsonObject>("scenario");
    for (const QJsonValue& row : Scenarios()["scenarios"].toArray()) {
        QTest::newRow(qPrintable(row["name"].toString())) << row.toObject();
    }
}

void TestMbMod::scenarios() {
    QFETCH(QJsonObject, scenario);
    Station station(scenario["modem"].toObject());
    for (const QString& step : Texts(scenario["steps"])) {
        station.step(step);
    }
    QCOMPARE(station.timeline.join('\n'), Texts(scenario["timeline"]).join('\n'));
}

void TestMbMod::overlongLineIsCutAndItsRestDropped() {
    Station station(QJsonObject{{"numbers", QJsonObject()}});
    QStringList lines;
    station.mod.onEvent = [&lines](const ModemReport& r) { lines << r.line; };
    station.talk(true);
    // The line is cut after 256 characters; its rest, an "OK" among it, is dropped.
    const QByteArray connect = "CONNECT " + QByteArray(248, 'x');
    station.mod.BytesReceived(connect + "x OK\rBUSY\r");
    QCOMPARE(lines, QStringList({connect, "BUSY"}));
}

QTEST_GUILESS_MAIN(TestMbMod)
#include "test_mb_mod.moc"
