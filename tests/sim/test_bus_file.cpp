// Meters files: what a valid one gives, every way a hostile one is refused,
// and the demonstration bus with its matching slave list.
#include "sim/bus_file.h"
#include "sim/simulated_meter.h"

#include "interpret/interpreter.h"
#include "link/frames.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
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
    QTest::newRow("not an object")
        << QByteArray("[]") << "the file must hold one object {…}, not a list";
    QTest::newRow("meters missing") << QByteArray("{}") << "the key \"meters\" is missing";
    QTest::newRow("unknown meter key")
        << meter(QStringLiteral(R"("address": 1, "adress": 5)"))
        << "meters[0]: unknown key \"adress\" (known: name, address, id, baud, telegrams, "
           "replyDelayMs, manufacturer, version, medium, echoOnly, raw, stx)";
    QTest::newRow("duplicate meter key")
        << meter(QStringLiteral(R"("address": 1, "address": 2)"))
        << "meters[0]: key \"address\" appears twice (line 1, column 28)";
    QTest::newRow("address out of range in the third meter")
        << QStringLiteral(
               R"({"meters": [{"address": 1, %1}, {"address": 2, %1}, {"address": 300, %1}]})")
               .arg(telegrams)
               .toUtf8()
        << "meters[2].address: 300 is out of range 0-250";
    QTest::newRow("address not whole") << meter(QStringLiteral(R"("address": 5.5)"))
                                       << "meters[0].address: 5.5 is not a whole number";
    QTest::newRow("baud not a bus rate")
        << meter(QStringLiteral(R"("address": 1, "baud": 1234)"))
        << "meters[0].baud: 1234 is not one of 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, "
           "38400";
    QTest::newRow("identification number with a wildcard")
        << meter(QStringLiteral(R"("address": 1, "id": "1234567F")"))
        << "meters[0].id: \"1234567F\" must be 8 digits (A-E allowed, F is the wildcard)";
    QTest::newRow("manufacturer in lower case")
        << meter(QStringLiteral(R"("address": 1, "manufacturer": "abb")"))
        << "meters[0].manufacturer: \"abb\" must be three capital letters A-Z";
    QTest::newRow("echo not true or false")
        << MeterFile(QStringLiteral(R"("address": 1, %1)").arg(telegrams),
                     QStringLiteral(R"("echo": "yes", )"))
        << "echo: must be true or false, not a text";
    QTest::newRow("bad hex in a telegram")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": ["68 1G"])"))
        << "meters[0].telegrams[0]: \"1G\" (character 4) is not hexadecimal";
    QTest::newRow("L bytes differ")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": ["68 03 04 68 08 05 72 00 16"])"))
        << "meters[0].telegrams[0]: the two L bytes differ (03, 04)";
    QTest::newRow("telegrams empty")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": [])"))
        << "meters[0]: \"telegrams\" is empty";
    // A meter of the register protocol alone, with the given "stx" value;
    // %1 in it stands for a block of 16 bytes.
    const auto stx = [](const char* value) {
        return MeterFile(QStringLiteral(R"("address": 1, "stx": %1)")
                             .arg(QString::fromLatin1(value).replace(
                                 "%1", "\"000300000000000000000000E2400001\"")));
    };
    QTest::newRow("unknown key in stx")
        << stx(R"({"block": {}})")
        << "meters[0].stx: unknown key \"block\" (known: blocks, answerAddress)";
    QTest::newRow("stx without blocks")
        << stx("{}") << "meters[0].stx: the key \"blocks\" is missing";
    QTest::newRow("stx with no block")
        << stx(R"({"blocks": {}})") << "meters[0].stx.blocks: holds no block";
    QTest::newRow("register of three digits")
        << stx(R"({"blocks": {"0FF": %1}})")
        << "meters[0].stx.blocks: \"0FF\" is not a first register (4 hexadecimal digits)";
    QTest::newRow("register given twice")
        << stx(R"({"blocks": {"00ff": %1, "00FF": %1}})")
        << "meters[0].stx.blocks.00FF: the register is given twice";
    QTest::newRow("bad hex in a block")
        << stx(R"({"blocks": {"00FF": "00 0G"}})")
        << "meters[0].stx.blocks.00FF: \"0G\" (character 4) is not hexadecimal";
    QTest::newRow("block of 15 bytes")
        << stx(R"({"blocks": {"00FF": "000300000000000000000000E24000"}})")
        << "meters[0].stx.blocks.00FF: a block has 16 bytes, this one 15";
    QTest::newRow("block of 17 bytes")
        << stx(R"({"blocks": {"00FF": "000300000000000000000000E240000100"}})")
        << "meters[0].stx.blocks.00FF: more than 16 bytes";
    QTest::newRow("echo-only meter with telegrams")
        << meter(QStringLiteral(R"("address": 1, "echoOnly": true)"))
        << "meters[0]: an echo-only meter answers with the request, not with telegrams";
    QTest::newRow("identification number nowhere")
        << MeterFile(QStringLiteral(R"("address": 1, "raw": true, "telegrams": ["E5"])"))
        << "meters[0]: the key \"id\" is missing, and the first telegram carries no "
           "identification number to take it from";
    QTest::newRow("too many telegrams")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": [%1"%2"])")
                         .arg(QStringLiteral("\"%1\", ").arg(QLatin1String(kTelegram)).repeated(32),
                              QLatin1String(kTelegram)))
        << "meters[0].telegrams: more than 32 telegrams";
    QTest::newRow("telegram longer than a long frame")
        << MeterFile(QStringLiteral(R"("address": 1, "telegrams": ["%1"])")
                         .arg(QStringLiteral("00").repeated(262)))
        << "meters[0].telegrams[0]: a long frame has at most 261 bytes, this one 262";
    QTest::newRow("raw telegram too long")
        << MeterFile(
               QStringLiteral(R"("address": 1, "id": "12345678", "raw": true, "telegrams": ["%1"])")
                   .arg(QStringLiteral("00").repeated(2049)))
        << "meters[0].telegrams[0]: more than 2048 bytes";
    const auto modem = [&telegrams](const char* keys) {
        return MeterFile(QStringLiteral(R"("address": 1, )") + telegrams,
                         QStringLiteral(R"("modem": {%1}, )").arg(QLatin1String(keys)));
    };
    QTest::newRow("modem without numbers")
        << modem(R"("port": "COM2")") << "modem: the key \"numbers\" is missing";
    QTest::newRow("unknown modem key")
        << modem(R"("numbers": {}, "delayMs": 5)")
        << "modem: unknown key \"delayMs\" (known: numbers, port, baud, connectDelayMs, "
           "dropCarrierAfterMs)";
    QTest::newRow("number with a dash")
        << modem(R"("numbers": {"555-1234": "busy"})")
        << "modem.numbers: \"555-1234\" is not a number to dial (1-32 of 0-9 * # + ,)";
    QTest::newRow("unknown outcome")
        << modem(R"("numbers": {"5551234": "ringing"})")
        << "modem.numbers.5551234: \"ringing\" is not one of connect, busy, no answer, no "
           "carrier, no dialtone, error";
    QTest::newRow("port COM0") << modem(R"("numbers": {}, "port": "COM0")")
                               << "modem.port: \"COM0\" is not a port COM1 to COM255";
    QTest::newRow("carrier drop out of range")
        << modem(R"("numbers": {}, "dropCarrierAfterMs": 600001)")
        << "modem.dropCarrierAfterMs: 600001 is out of range 0-600000";
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
    const auto bus = ParseBusDescription(DemoBusJson(), &error);
    QVERIFY2(bus, qPrintable(error));
    QCOMPARE(bus->modem->port, QStringLiteral("COM2"));
    QCOMPARE(bus->modem->numbers.at(QStringLiteral("5551234")), DialOutcome::Connect);
}

void TestBusFile::demoSlaveListMatchesTheDemoBus() {
    QFile file(QStringLiteral(QUORVEN_SOURCE_DIR "/examples/slist-demo.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const BusDescription bus = DemoBusDescription();

    // The STX meter comes last; its row, where the list has one, says "STX".
    const auto mbusMeters = std::count_if(bus.meters.begin(), bus.meters.end(),
                                          [](const MeterDescription& m) { return !m.stx; });
    QVERIFY(lines.size() - 1 >= mbusMeters &&
            lines.size() - 1 <= static_cast<qsizetype>(bus.meters.size()));
    QCOMPARE(lines[0], QStringLiteral("Beép.hely,Mbus cím,Gy.sz.,Baud,Gyártó,Változat,Közeg,"
                                      "adatcsomag,COM port"));
    for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(lines.size()); ++i) {
        const MeterDescription& meter = bus.meters[i];
        const QStringList cells = lines[static_cast<qsizetype>(i + 1)].split(QLatin1Char(','));
        if (meter.stx) {
            QCOMPARE(cells[1], QString::number(meter.address));
            QCOMPARE(cells[4], QStringLiteral("STX"));
            continue;
        }
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
