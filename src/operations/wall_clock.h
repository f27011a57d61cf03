// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"

#include <QDateTime>
#include <QString>

namespace quorven {

// The date and time of day the data rows are stamped with: the system's, or
// on virtual time a fixed start moved on by the clock, so that a run on
// virtual time stamps its rows as a run in real time would.
class WallClock {
public:
    QDateTime Now(const Clock& clock) const {
        return start_.isValid() ? start_.addMSecs(clock.now() - startTick_)
                                : QDateTime::currentDateTime();
    }
    // From now on the time is `start` plus what the clock has run since.
    void Start(const QDateTime& start, const Clock& clock) {
        start_ = start;
        startTick_ = clock.now();
    }

    // "dd.mm.yy".
    static QString DateText(const QDateTime& t);
    // The time of day in the long time format of the locale, up to its first
    // blank ("16:45:12"); on the 24-hour clock when the locale's is 12-hour.
    static QString TimeText(const QDateTime& t);

private:
    QDateTime start_;
    qint64 startTick_ = 0;
};

} // namespace quorven
