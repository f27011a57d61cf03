// Real meter telegrams: a few decoded record by record, with values checked
// by hand against the decode their source published, and every telegram of
// the shared corpus (when present) decoded whole.
#include "record_rows.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// Kamstrup Multical 601 heat meter (KAM, L = F7h): BCD, binary, DIFEs with
// tariff and subunit, dates and times, stored values.
constexpr const char* kMultical601 =
    "68F7F768081172175885062D2C0804040000000C78175885060406E791000004142CDB00000422D90300"
    "000459B9270000045D081200000461B1150000042D5B010000142DC0010000043B1F020000143B740200"
    "00841006000000008420060000000084401400000000848040140000000084C0400600000000046D1A2F"
    "65114406518200004414B2C30000542D26020000543B03040000C4100600000000C4200600000000C440"
    "1400000000C480401400000000C4C0400600000000426C5F1C0F00000000E7E400006366000000000000"
    "00000000000000005BC9A50234530000E0B20300899C6800000000000100010707090103000000000098"
    "16";

// Landis+Gyr Ultraheat T230: VIFE 6Fh (end of last) dates, a storage number
// spread over two DIFEs, and a date with year 127.
constexpr const char* kUltraheatT230 =
    "68E2E26808007205026666A7320704011000000974040970080C06000000000C14000000000B2D000000"
    "0B3B0000000B5A9501000B5E9701000B620200F00C7805026666891071073C22693700000C2269370000"
    "0C26000000008C901006000000009B102D0000009B103B0000009B105A0703009B105E0705009410AD6F"
    "000000009410BB6F000000009410DA6F32147A189410DE6F2B0B69184C06000000004C14000000007C22"
    "693400004C2600000000CC90100600000000DB102D000000DB103B000000DB105A070300DB105E070500"
    "848F0F6D0000E1F1046D040C8D110F09070066017D16";

// Elvaco CMa10 room sensor: plain-text units, digital input, more records.
constexpr const char* kElvacoSensor =
    "685353680805723408005496153200F200000001FD1B0002FC0348522574D41122FC0348522574C81112"
    "FC0348522574B4160265D00822657008126523090172184265E408820165DD080C783408005403FD0F00"
    "00041F5D16";

// EMU Professional 375 electricity meter: manufacturer-specific VIFEs and VIFs.
constexpr const char* kEmu375 =
    "68F4F46808007229260300B5151002020000000C78292603008410035405000084200300000000849040"
    "03AE1E000084A040030000000004ABFF01FEFFFFFF04ABFF020000000004ABFF0300000000042BFEFFFF"
    "FF848040ABFF010E000000848040ABFF0200000000848040ABFF03000000008480402B0E00000002FDC8"
    "FF01D10802FDC8FF02000002FDC8FF03000022FDC8FF01520722FDC8FF02000022FDC8FF03000012FDC8"
    "FF016A0912FDC8FF02000012FDC8FF03000003FDD9FF01BEFFFF03FDD9FF0200000003FDD9FF03000000"
    "03FD59BEFFFF01FFE1FF010D01FFE1FF020001FFE1FF030002FF52F40102FD60380001FD17007416";

// A fixed-structure water meter whose counter 2 is a stored value in litres.
constexpr const char* kFixedWater = "68131368080573785634120A00E97E01000000350100003C16";

// ABB F95 heat meter: BCD fields with hex digits in the error state.
constexpr const char* kAbbF95 =
    "685E5E680800729085712624232804735000000C05000000000C12420700003C2ADDB4EBDD3B3ADDB4EB"
    "0A5A04020A5E04020A620000046D22108D114C0500000000446D3B177E1444ED7E3B179E148C01050000"
    "000084016D3B177F1C0B265365080416";

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

