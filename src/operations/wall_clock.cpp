#include "operations/wall_clock.h"

#include <QLocale>

namespace quorven {

QString WallClock::DateText(const QDateTime& t) {
    return t.date().toString(QStringLiteral("dd.MM.yy"));
}

QString WallClock::TimeText(const QDateTime& t) {
    const QString text = QLocale().toString(t.time(), QLocale::LongFormat);
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

} // namespace quorven
