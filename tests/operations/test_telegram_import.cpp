#include "operations/hex_import.h"
#include "operations/station.h"
#include "tables/table_layouts.h"

#include "common/scripted_prompter.h"
#include "station_telegrams.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using quorven::testing::HexText;
using quorven::testing::ScriptedPrompter;
using quorven::testing::WaterTelegram;
using Answer = Prompter::Answer;

namespace {

const QString kLengthQuestion =
    "Wrong telegram length $%1\n\rTrue length would be $%2\n\rShould the length be adapted?";
const QString kChecksumQuestion =
    "Wrong checksum $%1\n\rTrue checksum would be $%2\n\rShould the checksum be adapted?";

QString Hex2(int b) {
    return QString::number(b & 0xFF, 16).toUpper().rightJustified(2, u'0');
}

// The water meter's answer lengthened by `filler` idle filler bytes (2Fh)
// after its records, with length field and checksum made right for it.
std::vector<std::uint8_t> PaddedTelegram(int filler) {
    std::vector<std::uint8_t> t = WaterTelegram(6);
    t.insert(t.end() - 2, static_cast<std::size_t>(filler), std::uint8_t{0x2F});
    t[1] = t[2] = static_cast<std::uint8_t>(t.size() - 6);
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i + 2 < t.size(); ++i) {
        sum = static_cast<std::uint8_t>(sum + t[i]);
    }
    t[t.size() - 2] = sum;
    return t;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        return {};
    }
    return f.fileName();
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class TestTelegramImport : public QObject {
    Q_OBJECT
private slots:
    void scanner_data();
    void scanner();
    void validTelegram();
    void questions_data();
    void questions();
    void tooShortDoesNothing();
    void longerThanBuffer();
    void files_data();
    void files();
};

void TestTelegramImport::scanner_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("commas, lower case") << QByteArray("68,2d,2D,68") << QByteArray("682D2D68");
    QTest::newRow("tabs") << QByteArray("\t68\t16") << QByteArray("6816");
    QTest::newRow("line break inside a byte") << QByteArray("6\r\n8 1\n6") << QByteArray("6816");
    QTest::newRow("lone digit dropped") << QByteArray("6 8 16") << QByteArray("16");
    QTest::newRow("odd digit at the end dropped") << QByteArray("ABC") << QByteArray("AB");
    QTest::newRow("remark with hex letters")
        << QByteArray("* remark abcdef 12\r\n68 16") << QByteArray("6816");
    QTest::newRow("remark ended by CR alone") << QByteArray("68 *abc\r16") << QByteArray("6816");
    QTest::newRow("remark keeps a pending digit") << QByteArray("6*x\n8") << QByteArray("68");
    QTest::newRow("other letters cancel") << QByteArray("G1 23 6G8") << QByteArray("23");
    QTest::newRow("non-ASCII bytes cancel") << QByteArray("\xC3\xA9"
                                                          "68")
                                            << QByteArray("68");
    QTest::newRow("NUL bytes cancel") << QByteArray("6\0"
                                                    "8 16",
                                                    6)
                                      << QByteArray("16");
}

void TestTelegramImport::scanner() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, bytes);
    const std::vector<std::uint8_t> got =
        ScanHexText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    QCOMPARE(
        QByteArray(reinterpret_cast<const char*>(got.data()), static_cast<qsizetype>(got.size()))
            .toHex()
            .toUpper(),
        bytes);
}

