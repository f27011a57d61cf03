// SPDX-License-Identifier: GPL-3.0-or-later
// Meters files in buses/, each compared with NAME.out beside it: the reason a
// file is refused, or the bus it describes, one line a meter; then, when
// NAME.requests is there, what a master at the bus sees on virtual time. Each
// hex line of the requests is written, three seconds run, and the bytes that
// came back are shown with the milliseconds of the first and the last byte
// after the write, any line errors, and each meter's state (address, the
// telegram it is at, selected or not). "baud N [odd]" sets the master's rate
// (and odd parity, for the register protocol's requests); "*"
// lines are copied as headings; a blank line starts again on a new bus.
// QUORVEN_UPDATE_GOLDEN=NAME rewrites NAME.out (to be reviewed).
#include "bus_master.h"
#include "common/golden.h"

#include "sim/bus_file.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <algorithm>

using namespace quorven;
using namespace quorven::sim;

using quorven::testing::ReadFile;

namespace {

const QString kBuses = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/sim/buses");

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString MeterLine(const SimulatedMeter& m) {
    const MeterIdentity& i = m.identity();
    QByteArray id(reinterpret_cast<const char*>(i.id.data()), 4);
    std::reverse(id.begin(), id.end());
    return QStringLiteral("meter %1: id %2, manufacturer %3, version %4, medium %5, %6 baud, reply "
                          "delay %7 ms%8")
        .arg(i.address)
        .arg(QString::fromLatin1(id.toHex().toUpper()))
        .arg(QString::number(i.manufacturer, 16).toUpper())
        .arg(i.version)
        .arg(i.medium)
        .arg(m.baud())
        .arg(m.replyDelayMs())
        .arg(m.name().isEmpty() ? QString() : ", \"" + m.name() + '"');
}

QString States(const SimulatedBus& bus) {
    QStringList states;
    for (int k = 0; k < bus.meterCount(); ++k) {
        const SimulatedMeter& m = bus.meter(k);
        states << QStringLiteral("%1#%2%3")
                      .arg(m.identity().address)
                      .arg(m.telegramIndex())
                      .arg(m.isSelected() ? " selected" : "");
    }
    return "= " + states.join(", ");
}

// What a master sees of the requests, section by section.
QStringList Exchanges(const BusDescription& description, const QString& requests) {
    QStringList out;
    std::unique_ptr<test::OnBus> t;
    for (const QString& raw : requests.split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            t.reset();
        } else if (line.startsWith('*')) {
            out << line;
        } else if (line.startsWith("baud ")) {
            // "baud 2400" or "baud 2400 odd": the master's rate and parity.
            const QStringList words = line.split(' ', Qt::SkipEmptyParts);
            const qint32 baud = words.value(1).toInt();
            t = std::make_unique<test::OnBus>(description, baud);
            if (words.value(2) == "odd") {
                t->master.port().setLineSettings({baud, 8, Parity::Odd, 1});
            }
        } else {
            if (!t) {
                t = std::make_unique<test::OnBus>(description);
            }
            const QByteArray request = QByteArray::fromHex(line.toLatin1());
            const qint64 start = t->clock.now();
            const QByteArray answer = t->master.send(request, 3000);
            QString heard = answer.isEmpty() ? QStringLiteral("< nothing") : "< " + Hex(answer);
            if (!answer.isEmpty()) {
                heard += QStringLiteral("  [%1..%2 ms]")
                             .arg(t->master.arrivals.front().ms - start)
                             .arg(t->master.arrivals.back().ms - start);
            }
            out << "> " + Hex(request) << heard;
            if (!t->master.lineErrors.empty()) {
                out << "! line errors " + Hex(QByteArray(reinterpret_cast<const char*>(
                                                             t->master.lineErrors.data()),
                                                         qsizetype(t->master.lineErrors.size())));
            }
            out << States(t->bus);
        }
    }
    return out;
}

} // namespace

class TestBusGolden : public QObject {
    Q_OBJECT
private slots:
    void bus_data();
    void bus();
};

void TestBusGolden::bus_data() {
    QTest::addColumn<QString>("base");
    QDirIterator files(kBuses, {"*.json"}, QDir::Files);
    QStringList bases;
    while (files.hasNext()) {
        bases << files.next().chopped(5);
    }
    bases.sort();
    QVERIFY(bases.size() >= 5);
    for (const QString& base : bases) {
        QTest::newRow(qPrintable(base.mid(kBuses.size() + 1))) << base;
    }
}

void TestBusGolden::bus() {
    QFETCH(QString, base);
    QString error;
    const auto description = ParseBusDescription(ReadFile(base + ".json"), &error);
    QStringList out;
    if (!description) {
        out << "refused: " + error;
    } else {
        VirtualClock clock;
        const SimulatedBus bus(clock, *description);
        out << QStringLiteral("echo %1, noise %2")
                   .arg(description->echo ? "yes" : "no",
                        description->noise.isEmpty() ? "none" : Hex(description->noise));
        for (int k = 0; k < bus.meterCount(); ++k) {
            out << MeterLine(bus.meter(k));
        }
        out << Exchanges(*description, QString::fromUtf8(ReadFile(base + ".requests")));
    }
    quorven::testing::CompareGolden(out.join('\n').toUtf8() + '\n', base + ".out");
}

QTEST_GUILESS_MAIN(TestBusGolden)
#include "test_bus_golden.moc"
