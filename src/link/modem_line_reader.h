// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

namespace quorven {

// Splits what a modem sends into response lines at a terminator. A line
// longer than kMaxLineBytes is cut there and the rest of it, up to the next
// terminator, is dropped, so whatever arrives the reader never holds more
// than kMaxLineBytes plus the terminator's length.
class ModemLineReader {
public:
    static constexpr qsizetype kMaxLineBytes = 256;

    // An empty terminator counts as CR.
    void SetTerminator(const QByteArray& terminator);
    // Takes one byte; gives the line it ends, without the terminator.
    std::optional<QByteArray> Push(char byte);
    // Forgets a line begun.
    void Clear();

private:
    QByteArray terminator_{"\r"};
    QByteArray pending_;
    bool cut_ = false; // the line was given already; its rest is dropped
};

} // namespace quorven
