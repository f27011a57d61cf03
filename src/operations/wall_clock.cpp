// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/wall_clock.h"

#include <QLocale>

namespace quorven {

QString WallClock::DateText(const QDateTime& t) {
    return t.date().toString(QStringLiteral("dd.MM.yy"));
}

QString WallClock::TimeText(const QDateTime& t) {
    // A 12-hour format would lose its AM/PM at the first blank: the rows of
    // 4 PM would say 4:00:00. Such a locale gets the 24-hour clock.
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    if (format.contains(QLatin1String("ap"), Qt::CaseInsensitive)) {
        format = QStringLiteral("HH:mm:ss");
    }
    const QString text = QLocale().toString(t.time(), format);
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

} // namespace quorven
