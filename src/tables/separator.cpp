// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/separator.h"

namespace quorven {

bool IsValidSeparator(QChar c) {
    const char16_t u = c.unicode();
    return u != u'"' && u != u'\r' && u != u'\n' && u != 11 && u != 0 && !c.isSurrogate() &&
           !c.isLetterOrNumber();
}

QChar UsableSeparator(QChar c) {
    return IsValidSeparator(c) ? c : QChar(kDefaultSeparator);
}

QChar SeparatorFromText(const QString& text) {
    return text.isEmpty() ? QChar(kDefaultSeparator) : UsableSeparator(text.front());
}

std::string SeparatorUtf8(QChar c) {
    return QString(UsableSeparator(c)).toStdString();
}

} // namespace quorven
