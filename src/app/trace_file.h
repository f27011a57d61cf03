// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/trace.h"

#include <QFile>
#include <QObject>
#include <QString>

namespace quorven {

// Keeps a copy of the text area in a file: every line the trace receives is
// appended (UTF-8, one line each) and flushed at once, so that the file tells
// what an unattended run did even when it ended abruptly.
class TraceFile : public QObject {
    Q_OBJECT
public:
    explicit TraceFile(const QString& path) : file_(path) {}

    // False, with the reason in *error, when the file cannot be opened.
    bool open(QString* error);
    // From now on the trace's lines go to the file too.
    void follow(const Trace& trace);

private:
    void append(const QString& line);

    QFile file_;
};

} // namespace quorven
