// quorven-decode end to end: telegram files in, CSV on standard output, the
// text-area lines on standard error, and the exit status, compared with the
// expected files in golden/. QUORVEN_UPDATE_GOLDEN=1 rewrites those files from
// the tool's output (to be reviewed before committing).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

const QString kData = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/tools/data");
const QString kGolden = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/tools/golden");

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll()
                                       : QByteArray("(missing " + path.toUtf8() + ")");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestQuorvenDecode : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void everyCorpusFile();
};

void TestQuorvenDecode::decode_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("golden");
    QTest::newRow("variable-data telegram")
        << QStringList{"libmbus/ACW_Itron-BM-plus-m.hex"} << 0 << "variable";
    QTest::newRow("fixed-structure telegram")
        << QStringList{"libmbus/sen_pollusonic_2.hex"} << 0 << "fixed";
    QTest::newRow("more records follow: status row and the line more")
        << QStringList{"libmbus/SEN_Sensus-PolluStat-E.hex"} << 0 << "more";
    QTest::newRow("more records follow with --multitel: no status row")
        << QStringList{"--multitel", "libmbus/SEN_Sensus-PolluStat-E.hex"} << 0 << "more-multitel";
    QTest::newRow("rows of several files accumulate, semicolon separator")
        << QStringList{"--separator=;", "libmbus/ACW_Itron-BM-plus-m.hex",
                       "libmbus/sen_pollusonic_2.hex"}
        << 0 << "two-files-semicolon";
    QTest::newRow("frame shorter than 15 bytes adds nothing")
        << QStringList{"libmbus/application_busy.hex"} << 1 << "short";
    QTest::newRow("a file adding no row among good ones")
        << QStringList{"libmbus/ACW_Itron-BM-plus-m.hex", "libmbus/application_busy.hex"} << 1
        << "good-and-short";
    QTest::newRow("wrong C field") << QStringList{"libmbus/manual_frame5.hex"} << 1 << "c-field";
    QTest::newRow("wrong length answered No")
        << QStringList{"libmbus/water-meter-wrong-length.hex"} << 1 << "wrong-length";
    QTest::newRow("wrong length fixed with --fix")
        << QStringList{"--fix", "libmbus/water-meter-wrong-length.hex"} << 0 << "wrong-length-fix";
    QTest::newRow("several telegrams in one file fail the length check")
        << QStringList{"pyMeterBus/telegrams.txt"} << 1 << "joined";
    QTest::newRow("a file that cannot be read")
        << QStringList{"libmbus/missing.hex", "libmbus/ACW_Itron-BM-plus-m.hex"} << 2
        << "unreadable";
    QTest::newRow("no file") << QStringList{"--fix"} << 2 << "usage";
    QTest::newRow("unusable separator")
        << QStringList{"--separator=\"", "libmbus/ACW_Itron-BM-plus-m.hex"} << 2 << "bad-separator";
}

void TestQuorvenDecode::decode() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, golden);
    QProcess tool;
    tool.setWorkingDirectory(kData);
    tool.start(QStringLiteral(QUORVEN_DECODE), args);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    const QByteArray out = tool.readAllStandardOutput();
    const QByteArray err = tool.readAllStandardError();
    const QString base = kGolden + "/" + golden;
    if (qEnvironmentVariableIntValue("QUORVEN_UPDATE_GOLDEN") == 1) {
        WriteFile(base + ".stdout", out);
        WriteFile(base + ".stderr", err);
    }
    QCOMPARE(err, ReadFile(base + ".stderr"));
    QCOMPARE(out, ReadFile(base + ".stdout"));
    QCOMPARE(tool.exitCode(), exitCode);
}

// Every telegram file of the shared corpus: a frame file adds rows or says
// why not, a file of several frames fails the length check, and the tool
// never crashes.
void TestQuorvenDecode::everyCorpusFile() {
    const QDir corpus(QStringLiteral(QUORVEN_SHARED_DIR "/corpus"));
    if (!corpus.exists()) {
        QSKIP("the shared corpus is not here");
    }
    QStringList files;
    for (const QString& folder : corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QDir dir(corpus.filePath(folder));
        for (const QString& sub :
             QStringList{".", "test-frames", "error-frames", "unsupported-frames", "devices"}) {
            const QDir d(dir.filePath(sub));
            for (const QString& f : d.entryList({"*.hex", "telegrams.txt"}, QDir::Files)) {
                files << d.filePath(f);
            }
        }
    }
    QVERIFY(files.size() > 100);
    for (const QString& file : files) {
        for (const QStringList& options : {QStringList{}, QStringList{"--fix", "--multitel"}}) {
            QProcess tool;
            tool.start(QStringLiteral(QUORVEN_DECODE), options + QStringList{file});
            QVERIFY(tool.waitForFinished(60000));
            QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
            const int code = tool.exitCode();
            const QList<QByteArray> lines = tool.readAllStandardOutput().split('\n');
            const QByteArray err = tool.readAllStandardError();
            QVERIFY2(code == 0 || code == 1, qPrintable(file));
            // Header row, then (when the status is 0) at least one data row.
            QVERIFY2(lines.first().startsWith("Beép.hely,dátum,"), qPrintable(file));
            QCOMPARE(code == 0, lines.size() > 2);
            if (file.endsWith("telegrams.txt")) {
                QCOMPARE(code, 1);
                const bool lengthFault = err.contains("Länge und Längenfeld unterschiedlich") ||
                                         err.contains("M-Bus Datensatzlänge zu lang");
                QVERIFY2(lengthFault, qPrintable(file + ": " + QString::fromUtf8(err)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestQuorvenDecode)
#include "test_quorven_decode.moc"
