// SPDX-License-Identifier: GPL-3.0-or-later
// The tables' CSV files: the bytes written, what reads back, the reader's
// quirks, line ends, encodings and separators, and saving without losing the
// old file. And files a user may hand the loader that are not what they
// seem: each gives a clear message or a sound load, the table stays as it
// was when the file is refused, and memory stays bounded.
#include "tables/csv_reader.h"
#include "tables/csv_writer.h"
#include "tables/file_error.h"
#include "tables/separator.h"

#include "csv_test_files.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTest>

using namespace quorven;
using quorven::testing::ReadFile;
using quorven::testing::WriteFile;

namespace {

const QString kCsv = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/tables/csv");

QStringList Row(const GridModel& table, int row) {
    QStringList cells;
    for (int c = 0; c < table.ColCount(); ++c) {
        cells << table.Cell(c, row);
    }
    return cells;
}

// What a cell reads back as: every line break becomes CR LF, and so does
// character 11.
QString ReadBack(QString cell) {
    cell.replace("\r\n", "\n").replace('\r', '\n').replace(QChar(11), '\n');
    return cell.replace("\n", "\r\n");
}

QByteArray Written(const GridModel& table, QChar sep) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!WriteCsv(table, sep, buffer)) {
        return "write failed";
    }
    return buffer.data();
}

// A device that takes a number of bytes and then refuses every write.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (len > room_) {
            return -1;
        }
        room_ -= len;
        return len;
    }

private:
    qint64 room_;
};

} // namespace

namespace {

// A table the failed loads must leave alone.
void FillKnown(GridModel& table) {
    table.SetCell(0, 0, "header");
    table.SetCell(0, 1, "kept");
    table.SetCell(13, 2, "also kept");
}

void VerifyKnown(const GridModel& table) {
    QCOMPARE(table.RowCount(), 3);
    QCOMPARE(table.ColCount(), 14);
    QCOMPARE(table.Cell(0, 1), QString("kept"));
    QCOMPARE(table.Cell(13, 2), QString("also kept"));
}

QString LoadError(GridModel& table, const QString& path, const CsvLimits& limits = {}) {
    try {
        LoadCsv(table, path, u';', limits);
    } catch (const FileError& e) {
        return e.message();
    }
    return {};
}

CsvLimits Limits(std::size_t line, int columns, int rows, qint64 fileBytes) {
    CsvLimits limits;
    limits.maxLineBytes = line;
    limits.maxColumns = columns;
    limits.maxRows = rows;
    limits.maxFileBytes = fileBytes;
    return limits;
}

} // namespace

Q_DECLARE_METATYPE(CsvLimits)

class TestCsvFiles : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void writtenBytes_data();
    void writtenBytes();
    void lineEndAcrossReadChunks();
    void colCountGrowsNeverShrinks();
    void separatorChoice_data();
    void separatorChoice();
    void saveReplacesFileWhole();
    void failedSaveKeepsOldFile();
    void fullDeviceReportsFailure();
    void csvExtension();
    void loadedFiles();
    void refusedFiles_data();
    void refusedFiles();
    void hundredMegabyteLine();
    void binaryWithoutNul();
    void missingFolderOrVanishedFile();
};

void TestCsvFiles::roundTrip_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QChar>("sep");
    const QList<QPair<const char*, QString>> cells = {
        {"plain", "plain"},
        {"empty", ""},
        {"separator", "a;b,c"},
        {"quotes", "say \"hi\""},
        {"lone quote", "\""},
        {"quoted separator", "x;\"y\",z"},
        {"CR LF", "line\r\nbreak"},
        {"lone LF", "lone\nLF"},
        {"lone CR", "lone\rCR"},
        {"line break and quote", "a \"q\"\r\nb"},
        {"character 11", QString("v") + QChar(11) + "t"},
        {"non-ASCII", "Beép.hely őű ¤ m^3"},
    };
    for (QChar sep : {QChar(u';'), QChar(u','), QChar(u'§')}) {
        for (const auto& [name, cell] : cells) {
            QTest::addRow("%s, sep U+%04X", name, sep.unicode()) << cell << sep;
        }
    }
}

