// quorven-decode end to end: telegram files in, CSV on standard output, the
// text-area lines on standard error, and the exit status, compared with the
// expected files in golden/. QUORVEN_UPDATE_GOLDEN=1 rewrites those files from
// the tool's output (to be reviewed before committing). The cases are in
// golden/cases.txt.
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

// The cases of golden/cases.txt.
void TestQuorvenDecode::decode_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("golden");
    const QByteArray cases = ReadFile(kGolden + "/cases.txt");
    QVERIFY(cases.count('\n') > 10);
    for (const QByteArray& line : cases.split('\n')) {
        const QStringList words = QString::fromUtf8(line).split(' ', Qt::SkipEmptyParts);
        if (words.size() >= 2 && !words[0].startsWith('#')) {
            QTest::newRow(qPrintable(words[0])) << words.mid(2) << words[1].toInt() << words[0];
        }
    }
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