bool IsUtf8(const std::string& text) {
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Every telegram of the corpus: one per .hex file, one per hex line of the
// telegram lists ("*" lines are comments).
QList<QPair<QString, QByteArray>> CorpusTelegrams(const QString& root) {
    QList<QPair<QString, QByteArray>> telegrams;
    QDirIterator files(root, {"*.hex", "*.txt"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray content = file.readAll();
        if (path.endsWith(".hex")) {
            telegrams.append({path, QByteArray::fromHex(content)});
            continue;
        }
        int line = 0;
        for (const QByteArray& text : content.split('\n')) {
            ++line;
            const QByteArray trimmed = text.trimmed();
            if (!trimmed.isEmpty() && !trimmed.startsWith('*')) {
                telegrams.append(
                    {path + ":" + QString::number(line), QByteArray::fromHex(trimmed)});
            }
        }
    }
    return telegrams;
}

} // namespace

class TestCorpusDecode : public QObject {
    Q_OBJECT
private slots:
    void knownRecords_data();
    void knownRecords() { CompareRecord(); }
    void knownWalks_data();
    void knownWalks();
    void wholeCorpus();
};

void TestCorpusDecode::knownRecords_data() {
    AddRecordColumns();
    const QByteArray kam = Hex(kMultical601);
    AddRecordRow("Multical energy", kam, 1, "energy", "37351", "kWh");
    AddRecordRow("Multical tariff 1", kam, 11, "energy", "0", "kWh", {"instant.", 0, 1, 0});
    AddRecordRow("Multical subunit 3", kam, 15, "energy", "0", "kWh", {"instant.", 0, 0, 3});
    AddRecordRow("Multical date and time", kam, 16, "time point", "05.01.11 15:26 Win  V", "");
    AddRecordRow("Multical stored date", kam, 26, "time point", "31.12.10", "",
                 {"instant.", 1, 0, 0});
    const QByteArray lug = Hex(kUltraheatT230);
    AddRecordRow("T230 negative BCD", lug, 8, "temperature difference", "-0000.2", "K");
    AddRecordRow("T230 end of last", lug, 21, "flow temperature end of last",
                 "26.08.11 20:50 Win  V", "", {"maximum", 0, 1, 0});
    AddRecordRow("T230 year 127, storage 510", lug, 32, "time point", "01.01.127 00:00 Win  V", "",
                 {"instant.", 510, 0, 0});
    const QByteArray elv = Hex(kElvacoSensor);
    AddRecordRow("Elvaco humidity", elv, 1, "", "45.64", "%RH");
    const QByteArray emu = Hex(kEmu375);
    AddRecordRow("EMU current", emu, 22, "current specific $01", "-66", "mA");
    AddRecordRow("EMU manufacturer VIF", emu, 26, "man. specific $E1FF01", "13", "");
    const QByteArray fixed = Hex(kFixedWater);
    AddRecordRow("fixed stored counter 2", fixed, 1, "volume", "      135.00", "l",
                 {"instant.", 1, 0, 0});
    const QByteArray abb = Hex(kAbbF95);
    AddRecordRow("F95 BCD in error state", abb, 2, "power", "DDEBB4DD", "", {"error"});
    AddRecordRow("F95 operating time", abb, 13, "operating time", "086553", "hours");
}

void TestCorpusDecode::knownWalks_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("more");
    QTest::newRow("Multical 601") << Hex(kMultical601) << 27 << false;
    QTest::newRow("Ultraheat T230") << Hex(kUltraheatT230) << 34 << false;
    QTest::newRow("Elvaco sensor") << Hex(kElvacoSensor) << 12 << true;
    QTest::newRow("EMU 375") << Hex(kEmu375) << 32 << false;
    QTest::newRow("fixed water") << Hex(kFixedWater) << 2 << false;
    QTest::newRow("ABB F95") << Hex(kAbbF95) << 14 << false;
}

void TestCorpusDecode::knownWalks() {
    QFETCH(QByteArray, telegram);
    Interpreter in;
    Store(in, telegram);
    QVERIFY2(in.CheckTelegram(), in.TelegramError().c_str());
    QTEST(in.CountRecords(), "count");
    QTEST(in.MoreRecordsFollow(), "more");
}

// Every telegram decodes whole: each record, valid UTF-8 texts, nothing past
// the count, and each record as a fresh interpreter decodes it alone.
void TestCorpusDecode::wholeCorpus() {
    const QString root = QStringLiteral(QUORVEN_SHARED_DIR "/corpus");
    if (!QDir(root).exists()) {
        QSKIP("the shared corpus is not present");
    }
    const auto telegrams = CorpusTelegrams(root);
    QVERIFY(telegrams.size() >= 100);
    int records = 0;
    for (const auto& [name, telegram] : telegrams) {
        Interpreter in;
        Store(in, telegram);
        const bool valid = in.CheckTelegram();
        if (name.contains("/test-frames/")) {
            QVERIFY2(valid, qPrintable(name));
        }
        const int count = in.CountRecords();
        for (int i = 0; i < count; ++i) {
            QVERIFY2(in.GetRecord(i), qPrintable(name));
            const DecodedRecord& record = in.CurrentRecord();
            for (const std::string* text :
                 {&record.Description, &record.Value, &record.UnitText, &record.FunctionText}) {
                QVERIFY2(IsUtf8(*text), qPrintable(name));
            }
            Interpreter fresh;
            Store(fresh, telegram);
            QVERIFY(fresh.GetRecord(i));
            QVERIFY2(fresh.CurrentRecord() == record, qPrintable(name));
        }
        QVERIFY(!in.GetRecord(count));
        records += count;
    }
    QVERIFY(records > 1000);
}

QTEST_APPLESS_MAIN(TestCorpusDecode)
#include "test_corpus_decode.moc"