// Every nasty cell survives a save and a load in the first, a middle and the
// last column.
void TestCsvFiles::roundTrip() {
    QFETCH(QString, cell);
    QFETCH(QChar, sep);
    QTemporaryDir dir;
    GridModel table(3);
    for (int c = 0; c < 3; ++c) {
        table.SetCell(c, 0, QString("h%1").arg(c));
    }
    for (int r = 1; r <= 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            table.SetCell(c, r, c == r - 1 ? cell : QString("r%1c%2").arg(r).arg(c));
        }
    }
    const QString path = dir.filePath("t.csv");
    SaveCsv(table, path, sep);
    QCOMPARE(ReadFile(path).count("\r\n"), 4);

    GridModel loaded(3);
    LoadCsv(loaded, path, sep);
    QCOMPARE(loaded.RowCount(), 4);
    QCOMPARE(loaded.ColCount(), 3);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QString expected = r > 0 && c == r - 1 ? ReadBack(cell) : table.Cell(c, r);
            QCOMPARE(loaded.Cell(c, r), expected);
        }
    }
}

void TestCsvFiles::writtenBytes_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("example line") << QStringList{"a", "", "x;y", "say \"hi\""} << QChar(u';')
                                  << QByteArray("a;\"\";\"x;y\";\"say \"\"hi\"\"\"\r\n");
    QTest::newRow("CR LF with separator becomes char 11") << QStringList{"a;b\r\nc"} << QChar(u';')
                                                          << QByteArray("\"a;b\x0B"
                                                                        "c\"\r\n");
    QTest::newRow("line breaks without separator are quoted")
        << QStringList{"a\r\nb\nc\rd"} << QChar(u';')
        << QByteArray("\"a\x0B"
                      "b\x0B"
                      "c\x0B"
                      "d\"\r\n");
    QTest::newRow("UTF-8") << QStringList{"Gyártó", "állapot szám"} << QChar(u',')
                           << QByteArray("Gy\xC3\xA1rt\xC3\xB3,\xC3\xA1llapot sz\xC3\xA1m\r\n");
    QTest::newRow("first cell beginning with a byte-order mark is quoted")
        << QStringList{QString(QChar(0xFEFF)) + "x", QString(QChar(0xFEFF))} << QChar(u',')
        << QByteArray("\"\xEF\xBB\xBFx\",\xEF\xBB\xBF\r\n");
    QTest::newRow("refused separator writes commas")
        << QStringList{"a", "b"} << QChar(u'"') << QByteArray("a,b\r\n");
}

void TestCsvFiles::writtenBytes() {
    QFETCH(QStringList, cells);
    QFETCH(QChar, sep);
    QFETCH(QByteArray, line);
    GridModel table(static_cast<int>(cells.size()));
    for (int c = 0; c < cells.size(); ++c) {
        table.SetCell(c, 0, cells[c]);
    }
    QCOMPARE(Written(table, sep), line);

    QTemporaryDir dir;
    GridModel loaded(1);
    LoadCsv(loaded, WriteFile(dir, "t.csv", line), sep);
    QCOMPARE(loaded.ColCount(), cells.size());
    for (int c = 0; c < cells.size(); ++c) {
        QCOMPARE(loaded.Cell(c, 0), ReadBack(cells[c]));
    }
}

// The reader takes the file in 1 MiB pieces: a line running over a piece's
// end, and a CR LF split between two pieces, read as in one piece.
void TestCsvFiles::lineEndAcrossReadChunks() {
    const int chunk = 1 << 20;
    QByteArray file(chunk - 1, 'a');
    file += "\r\nshort;x\r\n";
    file += QByteArray(chunk - 100, 'b');
    file += ";end";
    QTemporaryDir dir;
    GridModel table(1);
    LoadCsv(table, WriteFile(dir, "t.csv", file), u';');
    QCOMPARE(table.RowCount(), 3);
    QCOMPARE(table.Cell(0, 0).size(), chunk - 1);
    QCOMPARE(Row(table, 1), (QStringList{"short", "x"}));
    QCOMPARE(table.Cell(0, 2).size(), chunk - 100);
    QCOMPARE(table.Cell(1, 2), QString("end"));
}

