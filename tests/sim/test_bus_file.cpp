// Meters files: what a valid one gives, every way a hostile one is refused,
// and the demonstration bus with its matching slave list.
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

// A valid telegram of ID 12345678 at address 5 (the checksum is left wrong
// on purpose: the meter computes it for every answer).
const char* const kTelegram = "68 0F 0F 68 08 05 72 78 56 34 12 24 40 01 07 55 00 00 00 00 16";

QByteArray MeterFile(const QString& meterBody, const QString& busKeys = {}) {
    return QStringLiteral(R"({%1"meters": [{%2}]})").arg(busKeys, meterBody).toUtf8();
}

QString TelegramsKey(const char* telegram = kTelegram) {
    return QStringLiteral(R"("telegrams": ["%1"])").arg(QLatin1String(telegram));
}

QString Nested(int depth) {
    return QString(depth, QLatin1Char('[')) + QString(depth, QLatin1Char(']'));
}

std::span<const std::uint8_t> Bytes(const QByteArray& frame) {
    return {reinterpret_cast<const std::uint8_t*>(frame.constData()),
            static_cast<std::size_t>(frame.size())};
}

} // namespace

class TestBusFile : public QObject {
    Q_OBJECT
private slots:
    void refusedFiles_data();
    void refusedFiles();
    void smallestFileTakesDefaults();
    void busDelayIsTheMetersDefaultWhereverItStands();
    void textsMayHoldEscapesAndUtf8();
    void headerFieldsOverrideTheTelegrams();
    void fileThatCannotBeReadIsNamed();
    void fileTooLargeIsRefusedUnread();
    void demoBusIsTheExampleFile();
    void demoSlaveListMatchesTheDemoBus();
};

void TestBusFile::refusedFiles_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const QString telegrams = TelegramsKey();
    const auto meter = [&telegrams](const QString& keys) {
        return MeterFile(keys + QStringLiteral(", ") + telegrams);
    };
    QTest::newRow("malformed JSON")
        << QByteArray(R"({"meters": [})") << "line 1, column 13: expected a value";
    QTest::newRow("nesting too deep")
        << QStringLiteral(R"({"meters": %1})").arg(Nested(40)).toUtf8()
        << "line 1, column 44: nesting deeper than 32 levels";
    QTest::newRow("unknown meter key")
        << meter(QStringLiteral(R"("address": 1, "adress": 5)"))
        << "meters[0]: unknown key \"adress\" (known: name, address, id, baud, telegrams, "
           "replyDelayMs, manufacturer, version, medium, echoOnly, raw)";
    QTest::newRow("address out of range in the third meter")
        << QStringLiteral(
               R"({"meters": [{"address": 1, %1}, {"address": 2, %1}, {"address": 300, %1}]})")
               .arg(telegrams)
               .toUtf8()
        << "meters[2].address: 300 is out of range 0-250";
    QTest::newRow("L bytes differ")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": ["68 03 04 68 08 05 72 00 16"])"))
        << "meters[0].telegrams[0]: the two L bytes differ (03, 04)";
    QTest::newRow("telegram longer than a long frame")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": ["%1"])")
                         .arg(QStringLiteral("00").repeated(262)))
        << "meters[0].telegrams[0]: a long frame has at most 261 bytes, this one 262";
}

void TestBusFile::refusedFiles() {
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    QString message;

    QVERIFY(!ParseBusDescription(json, &message));

    QCOMPARE(message, error);
}

void TestBusFile::smallestFileTakesDefaults() {
    QString error;
    const auto bus =
        ParseBusDescription(MeterFile(QStringLiteral("\"address\": 9, ") + TelegramsKey()), &error);

    QVERIFY2(bus, qPrintable(error));
    QVERIFY(!bus->echo);
    QVERIFY(bus->noise.isEmpty());
    QCOMPARE(bus->meters.size(), std::size_t{1});
    const MeterDescription& meter = bus->meters.front();
    QCOMPARE(meter.address, 9);
    QCOMPARE(meter.id, (IdBytes{0x78, 0x56, 0x34, 0x12}));
    QCOMPARE(meter.baud, 2400);
    QCOMPARE(meter.replyDelayMs, kDefaultReplyDelayMs);
    QVERIFY(!meter.manufacturer && !meter.version && !meter.medium);
    QCOMPARE(meter.telegrams.front(), QByteArray::fromHex(kTelegram));
}

