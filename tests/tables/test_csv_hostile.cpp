// Files a user may hand the table loader that are not what they seem: every
// one gives a clear message or a sound load, the table stays as it was when
// the file is refused, and memory stays bounded.
#include "tables/csv_reader.h"
#include "tables/file_error.h"

#include "csv_test_files.h"

#include <QRandomGenerator>
#include <QTest>

#include <unistd.h>

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

} // namespace

class TestCsvHostile : public QObject {
    Q_OBJECT
private slots:
    void refusedFiles_data();
    void refusedFiles();
    void unbalancedQuotesLoad();
    void hundredMegabyteLine();
    void binaryWithoutNul();
    void missingFolderOrVanishedFile();
    void unreadableFile();
};

void TestCsvHostile::refusedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("maxLine");
    QTest::addColumn<int>("maxColumns");
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<qint64>("maxFile");
    QTest::addColumn<QString>("reason");
    QTest::newRow("NUL byte") << QByteArray("a;b\r\nc\0d\r\n", 10) << 1000 << 100 << 100
                              << qint64{1000} << "line 2 holds NUL bytes; it is not a text file";
    QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFE"
                                               "a\0;\0b\0",
                                               8)
                                 << 1000 << 100 << 100 << qint64{1000}
                                 << "line 1 holds NUL bytes; it is not a text file";
    QTest::newRow("line too long") << QByteArray("ok\r\n") + QByteArray(101, 'x') << 100 << 100
                                   << 100 << qint64{1000} << "line 2 is longer than 100 bytes";
    QTest::newRow("line too long without any line end")
        << QByteArray(5000, 'x') << 100 << 100 << 100 << qint64{100000}
        << "line 1 is longer than 100 bytes";
    QTest::newRow("too many cells") << QByteArray("a;b;c;d;e") << 1000 << 4 << 100 << qint64{1000}
                                    << "line 1 has more than 4 cells";
    QTest::newRow("too many lines") << QByteArray("1\n2\n3\n4\n") << 1000 << 100 << 3
                                    << qint64{1000} << "it has more than 3 lines";
    QTest::newRow("file too large") << QByteArray(2000, '\n') << 1000 << 100 << 100000
                                    << qint64{1000} << "it is larger than 1000 bytes";
}

void TestCsvHostile::refusedFiles() {
    QFETCH(QByteArray, file);
    QFETCH(int, maxLine);
    QFETCH(int, maxColumns);
    QFETCH(int, maxRows);
    QFETCH(qint64, maxFile);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "t.csv", file);
    CsvLimits limits;
    limits.maxLineBytes = static_cast<std::size_t>(maxLine);
    limits.maxColumns = maxColumns;
    limits.maxRows = maxRows;
    limits.maxFileBytes = maxFile;
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
    QCOMPARE(LoadError(table, path), "Cannot open file " + path);
    VerifyKnown(table);
    QCOMPARE(LoadError(table, dir.path()), "Cannot open file " + dir.path());
    VerifyKnown(table);
}

void TestCsvHostile::unreadableFile() {
    if (::geteuid() == 0) {
        QSKIP("file permissions do not apply to root");
    }
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "locked.csv", "a;b\r\n");
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    GridModel table(14);
    FillKnown(table);
    QCOMPARE(LoadError(table, path), "Cannot open file " + path);
    VerifyKnown(table);
}

QTEST_GUILESS_MAIN(TestCsvHostile)
#include "test_csv_hostile.moc"
