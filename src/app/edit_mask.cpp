// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/edit_mask.h"

#include <algorithm>
#include <iterator>

namespace quorven {

namespace {

struct MaskChar {
    char16_t symbol;
    const char* pattern;
};

constexpr MaskChar kMaskChars[] = {
    {u'0', "[0-9]"},       {u'9', "[0-9]?"},       {u'L', "\\p{L}"}, {u'l', "\\p{L}?"},
    {u'A', "[\\p{L}0-9]"}, {u'a', "[\\p{L}0-9]?"}, {u'C', "."},      {u'c', ".?"},
};

} // namespace

QRegularExpression EditMaskPattern(const QString& mask) {
    const QString body = mask.section(QLatin1Char(';'), 0, 0);
    QString pattern;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar ch = body[i];
        if (ch == u'!' || ch == u'>' || ch == u'<') {
            continue;
        }
        if (ch == u'\\' && i + 1 < body.size()) {
            pattern += QRegularExpression::escape(QString(body[++i]));
            continue;
        }
        const auto* known =
            std::find_if(std::begin(kMaskChars), std::end(kMaskChars),
                         [&](const MaskChar& m) { return m.symbol == ch.unicode(); });
        pattern += known != std::end(kMaskChars) ? QString::fromLatin1(known->pattern)
                                                 : QRegularExpression::escape(QString(ch));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

} // namespace quorven