void TestBusFile::busDelayIsTheMetersDefaultWhereverItStands() {
    QString error;
    const auto bus = ParseBusDescription(
        QStringLiteral(R"({"meters": [{"address": 1, %1}, {"address": 2, "replyDelayMs": 3.25, %1}],
                           "replyDelayMs": 50})")
            .arg(TelegramsKey())
            .toUtf8(),
        &error);

    QVERIFY2(bus, qPrintable(error));
    QCOMPARE(bus->meters[0].replyDelayMs, 50.0);
    QCOMPARE(bus->meters[1].replyDelayMs, 3.25);
}

void TestBusFile::textsMayHoldEscapesAndUtf8() {
    QString error;
    const auto bus = ParseBusDescription(
        MeterFile(
            QStringLiteral(R"("name": "Hőközpont \"A\" \u00e9\ud83d\ude00", "address": 1, %1)")
                .arg(TelegramsKey())),
        &error);

    QVERIFY2(bus, qPrintable(error));
    QCOMPARE(bus->meters[0].name, QStringLiteral("Hőközpont \"A\" é😀"));
}

void TestBusFile::headerFieldsOverrideTheTelegrams() {
    QString error;
    const auto bus = ParseBusDescription(
        MeterFile(
            QStringLiteral(
                R"("address": 1, "id": "00000042", "manufacturer": "KAM", "version": 3, "medium": 4, %1)")
                .arg(TelegramsKey())),
        &error);
    QVERIFY2(bus, qPrintable(error));

    const SimulatedMeter meter(bus->meters.front());

    QCOMPARE(meter.identity().id, (IdBytes{0x42, 0, 0, 0}));
    QCOMPARE(meter.identity().manufacturer, 0x2C2D);
    QCOMPARE(meter.identity().version, 3);
    QCOMPARE(meter.identity().medium, 4);
}

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
    QVERIFY2(ParseBusDescription(DemoBusJson(), &error), qPrintable(error));
}

void TestBusFile::demoSlaveListMatchesTheDemoBus() {
    QFile file(QStringLiteral(QUORVEN_SOURCE_DIR "/examples/slist-demo.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const BusDescription bus = DemoBusDescription();

    QCOMPARE(lines.size(), static_cast<qsizetype>(bus.meters.size() + 1));
    QCOMPARE(lines[0], QStringLiteral("Beép.hely,Mbus cím,Gy.sz.,Baud,Gyártó,Változat,Közeg,"
                                      "adatcsomag,COM port"));
    for (std::size_t i = 0; i < bus.meters.size(); ++i) {
        const MeterDescription& meter = bus.meters[i];
        const QStringList cells = lines[static_cast<qsizetype>(i + 1)].split(QLatin1Char(','));
        QCOMPARE(cells.size(), 9);
        Interpreter interpreter;
        interpreter.StoreTelegram(
            Bytes(StampAnswer(meter.telegrams.front(), SimulatedMeter(meter).identity())));
        QCOMPARE(cells[1], QString::number(meter.address));
        QCOMPARE(cells[2], QString::fromStdString(interpreter.IdentNumber()));
        QCOMPARE(cells[3], QString::number(meter.baud));
        QCOMPARE(cells[4], QString::fromStdString(interpreter.ManufacturerCode()));
        QCOMPARE(cells[5], QString::number(interpreter.VersionByte()));
        QCOMPARE(cells[6], QString::fromStdString(interpreter.MediumText()));
        QCOMPARE(cells[7], QStringLiteral("\"\""));
        QCOMPARE(cells[8], QStringLiteral("COM1"));
    }
}

QTEST_GUILESS_MAIN(TestBusFile)
#include "test_bus_file.moc"
