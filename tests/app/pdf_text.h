// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text of a PDF file as pdftotext extracts it; a null string when the tool
// is not installed.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace quorven::testing {

inline QString PdfText(const QString& pdfFile) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        return {};
    }
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), pdfFile, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return QStringLiteral("<pdftotext failed>");
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline bool HavePdfText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace quorven::testing