void TestTelegramImport::validTelegram() {
    ScriptedPrompter prompter;
    Station station(prompter);
    station.readContext().recordSelection = "2";
    station.readContext().dateText = "old";
    station.readContext().recordOffset = 5;
    station.runState().polling = true;
    station.tables().dataTable().SetCell(0, 1, "earlier row");
    station.tables().setDataWritePosition(1);
    QSignalSpy filled(&station, &Station::dataTableFilled);
    const std::vector<std::uint8_t> telegram = WaterTelegram(6);

    QCOMPARE(station.ImportText(HexText(telegram)), ImportResult::RowsAdded);
    QVERIFY(prompter.asked.empty());
    QCOMPARE(station.trace().lines(), QStringList{HexText(telegram) + " "});
    const GridModel& data = station.tables().dataTable();
    QCOMPARE(data.RowCount(), 9); // after the earlier row: 6 records and the status row
    QCOMPARE(data.Cell(0, 1), QString("earlier row"));
    QCOMPARE(data.Cell(kDataPlace, 2), QString("Beép.hely"));
    QCOMPARE(data.Cell(kDataDate, 2), QString());
    QCOMPARE(data.Cell(kDataNumber, 2), QString("1"));
    QCOMPARE(data.Cell(kDataDescription, 8), QString("M-Bus state"));
    QCOMPARE(filled.count(), 1);
    const ReadContext& ctx = station.readContext();
    QVERIFY(!ctx.writePositionFlag);
    QVERIFY(!station.runState().polling);
    QCOMPARE(ctx.recordOffset, 0);
    QVERIFY(ctx.recordSelection.isEmpty());
}

void TestTelegramImport::questions_data() {
    QTest::addColumn<int>("filler");
    QTest::addColumn<int>("lengthChange");
    QTest::addColumn<int>("checksumChange");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("traceError");
    QTest::addColumn<int>("rows");
    const std::vector<std::uint8_t> t = WaterTelegram(6);
    const int l = t[1];
    const int cs = t[t.size() - 2];
    const QString length = kLengthQuestion.arg(Hex2(l - 1), Hex2(l));
    const QString checksum = kChecksumQuestion.arg(Hex2(cs + 1), Hex2(cs));
    QTest::newRow("length one too small, Yes")
        << 0 << -1 << 0 << QList<Answer>{Answer::Yes} << QStringList{length} << "" << 8;
    QTest::newRow("length one too small, No")
        << 0 << -1 << 0 << QList<Answer>{Answer::No} << QStringList{length}
        << "Länge und Längenfeld unterschiedlich" << 1;
    QTest::newRow("checksum wrong, Yes")
        << 0 << 0 << 1 << QList<Answer>{Answer::Yes} << QStringList{checksum} << "" << 8;
    QTest::newRow("checksum wrong, No")
        << 0 << 0 << 1 << QList<Answer>{Answer::No} << QStringList{checksum}
        << QString("Checksummenfehler %1 <> %2").arg(Hex2(cs), Hex2(cs + 1)) << 1;
    QTest::newRow("both wrong, Yes to both")
        << 0 << -1 << 1 << QList<Answer>{Answer::Yes, Answer::Yes} << QStringList{length, checksum}
        << "" << 8;
    // 261 bytes: the longest long frame, L = FFh.
    const int longest = 261 - static_cast<int>(t.size());
    QTest::newRow("longest frame, length right: no question")
        << longest << 0 << 0 << QList<Answer>{} << QStringList{} << "" << 8;
    // 262 bytes: the true length 256 shows as $00, and a length byte of 00h
    // is not 256, so the question comes.
    QTest::newRow("262 bytes, length byte 00h: asked")
        << longest + 1 << 0 << 0 << QList<Answer>{Answer::No}
        << QStringList{kLengthQuestion.arg("00", "00")} << "M-Bus Datensatzlänge zu lang" << 1;
}

// The length byte is outside the checksum, so a corrected length never brings
// on the checksum question by itself.
void TestTelegramImport::questions() {
    QFETCH(int, filler);
    QFETCH(int, lengthChange);
    QFETCH(int, checksumChange);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, asked);
    QFETCH(QString, traceError);
    QFETCH(int, rows);
    const std::vector<std::uint8_t> correct = PaddedTelegram(filler);
    std::vector<std::uint8_t> t = correct;
    t[1] = t[2] = static_cast<std::uint8_t>(t[1] + lengthChange);
    t[t.size() - 2] = static_cast<std::uint8_t>(t[t.size() - 2] + checksumChange);
    ScriptedPrompter prompter;
    prompter.answers.assign(answers.begin(), answers.end());
    Station station(prompter);
    station.ImportText(HexText(t, ""));

    QStringList texts;
    for (const auto& a : prompter.asked) {
        QCOMPARE(a.kind, QString("yesno"));
        QCOMPARE(a.caption, QString("Error"));
        texts << a.text;
    }
    QCOMPARE(texts, asked);
    std::vector<std::uint8_t> fixed = correct;
    if (!answers.isEmpty() && answers.size() == asked.size() && answers.first() == Answer::No) {
        fixed = t;
    }
    QStringList trace{HexText(fixed) + " "};
    if (!traceError.isEmpty()) {
        trace << traceError;
    }
    QCOMPARE(station.trace().lines(), trace);
    QCOMPARE(station.tables().dataTable().RowCount(), rows);
}

