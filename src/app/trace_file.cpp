// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/trace_file.h"

namespace quorven {

bool TraceFile::open(QString* error) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = QStringLiteral("Cannot open trace file %1: %2")
                     .arg(file_.fileName(), file_.errorString());
        return false;
    }
    return true;
}

void TraceFile::follow(const Trace& trace, std::function<QDateTime()> now) {
    now_ = std::move(now);
    connect(&trace, &Trace::lineAppended, this, &TraceFile::append);
}

void TraceFile::append(const QString& line) {
    const QDateTime at = now_ ? now_() : QDateTime::currentDateTime();
    QByteArray bytes = at.toString(QStringLiteral("dd.MM.yy HH:mm:ss ")).toUtf8() + line.toUtf8();
    bytes.append('\n');
    file_.write(bytes);
    file_.flush();
}

} // namespace quorven
