// SPDX-License-Identifier: GPL-3.0-or-later
// Meters files that cannot be read or are too large, and the demonstration
// bus with its matching slave list. (What a file gives, and how a bad one is
// refused, is in the golden buses of test_bus_golden.)
#include "sim/bus_file.h"
#include "sim/simulated_meter.h"

#include "interpret/interpreter.h"
#include "link/frames.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <span>

using namespace quorven;
using namespace quorven::sim;

namespace {

std::span<const std::uint8_t> Bytes(const QByteArray& frame) {
    return {reinterpret_cast<const std::uint8_t*>(frame.constData()),
            static_cast<std::size_t>(frame.size())};
}

} // namespace

class TestBusFile : public QObject {
    Q_OBJECT
private slots:
    void fileThatCannotBeReadIsNamed();
    void fileTooLargeIsRefusedUnread();
    void demoBusIsTheExampleFile();
    void demoSlaveListMatchesTheDemoBus();
};

void TestBusFile::fileThatCannotBeReadIsNamed() {
    QString error;
    QVERIFY(!LoadBusFile(QStringLiteral("/nonexistent/bus.json"), &error));
    QVERIFY2(error.startsWith(QStringLiteral("/nonexistent/bus.json: cannot be read (")),
             qPrintable(error));
}

void TestBusFile::fileTooLargeIsRefusedUnread() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"meters": [], "description": ")");
    file.write(QByteArray(kMaxBusFileBytes, 'x'));
    file.write(R"("})");
    file.close();
    QString error;

    QVERIFY(!LoadBusFile(path, &error));

    QCOMPARE(error, path + QStringLiteral(": larger than 1024 KiB"));
}

void TestBusFile::demoBusIsTheExampleFile() {
    QFile example(QStringLiteral(QUORVEN_SOURCE_DIR "/examples/demo-bus.json"));
    QVERIFY(example.open(QIODevice::ReadOnly));

    QCOMPARE(DemoBusJson(), example.readAll());
    QString error;
    const auto bus = ParseBusDescription(DemoBusJson(), &error);
    QVERIFY2(bus, qPrintable(error));
    QCOMPARE(bus->modem->port, QStringLiteral("COM2"));
    QCOMPARE(bus->modem->numbers.at(QStringLiteral("5551234")), DialOutcome::Connect);
}

// Every row of the example slave list is a meter of the demonstration bus, as a
// search would have written it.
void TestBusFile::demoSlaveListMatchesTheDemoBus() {
    QFile file(QStringLiteral(QUORVEN_SOURCE_DIR "/examples/slist-demo.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const BusDescription bus = DemoBusDescription();
    QCOMPARE(lines[0], QStringLiteral("Beép.hely,Mbus cím,Gy.sz.,Baud,Gyártó,Változat,Közeg,"
                                      "adatcsomag,COM port"));
    for (const QString& line : lines.mid(1)) {
        const QStringList cells = line.split(QLatin1Char('"')).first().split(QLatin1Char(','));
        const auto meter = std::find_if(bus.meters.begin(), bus.meters.end(), [&](const auto& m) {
            const SimulatedMeter sim(m);
            QByteArray id(reinterpret_cast<const char*>(sim.identity().id.data()), 4);
            std::reverse(id.begin(), id.end());
            return QString::number(m.address) == cells[1] && id.toHex() == cells[2].toLatin1();
        });
        QVERIFY2(meter != bus.meters.end(), qPrintable(line));
        QVERIFY(line.endsWith(",COM1") || line.endsWith(",COM3")); // COM2 has the modem
        QCOMPARE(cells[3], QString::number(meter->baud));
        if (meter->stx) {
            QCOMPARE(cells[4], QStringLiteral("STX"));
            continue;
        }
        Interpreter interpreter;
        interpreter.StoreTelegram(
            Bytes(StampAnswer(meter->telegrams.front(), SimulatedMeter(*meter).identity())));
        QCOMPARE(cells[4], QString::fromStdString(interpreter.ManufacturerCode()));
        QCOMPARE(cells[5], QString::number(interpreter.VersionByte()));
        QCOMPARE(cells[6], QString::fromStdString(interpreter.MediumText()));
    }
}

QTEST_GUILESS_MAIN(TestBusFile)
#include "test_bus_file.moc"