void TestCsvFiles::colCountGrowsNeverShrinks() {
    QTemporaryDir dir;
    GridModel table(14);
    LoadCsv(table, WriteFile(dir, "narrow.csv", "a;b\r\nc\r\n"), u';');
    QCOMPARE(table.ColCount(), 14);
    QCOMPARE(table.RowCount(), 2);
    LoadCsv(table, WriteFile(dir, "wide.csv", "h\r\n1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16\r\n"),
            u';');
    QCOMPARE(table.ColCount(), 16);
    QCOMPARE(table.Cell(15, 1), QString("16"));
}

void TestCsvFiles::separatorChoice_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("semicolon") << ";" << QChar(u';');
    QTest::newRow("first character counts") << ";," << QChar(u';');
    QTest::newRow("empty field") << "" << QChar(u',');
    QTest::newRow("quote refused") << "\"" << QChar(u',');
    QTest::newRow("CR refused") << "\r" << QChar(u',');
    QTest::newRow("NUL refused") << QString(QChar(0)) << QChar(u',');
    QTest::newRow("tab allowed") << "\t" << QChar(u'\t');
    QTest::newRow("non-ASCII allowed") << "§" << QChar(u'§');
    QTest::newRow("letter refused") << "x" << QChar(u',');
    QTest::newRow("digit refused") << "7" << QChar(u',');
    QTest::newRow("accented letter refused") << "é" << QChar(u',');
}

void TestCsvFiles::separatorChoice() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QCOMPARE(SeparatorFromText(text), separator);
}

void TestCsvFiles::saveReplacesFileWhole() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "t.csv", QByteArray(5000, 'x'));
    GridModel table(2);
    table.SetCell(0, 0, "h");
    SaveCsv(table, path, u',');
    QCOMPARE(ReadFile(path), QByteArray("h,\"\"\r\n"));
}

// The save goes to a temporary file beside the target and is renamed into
// place; when the temporary file cannot be made the old file stays whole.
// (A name of 254 characters leaves no room for the temporary file's suffix.)
void TestCsvFiles::failedSaveKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QString(250, u'a') + ".csv", "old contents");
    QVERIFY(!path.isEmpty());
    GridModel table(1);
    table.SetCell(0, 0, "new");
    try {
        SaveCsv(table, path, u',');
        QFAIL("the save did not fail");
    } catch (const FileError& e) {
        // The system's reason follows the text.
        QVERIFY2(e.message().startsWith("Cannot Create file " + path + ": "),
                 qPrintable(e.message()));
    }
    QCOMPARE(ReadFile(path), QByteArray("old contents"));

    const QString missing = dir.filePath("no/such/folder/t.csv");
    QVERIFY_THROWS_EXCEPTION(FileError, SaveCsv(table, missing, u','));
    QVERIFY(!QFile::exists(missing));
}

void TestCsvFiles::fullDeviceReportsFailure() {
    GridModel table(2);
    table.SetRowCount(100000);
    table.SetCell(0, 99999, "last");
    FullDevice device(1000);
    QVERIFY(!WriteCsv(table, u',', device));
}

void TestCsvFiles::csvExtension() {
    QCOMPARE(WithCsvExtension("/tmp/list"), QString("/tmp/list.csv"));
    QCOMPARE(WithCsvExtension("/tmp/list.txt"), QString("/tmp/list.txt"));
    QCOMPARE(WithCsvExtension("/tmp/a.b/list"), QString("/tmp/a.b/list.csv"));
}

