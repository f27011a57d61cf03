// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/separator.h"

namespace quorven {

bool IsValidSeparator(QChar c) {
    const char16_t u = c.unicode();
    return u != u'"' && u != u'\r' && u != u'\n' && u != 11 && u != 0 && !c.isSurrogate() &&
           !c.isLetterOrNumber();
}

std::optional<QChar> RefusedSeparator(const QString& text) {
    if (text.isEmpty() || IsValidSeparator(text.front())) {
        return std::nullopt;
    }
    return text.front();
}

QChar UsableSeparator(QChar c) {
    return IsValidSeparator(c) ? c : QChar(kDefaultSeparator);
}

QChar SeparatorFromText(const QString& text) {
    return text.isEmpty() || RefusedSeparator(text) ? QChar(kDefaultSeparator) : text.front();
}

std::string SeparatorUtf8(QChar c) {
    return QString(UsableSeparator(c)).toStdString();
}

} // namespace quorven
