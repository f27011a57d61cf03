// SPDX-License-Identifier: GPL-3.0-or-later
// The unattended run's log file under faults no program can prevent, run as a
// scheduler runs it, on the simulated bus and virtual time: a disk that fills
// up (the process's file size limit, which needs no root) and a program killed
// with SIGKILL at pseudo-random moments while it logs.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>

namespace {

const QString kDemoList = QStringLiteral(QUORVEN_SOURCE_DIR "/examples/slist-demo.csv");

QStringList RunArgs(const QStringList& switches) {
    return QStringList{"--simulate", "--virtual-time", "--config-dir=."} + switches;
}

void Prepare(QProcess& p, const QString& folder) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The data rows of a log file, after checking that it is whole rows under
// its header line.
QList<QByteArray> DataRows(const QByteArray& log) {
    if (log.isEmpty()) {
        return {};
    }
    if (!log.endsWith("\r\n")) {
        qWarning("the log ends in part of a row");
        return {QByteArray("(part of a row)")};
    }
    QList<QByteArray> rows = log.chopped(1).split('\n'); // each row keeps its CR
    if (!rows.first().startsWith("Beép.hely,dátum,")) {
        qWarning("the log does not begin with its header");
        return {QByteArray("(no header)")};
    }
    rows.removeFirst();
    return rows;
}

int RowsOfOneRun(const QString& folder) {
    QProcess p;
    Prepare(p, folder);
    p.start(QStringLiteral(QUORVEN_PROGRAM), RunArgs({"/S:" + kDemoList, "/L", "/Z:one.csv"}));
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        return -1;
    }
    return int(DataRows(ReadAll(QDir(folder).filePath("one.csv"))).size());
}

} // namespace

class TestLogDrills : public QObject {
    Q_OBJECT
private slots:
    void diskFull();
    void killedWhileLogging();
};

// The file size limit lets the log take only part of the cycle: whole rows
// go in, the rest go into the rescue file named on standard error, exit 3.
void TestLogDrills::diskFull() {
    QTemporaryDir dir;
    const int all = RowsOfOneRun(dir.path());
    QVERIFY(all > 50);
    QFile::remove(dir.filePath("one.csv"));

    QProcess p;
    Prepare(p, dir.path());
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        const rlimit limit{8000, 8000};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(QUORVEN_PROGRAM), RunArgs({"/S:" + kDemoList, "/L", "/Z:log.csv"}));
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), 3);

    const QList<QByteArray> logged = DataRows(ReadAll(dir.filePath("log.csv")));
    const QRegularExpressionMatch kept =
        QRegularExpression(QStringLiteral("(\\d+) rows not written to log.csv are kept in "
                                          "(log.csv.unwritten-\\d{8}_\\d{6}.csv)\\n"))
            .match(err);
    QVERIFY2(kept.hasMatch(), qPrintable(err));
    const QList<QByteArray> rescued = DataRows(ReadAll(dir.filePath(kept.captured(2))));
    QVERIFY(logged.size() > 10 && rescued.size() > 10);
    QCOMPARE(rescued.size(), kept.captured(1).toInt());
    QCOMPARE(logged.size() + rescued.size(), all);
    // The last try at the end found the file full too.
    QVERIFY2(err.startsWith(QStringLiteral("quorven: Log file log.csv not written: File too "
                                           "large\n")),
             qPrintable(err));
    QVERIFY2(err.endsWith(QStringLiteral("quorven: 9 of 9 meters read, 0 error rows; %1 rows "
                                         "written to log.csv\n")
                              .arg(logged.size())),
             qPrintable(err));
}

// An /L /X run killed at moments of a fixed pseudo-random sequence, each
// drill appending to the log of the ones before: the log holds its header and
// whole rows, each cycle's rows together. SIGKILL can stop the system in the
// middle of a write: the part of a row it leaves at the end is cut away by the
// next append, so only the last drill's log may end in one.
void TestLogDrills::killedWhileLogging() {
    QTemporaryDir dir;
    const int perCycle = RowsOfOneRun(dir.path());
    QVERIFY(perCycle > 50);
    QRandomGenerator random(19);
    for (int drill = 0; drill < 6; ++drill) {
        QProcess p;
        Prepare(p, dir.path());
        p.start(QStringLiteral(QUORVEN_PROGRAM),
                RunArgs({"/S:" + kDemoList, "/L", "/X", "/I:1", "/Z:log.csv"}));
        QVERIFY(p.waitForStarted());
        QTest::qWait(int(random.bounded(300, 2500)));
        p.kill();
        QVERIFY(p.waitForFinished(10000));
    }
    // As a kill in the middle of a write leaves it: part of a row at the end.
    QFile log(dir.filePath("log.csv"));
    QVERIFY(log.open(QIODevice::Append));
    log.write("H\xC5\x91k\xC3\xB6zpont,31.01.25,08:0");
    log.close();
    // One run to its end cuts that away and appends a whole cycle.
    QProcess p;
    Prepare(p, dir.path());
    p.start(QStringLiteral(QUORVEN_PROGRAM), RunArgs({"/S:" + kDemoList, "/L", "/Z:log.csv"}));
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QList<QByteArray> rows = DataRows(ReadAll(dir.filePath("log.csv")));
    QVERIFY(rows.size() >= 2 * perCycle);
    // The rows of one cycle, in the order of the slave list: a cycle begins
    // with the first meter's rows, and no row is glued to part of another.
    const QByteArray first = rows.first().left(rows.first().indexOf(','));
    int whole = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QByteArray& row = rows[i];
        QVERIFY2(row.endsWith('\r') && row.count(',') == 13, row.constData());
        if (row.startsWith(first + ',') && i % perCycle == 0) {
            ++whole;
        }
    }
    QVERIFY2(whole >= 2, "no cycle reached the log whole");
}

QTEST_GUILESS_MAIN(TestLogDrills)
#include "test_log_drills.moc"