void TestTelegramImport::tooShortDoesNothing() {
    ScriptedPrompter prompter;
    Station station(prompter);
    QCOMPARE(station.ImportText("68 03 03 68 53 FE 51 A5 16"), ImportResult::TooShort);
    QCOMPARE(station.ImportText(""), ImportResult::TooShort);
    QVERIFY(prompter.asked.empty());
    QVERIFY(station.trace().lines().isEmpty());
    QVERIFY(station.readContext().writePositionFlag);
}

// Twelve telegrams in one file: more than the buffer holds. The questions
// show the lowest 8 bits, the trace shows every byte, and the check refuses
// the telegram as too long.
void TestTelegramImport::longerThanBuffer() {
    const std::vector<std::uint8_t> t = WaterTelegram(6);
    QByteArray text;
    std::size_t n = 0;
    for (int i = 0; i < 12; ++i) {
        text += HexText(t) + "\n";
        n += t.size();
    }
    QVERIFY(n > kTelegramCapacity);
    ScriptedPrompter prompter;
    prompter.answers = {Answer::Yes, Answer::Yes};
    Station station(prompter);
    QCOMPARE(station.ImportText(text), ImportResult::NoRows);
    QCOMPARE(prompter.asked[0].text,
             kLengthQuestion.arg(Hex2(t[1]), Hex2(static_cast<int>(n - 6))));
    QCOMPARE(station.trace().lines().at(0).size(), static_cast<qsizetype>(3 * n));
    QCOMPARE(station.trace().lines().at(1), QString("M-Bus Datensatzlänge zu lang"));
    QCOMPARE(station.tables().dataTable().RowCount(), 1);
}

void TestTelegramImport::files_data() {
    QTest::addColumn<QByteArray>("content"); // "-" for no file
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    const QByteArray telegram = HexText(WaterTelegram(6));
    QTest::newRow("telegram padded to the size limit")
        << telegram + QByteArray(Station::kMaxImportFileBytes - telegram.size(), ' ')
        << int(ImportResult::RowsAdded) << "";
    QTest::newRow("one byte over the size limit")
        << telegram + QByteArray(Station::kMaxImportFileBytes + 1 - telegram.size(), ' ')
        << int(ImportResult::Refused) << "File too large for a telegram: %1";
    QTest::newRow("empty file") << QByteArray() << int(ImportResult::TooShort) << "";
    QTest::newRow("missing file") << QByteArray("-") << int(ImportResult::Unreadable) << "";
}

void TestTelegramImport::files() {
    QFETCH(QByteArray, content);
    QFETCH(int, result);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path =
        content == "-" ? dir.filePath("missing.hex") : WriteFile(dir, "t.hex", content);
    ScriptedPrompter prompter;
    prompter.fileNames = {path};
    Station station(prompter);
    QCOMPARE(int(station.Import_ButtonClick()), result);
    QCOMPARE(prompter.asked.at(0).kind, QString("open"));
    QCOMPARE(prompter.asked.at(0).text, QString("adatcsomag"));
    if (message.isEmpty()) {
        QCOMPARE(prompter.asked.size(), std::size_t{1});
    } else {
        QCOMPARE(prompter.asked.size(), std::size_t{2});
        QCOMPARE(prompter.asked[1].kind, QString("message"));
        QCOMPARE(prompter.asked[1].text, message.arg(path));
        QCOMPARE(prompter.asked[1].caption, QString("Error"));
    }

    // Cancelling the dialog does nothing.
    QCOMPARE(station.Import_ButtonClick(), ImportResult::Cancelled);
}

QTEST_GUILESS_MAIN(TestTelegramImport)
#include "test_telegram_import.moc"
