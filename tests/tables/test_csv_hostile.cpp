// Files a user may hand the table loader that are not what they seem: every
// one gives a clear message or a sound load, the table stays as it was when
// the file is refused, and memory stays bounded.
#include "tables/csv_reader.h"
#include "tables/file_error.h"

#include "csv_test_files.h"

#include <QRandomGenerator>
#include <QTest>

using namespace quorven;
using quorven::testing::WriteFile;

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

class TestCsvHostile : public QObject {
    Q_OBJECT
private slots:
    void refusedFiles_data();
    void refusedFiles();
    void unbalancedQuotesLoad();
    void hundredMegabyteLine();
    void binaryWithoutNul();
    void missingFolderOrVanishedFile();
};

void TestCsvHostile::refusedFiles_data() {
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

void TestCsvHostile::refusedFiles() {
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

void TestCsvHostile::unbalancedQuotesLoad() {
    QTemporaryDir dir;
    GridModel table(14);
    LoadCsv(table, WriteFile(dir, "t.csv", "\"open;a\r\nb;\"\r\n\"\"\"\r\n\"x\"y\"z;w\r\n"), u';');
    QCOMPARE(table.RowCount(), 4);
    QCOMPARE(table.Cell(0, 0), QString("open;a"));
    QCOMPARE(table.Cell(1, 1), QString(""));
    QCOMPARE(table.Cell(0, 2), QString("\""));
    QCOMPARE(table.Cell(0, 3), QString("x"));
    QCOMPARE(table.Cell(1, 3), QString("w"));
}

// A 100 MB file of one line is refused after the first megabyte or so: the
// reader never holds more than one line and one piece of the file.
void TestCsvHostile::hundredMegabyteLine() {
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
void TestCsvHostile::binaryWithoutNul() {
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

void TestCsvHostile::missingFolderOrVanishedFile() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "gone.csv", "a;b\r\n");
    QVERIFY(QFile::remove(path));
    GridModel table(14);
    FillKnown(table);
    QCOMPARE(LoadError(table, path), "Cannot open file " + path + ": No such file or directory");
    VerifyKnown(table);
    QCOMPARE(LoadError(table, dir.path()),
             "Cannot open file " + dir.path() + ": file to open is a directory");
    VerifyKnown(table);
}

QTEST_GUILESS_MAIN(TestCsvHostile)
#include "test_csv_hostile.moc"
