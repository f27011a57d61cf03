// SPDX-License-Identifier: GPL-3.0-or-later
// The programs end to end, run as a user runs them: the runs listed in
// runs.txt, each compared with its standard output, standard error and exit
// status in golden/. QUORVEN_UPDATE_GOLDEN=NAME rewrites the files of the run
// NAME from what the program prints (to be reviewed before committing).
#include "cli/command_help.h"
#include "common/golden.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using quorven::testing::ReadFile;

namespace {

const QString kHere = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/tools");
const QString kCorpus = QStringLiteral(QUORVEN_SHARED_DIR "/corpus");

QString ProgramPath(const QString& name) {
    for (const QString& entry : QStringLiteral(QUORVEN_PROGRAMS).split(u',')) {
        if (entry.section(u'=', 0, 0) == name) {
            return entry.section(u'=', 1);
        }
    }
    return name;
}

struct Output {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Output Run(const QString& program, const QStringList& args, const QString& folder) {
    static QTemporaryDir runtime; // keeps Qt quiet about a missing runtime folder
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    // Help and version are answered without a display, by every program.
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("--version"))) {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            env.remove(QString::fromLatin1(name));
        }
    }
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(ProgramPath(program), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// "a/*.hex" becomes the matching files of folder a, in order.
QStringList Expanded(const QStringList& args, const QDir& folder) {
    QStringList out;
    for (const QString& a : args) {
        if (!a.contains(u'*')) {
            out << a;
            continue;
        }
        const QString sub = a.section(u'/', 0, -2);
        for (const QString& f : QDir(folder.filePath(sub)).entryList({a.section(u'/', -1)})) {
            out << sub + u'/' + f;
        }
    }
    return out;
}

void Compare(const QByteArray& actual, const QString& goldenPath) {
    const QByteArray version = quorven::ProgramVersion().toUtf8();
    // An output that is empty has no file.
    quorven::testing::RewriteGolden(QByteArray(actual).replace(version, "@VERSION@"), goldenPath,
                                    true);
    const QByteArray expected = ReadFile(goldenPath).replace("@VERSION@", version);
    QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(expected));
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
    void everyCorpusFile();
};

void TestPrograms::runs_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("args");
    const QList<QByteArray> lines = ReadFile(kHere + "/runs.txt").split('\n');
    for (const QByteArray& line : lines) {
        const QStringList f = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        if (f.size() >= 4 && !f[0].startsWith(u'#')) {
            QTest::newRow(qPrintable(f[0])) << f[1] << f[2].toInt() << f[3] << f.mid(4);
        }
    }
    QVERIFY(lines.size() > 30);
}

// The files a run left in its folder, each after a "== NAME" line, with the
// program's path, the source tree, the date and the time of day of the run
// put as @PROGRAM@, @SRC@, @DATE@ and @TIME@.
QByteArray FilesLeft(const QDir& dir, const QString& program) {
    QByteArray out;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        out += "== " + name.toUtf8() + "\n" + ReadFile(dir.filePath(name));
    }
    QString text = QString::fromUtf8(out);
    text.replace(ProgramPath(program), QStringLiteral("@PROGRAM@"));
    // The switches are echoed in capitals.
    text.replace(QStringLiteral(QUORVEN_SOURCE_DIR), QStringLiteral("@SRC@"), Qt::CaseInsensitive);
    text.replace(QRegularExpression(QStringLiteral("\\b\\d\\d\\.\\d\\d\\.\\d\\d\\b")),
                 QStringLiteral("@DATE@"));
    text.replace(QRegularExpression(QStringLiteral("\\b\\d?\\d:\\d\\d:\\d\\d\\b")),
                 QStringLiteral("@TIME@"));
    return text.toUtf8();
}

void TestPrograms::runs() {
    QFETCH(QString, program);
    QFETCH(QString, folder);
    QFETCH(QStringList, args);
    // "tmp": a fresh folder, whose files are shown after the output; @SRC@ in
    // an argument stands for the source tree.
    QTemporaryDir tmp;
    const bool fresh = folder == QLatin1String("tmp");
    const QDir dir(fresh                               ? tmp.path()
                   : folder == QLatin1String("corpus") ? kCorpus
                                                       : kHere + "/data");
    if (!dir.exists()) {
        QSKIP("the shared corpus is not here");
    }
    args.replaceInStrings(QStringLiteral("@SRC@"), QStringLiteral(QUORVEN_SOURCE_DIR));
    const Output o = Run(program, Expanded(args, dir), dir.path());
    const QString golden = kHere + "/golden/" + QTest::currentDataTag();
    Compare(fresh ? o.out + FilesLeft(dir, program) : o.out, golden + ".stdout");
    Compare(o.err, golden + ".stderr");
    QTEST(o.code, "exitCode");
}

// Every telegram file of the shared corpus: rows, or one line on why not that
// quorven-check gives word for word; a file of several frames fails the
// length check; no crash.
void TestPrograms::everyCorpusFile() {
    const QDir corpus(kCorpus);
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
            const Output o = Run("quorven-decode", options + QStringList{file}, ".");
            QVERIFY2(o.code == 0 || o.code == 1, qPrintable(file));
            // Header row, then (when the status is 0) at least one data row.
            const QList<QByteArray> lines = o.out.split('\n');
            QVERIFY2(lines.first().startsWith("Beép.hely,dátum,"), qPrintable(file));
            QCOMPARE(o.code == 0, lines.size() > 2);
            if (o.code == 1) {
                QVERIFY2(o.err.startsWith(file.toUtf8() + ": ") && o.err.count('\n') == 1,
                         o.err.constData());
                const QStringList fix = options.mid(0, 1);
                QCOMPARE(Run("quorven-check", fix + QStringList{file}, ".").err, o.err);
            }
            if (file.endsWith("telegrams.txt")) {
                QCOMPARE(o.code, 1);
                QVERIFY2(o.err.contains("Länge und Längenfeld unterschiedlich") ||
                             o.err.contains("M-Bus Datensatzlänge zu lang"),
                         o.err.constData());
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
