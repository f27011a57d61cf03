// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Golden files: what a test produced, compared line by line with the file
// beside its input. QUORVEN_UPDATE_GOLDEN=1 writes the file first (to be read
// before it is committed).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace quorven::testing {

// The whole file; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void CompareGolden(const QByteArray& actual, const QString& path) {
    if (qEnvironmentVariableIntValue("QUORVEN_UPDATE_GOLDEN") == 1) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(actual) == actual.size(),
                 qPrintable(path));
    }
    // Line by line, so that a difference shows where it is.
    QCOMPARE(actual.split('\n'), ReadFile(path).split('\n'));
}

} // namespace quorven::testing
