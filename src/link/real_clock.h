// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"

#include <QElapsedTimer>

namespace quorven {

// Real time: QTimer and the Qt event loop. The program runs on it.
class RealClock final : public Clock {
public:
    RealClock();

    qint64 now() const override;
    std::unique_ptr<ClockTimer> createTimer() override;
    bool pumpUntil(const std::function<bool()>& done) override;

private:
    QElapsedTimer elapsed_;
};

} // namespace quorven