void TestCsvFiles::refusedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<CsvLimits>("limits");
    QTest::addColumn<QString>("reason");
    QTest::newRow("NUL byte") << QByteArray("a;b\r\nc\0d\r\n", 10) << Limits(1000, 100, 100, 1000)
                              << "line 2 holds NUL bytes; it is not a text file";
    QTest::newRow("line too long")
        << QByteArray("ok\r\n") + QByteArray(101, 'x') << Limits(100, 100, 100, 1000)
        << "line 2 is longer than 100 bytes";
    QTest::newRow("too many cells")
        << QByteArray("a;b;c;d;e") << Limits(1000, 4, 100, 1000) << "line 1 has more than 4 cells";
    QTest::newRow("too many lines")
        << QByteArray("1\n2\n3\n4\n") << Limits(1000, 100, 3, 1000) << "it has more than 3 lines";
    QTest::newRow("file too large") << QByteArray(2000, '\n') << Limits(1000, 100, 100000, 1000)
                                    << "it is larger than 1000 bytes";
}

void TestCsvFiles::refusedFiles() {
    QFETCH(QByteArray, file);
    QFETCH(CsvLimits, limits);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "t.csv", file);
    GridModel table(14);
    FillKnown(table);
    QCOMPARE(LoadError(table, path, limits), "Cannot load file " + path + ": " + reason);
    VerifyKnown(table);
}

// A 100 MB file of one line is refused after the first megabyte or so: the
// reader never holds more than one line and one piece of the file.
void TestCsvFiles::hundredMegabyteLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.csv");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(f.write(block), block.size());
        }
    }
    GridModel table(14);
    FillKnown(table);
    QCOMPARE(LoadError(table, path),
             "Cannot load file " + path + ": line 1 is longer than 1048576 bytes");
    VerifyKnown(table);
}

// Bytes without NUL that are not UTF-8 read as Windows-1250 text: a sound
// load of whatever lines they make, within the limits.
void TestCsvFiles::binaryWithoutNul() {
    QRandomGenerator random(42);
    QByteArray bytes(200000, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(1 + random.bounded(255));
    }
    QTemporaryDir dir;
    GridModel table(14);
    LoadCsv(table, WriteFile(dir, "t.bin", bytes), u';');
    QVERIFY(table.RowCount() > 100);
    QVERIFY(table.ColCount() >= 14);
}

void TestCsvFiles::missingFolderOrVanishedFile() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "gone.csv", "a;b\r\n");
    QVERIFY(QFile::remove(path));
    GridModel table(14);
    FillKnown(table);
    // The system's reason follows the text.
    QCOMPARE(LoadError(table, path), "Cannot open file " + path + ": No such file or directory");
    VerifyKnown(table);
    QCOMPARE(LoadError(table, dir.path()),
             "Cannot open file " + dir.path() + ": file to open is a directory");
    VerifyKnown(table);
}

// Every CSV file under csv/ loaded as the table loader loads a file with the
// separator ";", and shown in csv/loaded.out: the table's size and each row's
// cells, with CR, LF and character 11 written as \r, \n and \v. The files
// show the reader's quirks, line ends and encodings.
// QUORVEN_UPDATE_GOLDEN=loadedFiles rewrites loaded.out (to be reviewed).
void TestCsvFiles::loadedFiles() {
    QStringList out;
    for (const QString& name : QDir(kCsv).entryList({"*.csv"}, QDir::Files, QDir::Name)) {
        GridModel table(1);
        LoadCsv(table, kCsv + "/" + name, u';');
        out << QStringLiteral("== %1: %2 rows, %3 columns")
                   .arg(name)
                   .arg(table.RowCount())
                   .arg(table.ColCount());
        for (int r = 0; r < table.RowCount(); ++r) {
            QStringList cells = Row(table, r);
            for (QString& cell : cells) {
                cell = '"' +
                       cell.replace('\r', "\\r").replace('\n', "\\n").replace(QChar(11), "\\v") +
                       '"';
            }
            out << cells.join(", ");
        }
    }
    const QByteArray text = out.join('\n').toUtf8() + '\n';
    quorven::testing::CompareGolden(text, kCsv + "/loaded.out");
}

QTEST_GUILESS_MAIN(TestCsvFiles)
#include "test_csv_files.moc"
