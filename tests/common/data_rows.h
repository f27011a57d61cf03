// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rows of a data-driven test kept in a text file: one case a line,
// "case name | value | value ...", blank lines and lines starting with "#"
// left out. Every column is a QString; its name must outlive the test (a
// literal): the test table keeps the pointer.

#include <QFile>
#include <QTest>

#include <initializer_list>

namespace quorven::testing {

inline void AddRowsFromFile(const QString& path, std::initializer_list<const char*> columns) {
    for (const char* column : columns) {
        QTest::addColumn<QString>(column);
    }
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList cells = line.split(u'|');
        QVERIFY2(cells.size() == static_cast<qsizetype>(columns.size()) + 1, qPrintable(line));
        QTestData& row = QTest::newRow(cells[0].trimmed().toUtf8().constData());
        for (qsizetype i = 1; i < cells.size(); ++i) {
            row << cells[i].trimmed();
        }
    }
}

} // namespace quorven::testing
