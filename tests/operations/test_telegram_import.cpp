// SPDX-License-Identifier: GPL-3.0-or-later
// The import around the telegram: the hex-text scanner, what an import
// resets, and the files it reads; and the record selection as a bit set.
// (What the import and the table filling make of telegrams, and the import's
// questions, are the golden telegrams of test_import_golden.)
#include "operations/hex_import.h"
#include "operations/station.h"
#include "tables/table_layouts.h"

#include "common/scripted_prompter.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using quorven::testing::ScriptedPrompter;

namespace {

// A water meter's answer with six records.
const QByteArray kTelegram = "68 2D 2D 68 08 0B 72 54 02 99 04 C5 14 00 06 0C 27 00 00 04 13 10 27 "
                             "00 00 04 6D 0A 0C CD 13 02 5A 14 01 02 5E 0A 01 0C 06 45 23 01 00 02 "
                             "3B 00 00 D3 16";

} // namespace

class TestTelegramImport : public QObject {
    Q_OBJECT
private slots:
    void scanner_data();
    void scanner();
    void validTelegram();
    void files_data();
    void files();
    void checkDataset_data();
    void checkDataset();
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

    QCOMPARE(station.ImportText(kTelegram), ImportResult::RowsAdded);
    const GridModel& data = station.tables().dataTable();
    QCOMPARE(data.RowCount(), 9); // after the earlier row: 6 records and the status row
    QCOMPARE(data.Cell(0, 1), QString("earlier row"));
    QCOMPARE(data.Cell(kDataNumber, 2), QString("1"));
    QCOMPARE(data.Cell(kDataDate, 2), QString()); // not the last read's date
    QCOMPARE(filled.count(), 1);
    const ReadContext& ctx = station.readContext();
    QVERIFY(!ctx.writePositionFlag);
    QVERIFY(!station.runState().polling);
    QCOMPARE(ctx.recordOffset, 0);
    QVERIFY(ctx.recordSelection.isEmpty());
}

void TestTelegramImport::files_data() {
    QTest::addColumn<QByteArray>("content"); // "-" for no file
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("telegram padded to the size limit")
        << kTelegram + QByteArray(Station::kMaxImportFileBytes - kTelegram.size(), ' ')
        << int(ImportResult::RowsAdded) << "";
    QTest::newRow("one byte over the size limit")
        << kTelegram + QByteArray(Station::kMaxImportFileBytes + 1 - kTelegram.size(), ' ')
        << int(ImportResult::Refused) << "File too large for a telegram: %1";
    QTest::newRow("empty file") << QByteArray() << int(ImportResult::TooShort) << "";
    QTest::newRow("missing file") << QByteArray("-") << int(ImportResult::Unreadable) << "";
}

void TestTelegramImport::files() {
    QFETCH(QByteArray, content);
    QFETCH(int, result);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(content == "-" ? "missing.hex" : "t.hex");
    QFile file(path);
    QVERIFY(content == "-" ||
            (file.open(QIODevice::WriteOnly) && file.write(content) == content.size()));
    file.close();
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

void TestTelegramImport::checkDataset_data() {
    QTest::addColumn<QString>("selection");
    QTest::addColumn<quint64>("set");
    QTest::newRow("1,40") << "1,40" << quint64((1ull << 0) | (1ull << 39));
    QTest::newRow("0,65,abc is empty") << "0,65,abc" << quint64(0);
    QTest::newRow("64 is the last") << "64" << quint64(1ull << 63);
    QTest::newRow("blanks") << " 2 , 3" << quint64(0b110);
}

// The record numbers of a selection as a bit set; the selection stays.
void TestTelegramImport::checkDataset() {
    QFETCH(QString, selection);
    QFETCH(quint64, set);
    ScriptedPrompter prompter;
    Station station(prompter);
    station.readContext().recordSelection = selection;
    QCOMPARE(quint64(station.Check_Dataset()), set);
    QCOMPARE(station.readContext().recordSelection, selection);
}

QTEST_GUILESS_MAIN(TestTelegramImport)
#include "test_telegram_import.moc"
