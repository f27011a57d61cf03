// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/modem_line_reader.h"

namespace quorven {

void ModemLineReader::SetTerminator(const QByteArray& terminator) {
    terminator_ = terminator.isEmpty() ? QByteArray("\r") : terminator;
    Clear();
}

void ModemLineReader::Clear() {
    pending_.clear();
    cut_ = false;
}

std::optional<QByteArray> ModemLineReader::Push(char byte) {
    pending_.append(byte);
    if (pending_.endsWith(terminator_)) {
        QByteArray line = pending_.chopped(terminator_.size());
        const bool given = cut_;
        Clear();
        if (given) {
            return std::nullopt;
        }
        return line;
    }
    // Only the last bytes can still be the start of a terminator.
    const qsizetype keep = terminator_.size() - 1;
    if (cut_) {
        pending_ = pending_.right(keep);
        return std::nullopt;
    }
    if (pending_.size() > kMaxLineBytes + keep) {
        QByteArray line = pending_.left(kMaxLineBytes);
        pending_ = pending_.right(keep);
        cut_ = true;
        return line;
    }
    return std::nullopt;
}

} // namespace quorven
