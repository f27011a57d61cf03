// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace quorven {

// The protocol trace: the lines of the text area. It keeps the newest
// maxLines lines: a logging session of weeks would otherwise grow without
// bound. Beyond that the oldest lines are dropped; the text area shows the
// same number (its maximum block count). The window shows it; tests read it.
class Trace : public QObject {
    Q_OBJECT
public:
    // About 10 MB of trace text at the usual line lengths.
    static constexpr qsizetype kMaxLines = 100'000;

    explicit Trace(QObject* parent = nullptr, qsizetype maxLines = kMaxLines)
        : QObject(parent), maxLines_(maxLines < 1 ? 1 : maxLines) {}

    void append(const QString& line) {
        if (lines_.size() >= maxLines_) {
            // Cheap: the list keeps the space freed at its front.
            lines_.removeFirst();
            ++dropped_;
        }
        lines_.append(line);
        emit lineAppended(line);
    }
    void clear() {
        lines_.clear();
        dropped_ = 0;
        emit cleared();
    }
    const QStringList& lines() const { return lines_; }
    qsizetype maxLines() const { return maxLines_; }
    // How many old lines were dropped since the last clear.
    qint64 droppedLines() const { return dropped_; }

signals:
    void lineAppended(const QString& line);
    void cleared();

private:
    QStringList lines_;
    qsizetype maxLines_;
    qint64 dropped_ = 0;
};

} // namespace quorven
