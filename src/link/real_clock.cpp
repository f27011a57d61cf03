// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/real_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace quorven {

namespace {

class RealTimer final : public ClockTimer {
public:
    RealTimer() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    }

    void start() override {
        timer_.setSingleShot(isSingleShot());
        timer_.start(
            static_cast<int>(std::clamp<qint64>(interval(), 0, std::numeric_limits<int>::max())));
    }
    void stop() noexcept override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

RealClock::RealClock() {
    elapsed_.start();
}

qint64 RealClock::now() const {
    return elapsed_.elapsed();
}

std::unique_ptr<ClockTimer> RealClock::createTimer() {
    return std::make_unique<RealTimer>();
}

bool RealClock::pumpUntil(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace quorven
