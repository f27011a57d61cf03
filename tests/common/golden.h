// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Golden files: what a test produced, compared line by line with the file
// beside its input.
//
// QUORVEN_UPDATE_GOLDEN=NAMES rewrites the golden files of the tests it names
// and of no other: NAMES is a comma-separated list of wildcard patterns, each
// matched against the test function, the data tag of the row ("log-file",
// "filling/record-selection") and "function:tag". A pattern made of
// wildcards alone, or the "1" that once meant every file, names nothing.
// Every file that changes is reported ("golden file rewritten: PATH"), to be
// read before it is committed.

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QTest>

namespace quorven::testing {

// The whole file; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Whether QUORVEN_UPDATE_GOLDEN names the test running now.
inline bool RewriteRequested() {
    const QString names = qEnvironmentVariable("QUORVEN_UPDATE_GOLDEN");
    const QString function = QString::fromLatin1(QTest::currentTestFunction());
    const QString tag = QString::fromUtf8(QTest::currentDataTag());
    for (QString pattern : names.split(u',', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern == u"1" || QString(pattern).remove(u'*').remove(u'?').isEmpty()) {
            qWarning("QUORVEN_UPDATE_GOLDEN=%s names no test; give the tests to rewrite, as "
                     "function, data row or function:row patterns",
                     qPrintable(pattern));
            continue;
        }
        const QRegularExpression whole(QRegularExpression::wildcardToRegularExpression(pattern));
        if (whole.match(function).hasMatch() || (!tag.isEmpty() && whole.match(tag).hasMatch()) ||
            whole.match(function + u':' + tag).hasMatch()) {
            return true;
        }
    }
    return false;
}

// Writes the file when its test is named for rewriting and reports it when
// its content changed. An empty text removes the file when `emptyRemoves`
// (for tests where an absent file stands for an empty one).
inline void RewriteGolden(const QByteArray& actual, const QString& path,
                          bool emptyRemoves = false) {
    if (!RewriteRequested()) {
        return;
    }
    const bool absent = !QFile::exists(path);
    if (emptyRemoves && actual.isEmpty()) {
        if (!absent) {
            QVERIFY2(QFile::remove(path), qPrintable(path));
            qInfo("golden file removed: %s", qPrintable(path));
        }
        return;
    }
    if (!absent && ReadFile(path) == actual) {
        return;
    }
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(actual) == actual.size(),
             qPrintable(path));
    qInfo("golden file %s: %s", absent ? "written" : "rewritten", qPrintable(path));
}

inline void CompareGolden(const QByteArray& actual, const QString& path) {
    RewriteGolden(actual, path);
    QVERIFY2(QFile::exists(path), qPrintable("no golden file " + path +
                                             "; QUORVEN_UPDATE_GOLDEN=<this test> writes it"));
    // Line by line, so that a difference shows where it is.
    QCOMPARE(actual.split('\n'), ReadFile(path).split('\n'));
}

} // namespace quorven::testing
