// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/trace.h"

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>

#include <functional>

namespace quorven {

// Keeps a copy of the text area in a file: every line the trace receives is
// appended (UTF-8, one line each, after the date and time it came at:
// "31.01.25 08:05:09 TX-buffer:") and flushed at once, so that the file tells
// what an unattended run did, and when, even when it ended abruptly.
class TraceFile : public QObject {
    Q_OBJECT
public:
    explicit TraceFile(const QString& path) : file_(path) {}

    // False, with the reason in *error, when the file cannot be opened.
    bool open(QString* error);
    // From now on the trace's lines go to the file too, stamped with `now`
    // (the wall clock, or the virtual one).
    void follow(const Trace& trace, std::function<QDateTime()> now);

private:
    void append(const QString& line);

    QFile file_;
    std::function<QDateTime()> now_;
};

} // namespace quorven
